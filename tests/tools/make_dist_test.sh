#!/usr/bin/env bash
# The release of tools/make-dist.sh, made from the built programs copied into a fake build tree
# (as both the tested and the release builds): the archive's names, the stripped programs and
# their debug files, the checksums, the Windows text files, the packages, the same bytes when
# packed again, and the faults that must stop it. Also how ./x dist runs it, with the builds
# replaced by a recorder.
#   make_dist_test.sh CHRONSET64.EXE CHRONSET32.EXE
set -uo pipefail
[ $# -eq 2 ] || { echo "usage: make_dist_test.sh CHRONSET64.EXE CHRONSET32.EXE"; exit 2; }
for program in "$@"; do
  [ -f "$program" ] || { echo "FAILED: $program is missing (build both architectures first)"; exit 1; }
done
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
contains() { grep -qF -- "$2" "$1"; }
lacks() { ! grep -q -- "$2" "$1"; }
verifies() { (cd "$1" && sha256sum --quiet -c SHA256SUMS); }
# One line per entry of the archive: its name, whether it has extra fields, and its Unix mode.
entries() { # ZIP
  python3 -c '
import sys, zipfile
for info in zipfile.ZipFile(sys.argv[1]).infolist():
    print(info.filename, "extra" if info.extra else "plain", oct(info.external_attr >> 16))
' "$1"
}
crlf_only() { # FILE: every line ends in CR LF
  [ -s "$1" ] && [ "$(grep -c $'\r$' "$1")" = "$(wc -l < "$1")" ] && [ -z "$(tail -c 1 "$1" | tr -d '\n')" ]
}

tree=$work/build
for dir in x64 x86 release-x64 release-x86; do
  mkdir -p "$tree/$dir/app"
  # A version no source names: the archive must take it from the trees.
  echo 7.3.12 > "$tree/$dir/chronset-version.txt"
done
for dir in x64 release-x64; do cp "$1" "$tree/$dir/app/chronset64.exe"; done
for dir in x86 release-x86; do cp "$2" "$tree/$dir/app/chronset32.exe"; done
touch -d '2026-02-03 04:05:06 UTC' "$tree/release-x64/app/chronset64.exe"

# The built programs are the tests' own, larger than a release program may be.
export CHRONSET_MAX_PROGRAM_SIZE=$(($(stat -c %s "$1") + $(stat -c %s "$2")))
pack() { # OUT: runs the script, its output to OUT.out and its exit code to OUT.rc
  "$repo/tools/make-dist.sh" "$tree" "$1" > "$1.out" 2>&1
  echo $? > "$1.rc"
}

pack "$work/dist"
archive=$work/dist/chronset-7.3.12.zip
check "the archive is made and named after the build's version" [ "$(cat "$work/dist.rc")" = 0 -a -f "$archive" ]
check "the archive holds the five files in byte order, no folders, no extra fields" \
  cmp -s <(entries "$archive") <(printf '%s plain 0o100644\n' LICENSE.txt README.txt SHA256SUMS chronset32.exe chronset64.exe)
check "the script names the archive, the debug archive and both packages" cmp -s <(tail -n 4 "$work/dist.out") \
  <(printf '%s\n' "$archive" "$work/dist/chronset-7.3.12-debug.zip" "$work/dist/chronset-7.3.12-x64.msi" "$work/dist/chronset-7.3.12-x86.msi")
check "the debug archive holds one debug file per program" cmp -s <(entries "$work/dist/chronset-7.3.12-debug.zip") \
  <(printf '%s plain 0o100644\n' chronset32.exe.debug chronset64.exe.debug)
mkdir "$work/unpacked" "$work/debug"
python3 -m zipfile -e "$archive" "$work/unpacked"
python3 -m zipfile -e "$work/dist/chronset-7.3.12-debug.zip" "$work/debug"
check "the checksums verify" verifies "$work/unpacked"
check "the checksums cover the other four files" \
  cmp -s <(awk '{ print $2 }' "$work/unpacked/SHA256SUMS") <(printf '%s\n' LICENSE.txt README.txt chronset32.exe chronset64.exe)
for bits in 64 32; do
  tested=$1
  [ $bits = 64 ] || tested=$2
  check "the $bits-bit program is the built one, stripped, its debug file linked" "$repo/tools/check-release.py" \
    "$work/unpacked/chronset$bits.exe" "$work/debug/chronset$bits.exe.debug" "$tested" --max-size "$(stat -c %s "$tested")"
  check "the $bits-bit program is smaller than the built one" [ "$(stat -c %s "$work/unpacked/chronset$bits.exe")" -lt "$(stat -c %s "$tested")" ]
done
for arch in x64 x86; do
  check "the $arch package names the version" cmp -s <(msiinfo export "$work/dist/chronset-7.3.12-$arch.msi" Property | tr -d '\r' | grep '^ProductVersion') \
    <(printf 'ProductVersion\t7.3.12\n')
done
mkdir "$work/x64-msi"
(cd "$work/x64-msi" && msiextract "$work/dist/chronset-7.3.12-x64.msi" >/dev/null)
check "the 64-bit package carries the stripped program" \
  cmp -s "$(find "$work/x64-msi" -name chronset64.exe)" "$work/unpacked/chronset64.exe"

# Packing the same build again, over the earlier archive, gives the same bytes (zip itself would
# add to an archive that is there).
cp "$archive" "$work/first.zip"
TZ=Asia/Tokyo pack "$work/dist"
check "packing again in another time zone gives the same bytes" cmp -s "$archive" "$work/first.zip"

# Faults stop the script with one error line and leave no archive.
echo 7.3.11 > "$tree/release-x86/chronset-version.txt"
pack "$work/mismatch"
check "trees of two versions are refused" [ "$(cat "$work/mismatch.rc")" != 0 ]
check "the refusal names both versions" contains "$work/mismatch.out" \
  "error: the x64 tree is version 7.3.12 but the release-x86 tree 7.3.11"
check "no archive is made for them" [ ! -e "$work/mismatch" ]
echo 7.3.12 > "$tree/release-x86/chronset-version.txt"
mv "$tree/release-x86/app/chronset32.exe" "$work/aside.exe"
pack "$work/missing"
check "a missing program is named" [ "$(cat "$work/missing.out")" = "error: $tree/release-x86/app/chronset32.exe is missing (is it built?)" ]
check "no archive is made without it" [ ! -e "$work/missing" ]
mv "$work/aside.exe" "$tree/release-x86/app/chronset32.exe"
# A release program built from other resources than the tested one: here the tested program
# stands in for it with its version block changed.
cp "$tree/x64/app/chronset64.exe" "$work/tested64.exe"
python3 - "$tree/x64/app/chronset64.exe" "$repo/tools/check-pe.py" <<'PY'
import importlib.util, sys
module_spec = importlib.util.spec_from_file_location("check_pe", sys.argv[2])
check_pe = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(check_pe)
data = bytearray(open(sys.argv[1], "rb").read())
for (rtype, _, _), _, start, size in check_pe.PeFile(bytes(data)).resource_entries():
    if rtype == check_pe.RT_VERSION:
        data[start + size - 4] ^= 0xFF
open(sys.argv[1], "wb").write(bytes(data))
PY
pack "$work/other"
check "a release program whose version block is not the tested one's is refused" \
  [ "$(cat "$work/other.out")" = "error: the stripped chronset64.exe does not match $tree/x64/app/chronset64.exe: its version block differs from the tested program's" ]
check "no archive is made for it" [ ! -e "$work/other" ]
cp "$work/tested64.exe" "$tree/x64/app/chronset64.exe"
CHRONSET_MAX_PROGRAM_SIZE=1000 pack "$work/large"
check "a program larger than the limit is refused" contains "$work/large.out" "bytes long, more than 1000"
check "no archive is made for it" [ ! -e "$work/large" ]

# ./x dist builds both architectures, then packs the builds into dist; a packing fault ends it
# with the one line of ./x naming the script's cause.
run_x_dist() { # OUT
  (
    # shellcheck source=../../x
    . "$repo/x"
    configure_and_build() { echo "built $1 with $2" >> "$work/builds.log"; }
    build_release() { echo "release $1 with $2" >> "$work/builds.log"; }
    build=$tree dist=$1
    make_dist
  ) > "$1.out" 2>&1
  echo $? > "$1.rc"
}
rm -f "$work/builds.log"
run_x_dist "$work/xdist"
check "./x dist builds both architectures, tested and for the release" \
  cmp -s "$work/builds.log" <(printf 'built x64 with x86_64-w64-mingw32\nbuilt x86 with i686-w64-mingw32\nrelease x64 with x86_64-w64-mingw32\nrelease x86 with i686-w64-mingw32\n')
check "./x dist writes the archive into its dist folder" cmp -s "$work/xdist/chronset-7.3.12.zip" "$work/first.zip"
rm "$tree/x86/chronset-version.txt"
run_x_dist "$work/xdist-fault"
check "./x dist ends a packing fault with one line naming its cause" [ "$(tail -n 1 "$work/xdist-fault.out")" = \
  "x: packing the release failed: $tree/x86/chronset-version.txt is missing (is the x86 tree configured?)" ]
check "./x dist fails then" [ "$(cat "$work/xdist-fault.rc")" != 0 ]

[ "$failures" -eq 0 ] || { echo "$failures checks failed"; exit 1; }
