#!/usr/bin/env bash
# The lint of the program's sources: their layout (clang-format), the include layers, clang-tidy
# and cppcheck over the x64 build's compile commands, and both programs built with clang (the
# x64 one with its tests).
#   tools/lint.sh [--build DIR] [--source DIR] [CHECK...]   checks: format layers tidy cppcheck clang
#   tools/lint.sh --fix-format [--source DIR]               lays the sources out by .clang-format
# DIR of --build (default build/) holds the configured x64 build; the clang builds go to
# DIR/clang-x64 and DIR/clang-x86, the full output of each check to DIR/lint/. Every check runs;
# each that fails says why in one "error: " line, and the last line names them all.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
src=$root
build=$root/build
jobs=$(nproc 2>/dev/null || echo 2)
layers=(platform engine framework ui pages metadata app)
fix_format=false
checks=()
while [ $# -gt 0 ]; do
  case $1 in
    --build) build=$(realpath -m "$2"); shift 2 ;;
    --source) src=$(realpath -m "$2"); shift 2 ;;
    --fix-format) fix_format=true; shift ;;
    format | layers | tidy | cppcheck | clang) checks+=("$1"); shift ;;
    *) echo "error: unknown argument $1 (see the head of tools/lint.sh)" >&2; exit 2 ;;
  esac
done
[ ${#checks[@]} -gt 0 ] || checks=(format layers tidy cppcheck clang)
logs=$build/lint
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The C++ files of the tree, outside the build and output folders, relative to it.
sources() {
  (cd "$src" && find . \( -path ./.git -o -path ./build -o -path './build-*' -o -path ./dist \) -prune -o \
    -type f \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||' | sort)
}

count() { # N NOUN
  if [ "$1" -eq 1 ]; then echo "1 $2"; else echo "$1 $2s"; fi
}

# The first few of a list of names, and how many more there are.
some() { # NAME...
  local shown=("${@:1:3}")
  echo "${shown[*]}$([ $# -gt 3 ] && echo " and $(($# - 3)) more")"
}

if $fix_format; then
  sources | (cd "$src" && xargs -r -d "\n" clang-format-14 -i) || { echo "error: clang-format-14 stopped" >&2; exit 1; }
  exit 0
fi

check_format() {
  local bad
  # --Werror makes each misplaced line an "error:" line of the file as named.
  mapfile -t bad < <(sources | (cd "$src" && xargs -r -d "\n" clang-format-14 --dry-run --Werror 2>&1) |
    sed -nE 's/^([^:]+):[0-9]+:[0-9]+: error: .*/\1/p' | sort -u)
  [ ${#bad[@]} -eq 0 ] && return 0
  printf '  %s\n' "${bad[@]}" >&2
  echo "error: format: $(count ${#bad[@]} file) not laid out by .clang-format: $(some "${bad[@]}") (tools/lint.sh --fix-format lays them out)" >&2
  return 1
}

check_layers() {
  local out n
  out=$("$root/tools/check-layers.sh" "$src" 2>&1) && return 0
  echo "$out" | sed 's/^error: /  /' >&2
  n=$(grep -c '^error: ' <<<"$out")
  echo "error: layers: $(count "$n" include) of a folder above the including one, first: $(grep -m1 '^error: ' <<<"$out" | sed 's/^error: //')" >&2
  return 1
}

# The compile commands of the program's own sources in the x64 build, for clang-tidy and cppcheck.
production_commands() {
  local db=$build/x64/compile_commands.json
  if [ ! -f "$db" ]; then
    echo "error: $1: $db is missing (configure the x64 build first)" >&2
    return 1
  fi
  [ -f "$work/db/compile_commands.json" ] && return 0
  mkdir -p "$work/db"
  python3 - "$db" "$src" "$work/db/compile_commands.json" "${layers[@]}" <<'EOF'
import json, sys
database, source, out, *layers = sys.argv[1:]
own = tuple(f"{source}/{layer}/" for layer in layers)
json.dump([entry for entry in json.load(open(database)) if entry["file"].startswith(own)], open(out, "w"), indent=1)
EOF
}

# The findings of clang-tidy or cppcheck: "FILE:LINE..." lines of the tree, once each, relative.
findings() { # LOG PATTERN
  grep -E "$2" "$1" | sed "s|^$src/||" | sort -u
}

report_findings() { # CHECK LOG PATTERN
  local found
  mapfile -t found < <(findings "$2" "$3")
  [ ${#found[@]} -eq 0 ] && return 0
  printf '  %s\n' "${found[@]}" >&2
  echo "error: $1: $(count ${#found[@]} finding) (all of its output: $2), first: ${found[0]}" >&2
  return 1
}

# clang-tidy reads the x64 build's GCC commands as clang for the MinGW target, with the MinGW
# headers and GCC's C++ library (clang finds neither on its own).
check_tidy() {
  production_commands clang-tidy || return 1
  local gcc cxx log=$logs/clang-tidy.log
  gcc=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
  cxx=$gcc/include/c++
  python3 -c 'import json, sys; print("\n".join(e["file"] for e in json.load(open(sys.argv[1]))))' \
    "$work/db/compile_commands.json" |
    xargs -r -P "$jobs" -n 1 clang-tidy-14 --quiet -p "$work/db" \
      --extra-arg=--target=x86_64-w64-mingw32 --extra-arg=--sysroot=/usr/x86_64-w64-mingw32 \
      --extra-arg=-nostdinc++ --extra-arg=-isystem"$cxx" --extra-arg=-isystem"$cxx/x86_64-w64-mingw32" \
      --extra-arg=-isystem"$cxx/backward" --extra-arg=-Wno-unknown-warning-option > "$log" 2>&1
  local rc=$?
  report_findings clang-tidy "$log" '^/[^:]+:[0-9]+:[0-9]+: (warning|error): ' || return 1
  if [ $rc -ne 0 ]; then
    echo "error: clang-tidy: it stopped without a finding (see $log)" >&2
    return 1
  fi
}

check_cppcheck() {
  production_commands cppcheck || return 1
  local log=$logs/cppcheck.log
  mkdir -p "$logs/cppcheck-cache"
  cppcheck --project="$work/db/compile_commands.json" --std=c++20 --library=windows --platform=win64 \
    --enable=warning,performance,portability --inline-suppr --suppress=missingIncludeSystem \
    --error-exitcode=1 --quiet -j "$jobs" --cppcheck-build-dir="$logs/cppcheck-cache" \
    --template='{file}:{line}:{column}: {severity}: {message} [{id}]' > "$log" 2>&1
  local rc=$?
  report_findings cppcheck "$log" '^/[^:]+:[0-9]+:[0-9]+: ' || return 1
  if [ $rc -ne 0 ]; then
    echo "error: cppcheck: it stopped without a finding (see $log)" >&2
    return 1
  fi
}

# Both programs and their libraries built with clang, warnings as errors; the x64 build with the
# tests too (GCC leaves -Wnon-virtual-dtor to clang).
check_clang_build() { # ARCH TRIPLET TESTS(ON|OFF)
  local dir=$build/clang-$1 log=$logs/clang-$1.log errors
  if ! cmake -S "$src" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-clang-$2.cmake" \
    -DCHRONSET_TESTS="$3" -DCHRONSET_TEST_ROOT="$build" -DCHRONSET_WARNINGS_AS_ERRORS=ON > "$log" 2>&1; then
    tail -n 20 "$log" >&2
    echo "error: clang $1: cmake could not configure $dir (see $log)" >&2
    return 1
  fi
  cmake --build "$dir" -j "$jobs" >> "$log" 2>&1 && return 0
  mapfile -t errors < <(grep -E '^/[^:]+:[0-9]+:[0-9]+: (error|warning): |error: ' "$log" | sed "s|^$src/||" | awk '!seen[$0]++')
  printf '  %s\n' "${errors[@]}" >&2
  echo "error: clang $1: the build failed (all of its output: $log), first: ${errors[0]:-see the log}" >&2
  return 1
}

minutes() { printf '%dm %02ds' $(($1 / 60)) $(($1 % 60)); }

mkdir -p "$logs"
failed=()
started=$SECONDS
run() { # NAME COMMAND...
  local began=$SECONDS
  if "${@:2}"; then
    echo "lint: $1 passed ($(minutes $((SECONDS - began))))"
  else
    echo "lint: $1 FAILED ($(minutes $((SECONDS - began))))"
    failed+=("$1")
  fi
}
for check in "${checks[@]}"; do
  case $check in
    format) run "the format check" check_format ;;
    layers) run "the layer check" check_layers ;;
    tidy) run clang-tidy check_tidy ;;
    cppcheck) run cppcheck check_cppcheck ;;
    clang)
      run "the clang x64 build" check_clang_build x64 x86_64-w64-mingw32 ON
      run "the clang x86 build" check_clang_build x86 i686-w64-mingw32 OFF
      ;;
  esac
done
echo "lint: $(minutes $((SECONDS - started))) in all"
if [ ${#failed[@]} -gt 0 ]; then
  joined=$(printf '%s, ' "${failed[@]}")
  echo "error: ${joined%, } (see above)" >&2
  exit 1
fi
