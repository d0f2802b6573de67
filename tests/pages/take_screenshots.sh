#!/usr/bin/env bash
# Pictures of the timestamp pages for the documentation, in English and Japanese:
#   take_screenshots.sh BUILD OUT
# BUILD is a configured build folder of the 64-bit program (page_screenshots built), OUT the
# folder that receives pages-<scene>-<lang>.png (SCENES names some scenes; by default all).
# Uses the display in DISPLAY (an Xvfb without window manager) and the Wine prefix and
# locales of the build's test root.
set -euo pipefail
build=$(realpath "$1")
out=$(realpath -m "$2")
root=$(realpath "$build/..")
# shellcheck source=../../tools/wine-env.sh
. "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../../tools/wine-env.sh"
program=$build/tests/pages/page_screenshots.exe
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
export WINEPREFIX=${WINEPREFIX:-$root/wineprefix} WINEDEBUG=-all LOCPATH=${LOCPATH:-$root/locale} TZ=Asia/Tokyo
# Without a window manager Wine leaves the windows undecorated; unmanaged, it draws their
# captions itself. Set for this program only.
wine reg add 'HKCU\Software\Wine\AppDefaults\page_screenshots.exe\X11 Driver' /v Managed /d N /f >/dev/null

for lang in en ja; do
  if [ $lang = ja ]; then locale=ja_JP.UTF-8; else locale=en_US.UTF-8; fi
  for scene in ${SCENES:-general advanced span browse selection preview undo-confirm taken taken-preview}; do
    ready=$work/$scene-$lang.ready
    done_file=$work/$scene-$lang.done
    LANG=$locale LC_ALL=$locale timeout 120 wine "$program" "$scene" "$(winepath -w "$ready")" "$(winepath -w "$done_file")" &
    pid=$!
    for _ in $(seq 600); do [ -s "$ready" ] && break; sleep 0.1; done
    if [ ! -s "$ready" ]; then
      echo "$scene/$lang: the window did not get ready" >&2
      kill $pid 2>/dev/null || true
      exit 1
    fi
    title=$(cat "$ready")
    window=$(xdotool search --onlyvisible --name "^$title\$" | head -n 1)
    import -window "$window" "$out/pages-$scene-$lang.png"
    echo "$out/pages-$scene-$lang.png"
    touch "$done_file"
    wait $pid
  done
done
