#!/usr/bin/env bash
# Installs the cross compilers, Wine (64- and 32-bit), Xvfb, the test tools, zip (for the
# release archive) and the lint's tools on Debian 12.
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
  apt-get update -q || { echo "error: apt-get update failed (no network or no package source?)" >&2; exit 1; }
  apt-get install -y -q --no-install-recommends "${need[@]}" ||
    { echo "error: apt-get could not install: ${need[*]}" >&2; exit 1; }
fi
