#!/usr/bin/env bash
# Makes a fresh Wine prefix reporting Windows 10, and glibc locales for English and Japanese
# runs (the image has only C.UTF-8; without a generated locale Wine falls back to English).
# Usage: prepare-wine.sh PREFIX LOCALEDIR [--unmanaged]
# --unmanaged: for displays without a window manager (the test runs). Wine's X11 driver waits
# up to two seconds for a window manager to withdraw every managed window it hides; with
# none there, each closed window cost those two seconds.
set -uo pipefail
# shellcheck source=wine-env.sh
. "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/wine-env.sh"
prefix=$(realpath -m "$1") locdir=$(realpath -m "$2")
unmanaged=${3:-}
export WINEDEBUG=-all WINEPREFIX=$prefix
fail() { echo "error: $*" >&2; exit 1; }
wineserver -k >/dev/null 2>&1 || true
rm -rf "$prefix"
mkdir -p "$prefix" "$locdir" || fail "cannot make the folders $prefix and $locdir"
timeout 300 wine wineboot -i >/dev/null 2>&1 </dev/null ||
  fail "wineboot could not make the Wine prefix $prefix (Wine started as: $CHRONSET_WINE_MODE)"
timeout 120 wine winecfg -v win10 >/dev/null 2>&1 </dev/null || fail "winecfg could not set the Windows version in $prefix"
if [ "$unmanaged" = --unmanaged ]; then
  timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null ||
    fail "reg could not write the X11 driver setting in $prefix"
fi
timeout 60 wineserver -w || true
for loc in en_US ja_JP; do
  [ -d "$locdir/$loc.UTF-8" ] || localedef -i "$loc" -f UTF-8 "$locdir/$loc.UTF-8" >/dev/null 2>&1 || true
  [ -d "$locdir/$loc.UTF-8" ] || fail "localedef could not make the $loc.UTF-8 locale in $locdir"
done
