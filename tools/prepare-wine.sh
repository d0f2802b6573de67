#!/usr/bin/env bash
# Makes a fresh Wine prefix reporting Windows 10, and glibc locales for English and Japanese
# runs (the image has only C.UTF-8; without a generated locale Wine falls back to English).
# Usage: prepare-wine.sh PREFIX LOCALEDIR
set -euo pipefail
prefix=$(realpath -m "$1") locdir=$(realpath -m "$2")
export WINEDEBUG=-all WINEPREFIX=$prefix
wineserver -k >/dev/null 2>&1 || true
rm -rf "$prefix"
mkdir -p "$prefix" "$locdir"
timeout 300 wine wineboot -i >/dev/null 2>&1
timeout 120 wine winecfg -v win10 >/dev/null 2>&1
timeout 60 wineserver -w || true
for loc in en_US ja_JP; do
  [ -d "$locdir/$loc.UTF-8" ] || localedef -i "$loc" -f UTF-8 "$locdir/$loc.UTF-8" >/dev/null 2>&1 || true
done
