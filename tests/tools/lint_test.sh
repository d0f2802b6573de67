#!/usr/bin/env bash
# The lint's own failures, on a scratch tree with the program's .clang-format: a file laid out
# otherwise is named (and only it), --fix-format lays it out, an include of a higher layer is
# named, a missing compile database is said; each failed check is named on the last line.
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
lint=$repo/tools/lint.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
contains() { grep -qF -- "$2" "$1"; }
lacks() { ! grep -qF -- "$2" "$1"; }

tree=$work/tree
mkdir -p "$tree/engine" "$tree/app" "$tree/build/x64" "$tree/build-other"
cp "$repo/.clang-format" "$tree/"
printf 'int Sum(int a, int b)\n{\n    return a + b;\n}\n' > "$tree/engine/Good.cpp"
printf 'int  Twice(int a) {   return 2*a; }\n' > "$tree/app/Bad Name.cpp"
# Build folders are not the program's sources.
cp "$tree/app/Bad Name.cpp" "$tree/build/x64/Generated.cpp"
cp "$tree/app/Bad Name.cpp" "$tree/build-other/Generated.h"

lint_tree() { # OUT CHECK...
  "$lint" --source "$tree" --build "$tree/build" "${@:2}" > "$1" 2>&1
  echo $? > "$1.rc"
}

lint_tree "$work/format.out" format
out=$work/format.out
check "a misplaced layout fails the check" [ "$(cat "$out.rc")" != 0 ]
check "the file is named" contains "$out" \
  "error: format: 1 file not laid out by .clang-format: app/Bad Name.cpp (tools/lint.sh --fix-format lays them out)"
check "a file laid out as configured is not named" lacks "$out" "engine/Good.cpp"
check "build folders are left alone" lacks "$out" "Generated"
check "the last line names the failed check" [ "$(tail -n 1 "$out")" = "error: the format check (see above)" ]

"$lint" --source "$tree" --fix-format > "$work/fix.out" 2>&1
check "--fix-format succeeds" [ $? = 0 ]
check "--fix-format lays the file out" cmp -s "$tree/app/Bad Name.cpp" <(printf 'int Twice(int a)\n{\n    return 2 * a;\n}\n')
check "--fix-format leaves build folders alone" cmp -s "$tree/build/x64/Generated.cpp" "$tree/build-other/Generated.h"
lint_tree "$work/format-again.out" format
check "the check passes after the fix" [ "$(cat "$work/format-again.out.rc")" = 0 ]

printf '#include "app/Dialog.h"\n' > "$tree/engine/UsesApp.h"
lint_tree "$work/both.out" layers tidy
out=$work/both.out
check "an upward include fails the layer check" contains "$out" \
  "error: layers: 1 include of a folder above the including one, first: engine/UsesApp.h:1 includes app/Dialog.h, above the engine layer"
check "clang-tidy without a configured build says so" contains "$out" \
  "error: clang-tidy: $tree/build/x64/compile_commands.json is missing (configure the x64 build first)"
check "every failed check is on the last line" [ "$(tail -n 1 "$out")" = "error: the layer check, clang-tidy (see above)" ]

[ "$failures" -eq 0 ] || { cat "$work"/*.out; exit 1; }
