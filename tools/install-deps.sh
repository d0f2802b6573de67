#!/usr/bin/env bash
# Installs the cross compilers, Wine (64- and 32-bit), Xvfb, the test tools, zip, wixl and
# msitools (for the release archive and installer packages) and the lint's tools on Debian 12.
set -euo pipefail
need=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686-posix)
command -v x86_64-w64-mingw32-windres >/dev/null || need+=(binutils-mingw-w64-x86-64)
command -v i686-w64-mingw32-windres >/dev/null || need+=(binutils-mingw-w64-i686)
[ -x /usr/lib/wine/wine64 ] || need+=(wine wine64)
command -v cmake >/dev/null || need+=(cmake)
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xdotool >/dev/null || need+=(xdotool)
command -v import >/dev/null || need+=(imagemagick)
[ -e /usr/share/i18n/locales/ja_JP ] || need+=(locales)
command -v chattr >/dev/null || need+=(e2fsprogs)
command -v zip >/dev/null || need+=(zip)
command -v wixl >/dev/null || need+=(wixl)
command -v msiinfo >/dev/null || need+=(msitools)
[ -d /usr/src/googletest ] || need+=(googletest)
[ -d /usr/share/fonts/opentype/noto ] || need+=(fonts-noto-cjk)
dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine32:i386)
# The lint: clang 14 (with lld) as the second compiler, its format and tidy tools, cppcheck.
command -v python3 >/dev/null || need+=(python3)
command -v clang++-14 >/dev/null || need+=(clang-14)
[ -x /usr/lib/llvm-14/bin/ld.lld ] || need+=(lld-14)
command -v clang-format-14 >/dev/null || need+=(clang-format-14)
command -v clang-tidy-14 >/dev/null || need+=(clang-tidy-14)
command -v cppcheck >/dev/null || need+=(cppcheck)
if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  # A mirror in the middle of a sync fails one index now and then ("File has unexpected
  # size"): try again, and in the end go on with the indexes that did arrive.
  updated=false
  for attempt in 1 2 3; do
    if apt-get update -q; then updated=true; break; fi
    sleep $((attempt * 10))
  done
  $updated || echo "x: apt-get update failed three times; installing from the indexes at hand" >&2
  if ! apt-get install -y -q --no-install-recommends "${need[@]}"; then
    $updated && { echo "error: apt-get could not install: ${need[*]}" >&2; exit 1; }
    # Without one architecture's security index, the i386 libraries cannot match the amd64
    # ones at their security versions: take both from the release and its updates, for this
    # install only.
    pin=/etc/apt/preferences.d/chronset-without-security
    printf 'Package: *\nPin: release n=bookworm\nPin-Priority: 1001\n\nPackage: *\nPin: release n=bookworm-updates\nPin-Priority: 1001\n' > "$pin"
    rc=0
    apt-get install -y -q --allow-downgrades --no-install-recommends "${need[@]}" || rc=$?
    rm -f "$pin"
    [ $rc -eq 0 ] || { echo "error: apt-get could not install: ${need[*]}" >&2; exit 1; }
  fi
fi
