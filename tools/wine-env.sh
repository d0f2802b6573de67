# Sourced by every script that starts Wine: decides once how Wine programs are started and
# puts our launchers (tools/wine-bin: wine, wineserver, winepath, wineboot, winecfg, reg) first
# on PATH, so every later start, including those of ctest and of the scripts it runs, goes
# the same way.
#
# Debian's /usr/bin/wine always execs the 32-bit loader once wine32 is installed. On a kernel
# without ia32 emulation that loader cannot execute, and not even a 64-bit program starts;
# the 64-bit loader still works there. We find out which kind of machine this is by trying
# the 32-bit loader, never by looking at the CPU or the distribution.
#   CHRONSET_WINE_MODE    both: start Wine as Debian does; x64: the 64-bit loader directly
# The paths below can be overridden (the script test points them at fakes).
: "${CHRONSET_WINE32_LOADER:=/usr/lib/wine/wine}"
: "${CHRONSET_WINE64_LOADER:=/usr/lib/wine/wine64}"
: "${CHRONSET_WINESERVER64:=/usr/lib/wine/wineserver64}"
: "${CHRONSET_SYSTEM_BIN:=/usr/bin}"
export CHRONSET_WINE32_LOADER CHRONSET_WINE64_LOADER CHRONSET_WINESERVER64 CHRONSET_SYSTEM_BIN

chronset_wine_detect() {
  if "$CHRONSET_WINE32_LOADER" --version >/dev/null 2>&1; then
    CHRONSET_WINE_MODE=both
  else
    CHRONSET_WINE_MODE=x64
  fi
  export CHRONSET_WINE_MODE
}

# The one line the test summary prints where the 32-bit tests cannot run.
chronset_x86_skip_reason() {
  echo "x86 tests not run: this kernel cannot run 32-bit programs (ia32 emulation is off)"
}

[ -n "${CHRONSET_WINE_MODE:-}" ] || chronset_wine_detect
case ":$PATH:" in
  *":$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine-bin:"*) ;;
  *) PATH="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine-bin:$PATH" ;;
esac
export PATH
