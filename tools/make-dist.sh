#!/usr/bin/env bash
# Packs the release programs for Windows users:
#   tools/make-dist.sh BUILD OUT
# takes chronset64.exe and chronset32.exe from the size-optimised trees BUILD/release-x64 and
# BUILD/release-x86, strips them, keeping their debugging information in chronset64.exe.debug
# and chronset32.exe.debug (named by each program's debug link), and checks each against the
# program the tests ran (BUILD/x64, BUILD/x86): the same version block and resources. It writes
#   OUT/chronset-VERSION.zip        the stripped programs, README.txt, LICENSE.txt and SHA256SUMS
#                                   (the checksums of the other four)
#   OUT/chronset-VERSION-debug.zip  the two debug files
#   OUT/chronset-VERSION-x64.msi, OUT/chronset-VERSION-x86.msi   the per-user installer packages
# VERSION is the project's, as CMake wrote it into each tree; the trees must agree.
# The archives hold their names in byte order, no folders, no Unix extra fields, and every file
# dated as the 64-bit program, so that packing the same build again gives the same bytes.
# A fault ends the script with one line "error: CAUSE".
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

die() {
  echo "error: $*" >&2
  exit 1
}

[ $# -eq 2 ] || die "usage: tools/make-dist.sh BUILD OUT"
build=$(realpath -m "$1") out=$(realpath -m "$2")

version_of() { # TREE
  local file=$build/$1/chronset-version.txt version
  [ -r "$file" ] || die "$file is missing (is the $1 tree configured?)"
  version=$(tr -d '\r\n' < "$file")
  [[ $version =~ ^[0-9]+(\.[0-9]+){0,3}$ ]] || die "$file holds no version: \"$version\""
  echo "$version"
}
version=$(version_of x64)
for tree in x86 release-x64 release-x86; do
  other=$(version_of $tree)
  [ "$version" = "$other" ] ||
    die "the x64 tree is version $version but the $tree tree $other (configure and build both again)"
done

# The largest program the release may carry: 1.4 MiB (a test packs larger stand-ins).
max_size=${CHRONSET_MAX_PROGRAM_SIZE:-1468006}
command -v zip >/dev/null || die "zip is not installed (tools/install-deps.sh installs it)"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
files=$stage/files debug=$stage/debug
mkdir "$files" "$debug"

# Strips one release program into the stage, its debugging information into a file of its own
# beside it, and checks it against the tested one.
strip_program() { # ARCH BITS TRIPLET
  local name=chronset$2.exe release=$build/release-$1/app/chronset$2.exe tested=$build/$1/app/chronset$2.exe
  [ -f "$release" ] || die "$release is missing (is it built?)"
  [ -f "$tested" ] || die "$tested is missing (is it built?)"
  command -v "$3-objcopy" >/dev/null || die "$3-objcopy is not installed (tools/install-deps.sh installs it)"
  # objcopy stamps the files it writes with the current time unless given one: they keep the
  # program's own link time, so that stripping the same build again gives the same bytes.
  local stamp
  stamp=$(python3 -c 'import struct, sys
data = open(sys.argv[1], "rb").read()
print(struct.unpack_from("<I", data, struct.unpack_from("<I", data, 0x3C)[0] + 8)[0])' "$release") ||
    die "$release is no Windows program"
  SOURCE_DATE_EPOCH=$stamp "$3-objcopy" --only-keep-debug "$release" "$debug/$name.debug" ||
    die "$3-objcopy could not copy the debugging information of $release"
  # The link is made in the debug file's folder: objcopy reads the file it names there.
  (cd "$debug" && SOURCE_DATE_EPOCH=$stamp "$3-objcopy" --strip-all --add-gnu-debuglink="$name.debug" "$release" "$files/$name") ||
    die "$3-objcopy could not strip $release"
  "$repo/tools/check-release.py" "$files/$name" "$debug/$name.debug" "$tested" --max-size "$max_size" >"$stage/check.log" ||
    die "the stripped $name does not match $tested: $(head -n 1 "$stage/check.log" | sed 's/^[^:]*: //')"
}
strip_program x64 64 x86_64-w64-mingw32
strip_program x86 32 i686-w64-mingw32
"$repo/tools/release-texts.sh" "$version" "$files"
# shellcheck disable=SC2046 # the four names hold no blanks
(cd "$files" && LC_ALL=C sha256sum -- $(LC_ALL=C ls)) > "$stage/SHA256SUMS"
mv "$stage/SHA256SUMS" "$files/"

# zip stores local times: the same build gives the same archive in every time zone.
pack() { # FOLDER ARCHIVE
  local paths
  mapfile -t paths < <(LC_ALL=C ls -d "$1"/*)
  chmod 644 "${paths[@]}"
  touch -r "$build/release-x64/app/chronset64.exe" "${paths[@]}"
  TZ=UTC0 zip -q -X -D -j -9 "$2" "${paths[@]}" || die "zip could not write the archive $2"
}
pack "$files" "$stage/archive.zip"
pack "$debug" "$stage/debug.zip"
for arch in x64 x86; do
  bits=64
  [ $arch = x64 ] || bits=32
  "$repo/tools/make-msi.sh" $arch "$version" "$files/chronset$bits.exe" "$stage/chronset-$version-$arch.msi" >/dev/null
done

mkdir -p "$out" || die "cannot make the folder $out"
archive=$out/chronset-$version.zip
for made in "$stage/archive.zip:$archive" "$stage/debug.zip:$out/chronset-$version-debug.zip" \
  "$stage/chronset-$version-x64.msi:$out/chronset-$version-x64.msi" "$stage/chronset-$version-x86.msi:$out/chronset-$version-x86.msi"; do
  mv -f "${made%%:*}" "${made#*:}" || die "cannot write ${made#*:}"
  echo "${made#*:}"
done
