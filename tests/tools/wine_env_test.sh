#!/usr/bin/env bash
# The scripts' Wine starts on both kinds of machine, with fake loaders: where the 32-bit
# loader cannot execute, every start (wine, wineboot, winecfg, winepath, reg, wineserver) must
# reach the 64-bit loader with WINELOADER set; where it runs, Debian's commands are used as
# before. Also the test summary of ./x, with a fake ctest.
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
contains() { grep -qF -- "$2" "$1"; }
lacks() { ! grep -qF -- "$2" "$1" 2>/dev/null; }

fakes=$work/fakes
mkdir -p "$fakes/sys"
# A 32-bit loader that cannot execute, as on a kernel without ia32 emulation.
printf '\177ELF\001\001\001\000\000\000garbage\000' > "$fakes/wine32-broken"
chmod +x "$fakes/wine32-broken"
printf '#!/bin/sh\nexit 0\n' > "$fakes/wine32-working"
chmod +x "$fakes/wine32-working"
recorder() { # FILE LOGNAME: a fake that logs "WINELOADER=... args" and plays winepath and a program
  cat > "$1" <<FAKE
#!/usr/bin/env bash
echo "WINELOADER=\${WINELOADER:-} \$*" >> "$work/$2.log"
case "\$*" in
  *winepath*) echo 'Z:\\fake\\path' ;;
  *lingering.exe*) sleep 30 & printf 'line one\r\nline two\r\n'; exit 3 ;;
esac
exit 0
FAKE
  chmod +x "$1"
}
recorder "$fakes/wine64" loader64
recorder "$fakes/wineserver64" server64
for name in wine wineserver winepath wineboot winecfg; do recorder "$fakes/sys/$name" system; done

use_fakes() { # 32-BIT-LOADER
  unset CHRONSET_WINE_MODE
  export CHRONSET_WINE32_LOADER=$1 CHRONSET_WINE64_LOADER=$fakes/wine64
  export CHRONSET_WINESERVER64=$fakes/wineserver64 CHRONSET_SYSTEM_BIN=$fakes/sys
  rm -f "$work"/*.log
}

run_the_scripts() {
  mkdir -p "$work/locale/en_US.UTF-8" "$work/locale/ja_JP.UTF-8" "$work/build/wineprefix-run/drive_c" "$work/docs" \
    "$work/docs "
  WINEPREFIX=$work/prefix "$repo/tools/wine-run" lingering.exe arg > "$work/run.out" 2>&1
  echo $? > "$work/run.rc"
  "$repo/tools/prepare-wine.sh" "$work/prefix" "$work/locale" --unmanaged > "$work/prepare.out" 2>&1
  echo $? > "$work/prepare.rc"
  DISPLAY=:99 "$repo/tools/run-program.sh" "$work/build" "$work/docs " > "$work/open.out" 2>&1
  echo $? > "$work/open.rc"
  "$repo/tools/wine-bin/winepath" -w "$work/docs" > /dev/null 2>&1
}

# A machine that cannot run 32-bit programs.
use_fakes "$fakes/wine32-broken"
start=$SECONDS
run_the_scripts
check "wine-run returns although a child of the program still holds its output" [ $((SECONDS - start)) -lt 20 ]
check "wine-run passes the program's exit code on" [ "$(cat "$work/run.rc")" = 3 ]
check "wine-run removes the CR of the output" cmp -s "$work/run.out" <(printf 'line one\nline two\n')
check "the prefix is made" [ "$(cat "$work/prepare.rc")" = 0 ]
check "the editor is opened" [ "$(cat "$work/open.rc")" = 0 ]
log=$work/loader64.log
check "the program goes to the 64-bit loader" contains "$log" "WINELOADER=$fakes/wine64 lingering.exe arg"
check "wineboot goes to the 64-bit loader" contains "$log" "WINELOADER=$fakes/wine64 wineboot -i"
check "winecfg goes to the 64-bit loader" contains "$log" "WINELOADER=$fakes/wine64 winecfg -v win10"
check "reg goes to the 64-bit loader" contains "$log" "WINELOADER=$fakes/wine64 reg add"
check "winepath goes to the 64-bit loader" contains "$log" "WINELOADER=$fakes/wine64 winepath.exe -w $work/docs"
windows_docs="Z:$(printf '%s' "$work/docs " | tr / '\\')"
check "the editor goes to the 64-bit loader with the folder named, trailing blank and all" \
  contains "$log" "WINELOADER=$fakes/wine64 $work/build/x64/app/chronset64.exe $windows_docs"
check "every start names the 64-bit loader" [ "$(grep -vc "^WINELOADER=$fakes/wine64 " "$log")" = 0 ]
check "wineserver is the 64-bit one" contains "$work/server64.log" "-k"
check "Debian's commands are never started" [ ! -e "$work/system.log" ]

# A machine that runs both.
use_fakes "$fakes/wine32-working"
run_the_scripts
check "both: the prefix is made" [ "$(cat "$work/prepare.rc")" = 0 ]
check "both: the program goes to Debian's wine" contains "$work/system.log" "lingering.exe arg"
check "both: wineboot goes to Debian's wine" contains "$work/system.log" "-i"
check "both: winepath is Debian's" contains "$work/system.log" "-w $work/docs"
check "both: the loaders are not started directly" [ ! -e "$work/loader64.log" ]

# The summary of ./x test, with a fake ctest: the x86 tests are left out and said so where they
# cannot run; a test that only timed out is named; a failure ends with one line naming it.
mkdir -p "$fakes/ctest-bin" "$work/tree/x86"
cat > "$fakes/ctest-bin/ctest" <<FAKE
#!/usr/bin/env bash
echo "\$*" >> "$work/ctest.log"
case "\$*" in *" -N "*) echo "Total Tests: 48"; exit 0 ;; esac
echo "      Start  5: x64.pages.general[UTC]"
echo " 5/9 Test  #5: x64.pages.general[UTC] ...***Timeout 300.01 sec"
echo " 5/9 Test  #5: x64.pages.general[UTC] ...   Passed    4.50 sec"
if [ -n "\${FAKE_CTEST_FAILS:-}" ]; then
  echo "The following tests FAILED:"
  echo "	  7 - x64.app.sheet[en] (Failed)"
  exit 8
fi
FAKE
chmod +x "$fakes/ctest-bin/ctest"
summary_of() { # MODE [FAIL]
  (
    export PATH=$fakes/ctest-bin:$PATH CHRONSET_WINE_MODE=$1 FAKE_CTEST_FAILS=${2:-}
    # shellcheck source=../../x
    . "$repo/x"
    . "$repo/tools/wine-env.sh"
    build=$work/tree started=$SECONDS build_done=$SECONDS wine_done=$SECONDS
    run_tests
  ) > "$work/summary.out" 2>&1
}
rm -f "$work/ctest.log"
summary_of x64
out=$work/summary.out
check "x64 only: the x86 tests are left out" contains "$work/ctest.log" "-LE ^x86-wine$"
check "x64 only: the summary says why" contains "$out" \
  "x86 tests not run: this kernel cannot run 32-bit programs (ia32 emulation is off) (48 tests"
check "the summary prints the times" contains "$out" "Build: 0m 00s, Wine set-up: 0m 00s, tests: 0m 0"
check "a test run again after a timeout is named" contains "$out" "Timed out and run again: x64.pages.general[UTC]"
check "only a timeout is run again" contains "$work/ctest.log" "--repeat after-timeout:2"
rm -f "$work/ctest.log"
summary_of both
check "both: every test runs" lacks "$work/ctest.log" "-LE"
check "both: no line about x86" lacks "$out" "x86 tests not run"
summary_of both fail
check "a failure ends with one line naming the test" [ "$(tail -n 1 "$out")" = "x: the tests failed: failed: x64.app.sheet[en]" ]

[ "$failures" -eq 0 ] || { echo "$failures checks failed"; exit 1; }
