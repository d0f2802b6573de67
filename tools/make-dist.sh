#!/usr/bin/env bash
# Packs the built programs for Windows users:
#   tools/make-dist.sh BUILD OUT
# writes OUT/chronset-VERSION.zip with chronset64.exe and chronset32.exe (from the x64 and x86
# trees under BUILD), README.txt, LICENSE.txt and SHA256SUMS (the checksums of the other four).
# VERSION is the project's, as CMake wrote it into each tree; the two trees must agree.
# The archive holds its names in byte order, no folders, no Unix extra fields, and every file
# dated as the 64-bit program, so that packing the same build again gives the same bytes.
# A fault ends the script with one line "error: CAUSE".
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

die() {
  echo "error: $*" >&2
  exit 1
}

[ $# -eq 2 ] || die "usage: tools/make-dist.sh BUILD OUT"
build=$1 out=$2

version_of() { # TREE
  local file=$build/$1/chronset-version.txt version
  [ -r "$file" ] || die "$file is missing (is the $1 tree configured?)"
  version=$(tr -d '\r\n' < "$file")
  [[ $version =~ ^[0-9]+(\.[0-9]+){0,3}$ ]] || die "$file holds no version: \"$version\""
  echo "$version"
}
version=$(version_of x64)
version32=$(version_of x86)
[ "$version" = "$version32" ] ||
  die "the x64 tree is version $version but the x86 tree $version32 (configure and build both again)"

program64=$build/x64/app/chronset64.exe
program32=$build/x86/app/chronset32.exe
for program in "$program64" "$program32"; do
  [ -f "$program" ] || die "$program is missing (is it built?)"
done
command -v zip >/dev/null || die "zip is not installed (tools/install-deps.sh installs it)"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
files=$stage/files
mkdir "$files"
cp "$program64" "$program32" "$files/"
# Text files with CR LF line ends, as Windows' own tools expect them.
to_crlf() { sed 's/\r$//; s/$/\r/'; }
sed "s/@VERSION@/$version/g" "$repo/docs/windows-readme.txt" | to_crlf > "$files/README.txt"
to_crlf < "$repo/LICENSE" > "$files/LICENSE.txt"
# shellcheck disable=SC2046 # the four names hold no blanks
(cd "$files" && LC_ALL=C sha256sum -- $(LC_ALL=C ls)) > "$stage/SHA256SUMS"
mv "$stage/SHA256SUMS" "$files/"

mapfile -t paths < <(LC_ALL=C ls -d "$files"/*)
chmod 644 "${paths[@]}"
touch -r "$program64" "${paths[@]}"
# zip stores local times: the same build gives the same archive in every time zone.
TZ=UTC0 zip -q -X -D -j -9 "$stage/archive.zip" "${paths[@]}" || die "zip could not write the archive"

mkdir -p "$out" || die "cannot make the folder $out"
archive=$out/chronset-$version.zip
mv -f "$stage/archive.zip" "$archive" || die "cannot write $archive"
echo "$archive"
