#!/usr/bin/env bash
# Opens chronset64.exe under Wine on PATH, or on several paths as one selection (default: the
# current folder).
# Without a display it starts Xvfb, saves a screenshot of the sheet to the file it names
# (SHOT, default build/run-screenshot.png), then closes the program.
# Usage: run-program.sh BUILD [PATH...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=wine-env.sh
. "$root/tools/wine-env.sh"
build=$(realpath -m "$1")
shift
[ $# -gt 0 ] || set -- "$PWD"
prefix=$build/wineprefix-run
[ -d "$prefix/drive_c" ] || "$root/tools/prepare-wine.sh" "$prefix" "$build/locale"
export WINEPREFIX=$prefix WINEDEBUG=-all LOCPATH=$build/locale
program=$build/x64/app/chronset64.exe
# Several paths open one sheet for all of them, as a selection does.
windows_targets=()
for target in "$@"; do
  [ -e "$target" ] || { echo "error: $target does not exist" >&2; exit 1; }
  # Wine's Z: drive is the Linux root. Built here rather than by winepath, which reads the
  # path the ordinary Windows way and drops a name's trailing blanks (and so would name a
  # sibling).
  linux_target=$(realpath -m "$target")
  windows_targets+=("Z:${linux_target//\//\\}")
done

if [ -n "${DISPLAY:-}" ]; then
  echo "Opening ${windows_targets[*]}"
  exec wine "$program" "${windows_targets[@]}"
fi

shot=${SHOT:-$build/run-screenshot.png}
for n in $(seq 90 120); do
  [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break
done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
trap 'wineserver -k >/dev/null 2>&1 || true; kill $xvfb 2>/dev/null || true' EXIT
sleep 1
echo "No display: started Xvfb on $DISPLAY; opening ${windows_targets[*]}"
wine "$program" "${windows_targets[@]}" &
window=""
for _ in $(seq 150); do
  window=$(xdotool search --name "Nebbi's Timestamp Editor" 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
if [ -z "$window" ]; then
  echo "error: the sheet did not appear within 30 s" >&2
  exit 1
fi
sleep 2
mkdir -p "$(dirname "$shot")"
import -window "$window" "$shot"
echo "Screenshot of the sheet: $shot"
