#!/usr/bin/env bash
# Builds the per-user installer package of one architecture with wixl:
#   tools/make-msi.sh ARCH VERSION PROGRAM OUT.msi
# ARCH is x64 or x86; PROGRAM is the chronset64.exe or chronset32.exe to install. The package
# installs it with README.txt and LICENSE.txt into %LOCALAPPDATA%\Programs\Nebbi's Timestamp
# Editor\ and writes the verb's registry entries, made from res/chronset.rgs.
# Each architecture has its fixed upgrade code, so that a package of a newer version replaces
# the installed one of the same architecture; the product code follows from the upgrade code
# and the version, so that packing the same version again gives the same product.
# A fault ends the script with one line "error: CAUSE".
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

die() {
  echo "error: $*" >&2
  exit 1
}

[ $# -eq 4 ] || die "usage: tools/make-msi.sh ARCH VERSION PROGRAM OUT.msi"
arch=$1 version=$2 program=$3 out=$4
case $arch in
  x64) bits=64 upgrade_code=EC490F4B-9A6C-453A-9799-6099980D83C2 ;;
  x86) bits=32 upgrade_code=D79613F8-5A0A-45B0-8C68-D8CE4167DB7E ;;
  *) die "the architecture $arch is neither x64 nor x86" ;;
esac
# An installer version has three parts, the first two at most 255, the third at most 65535.
if ! [[ $version =~ ^([0-9]+)\.([0-9]+)\.([0-9]+)$ ]] || [ "${BASH_REMATCH[1]}" -gt 255 ] ||
  [ "${BASH_REMATCH[2]}" -gt 255 ] || [ "${BASH_REMATCH[3]}" -gt 65535 ]; then
  die "the version \"$version\" is no installer version (MAJOR.MINOR.PATCH, at most 255.255.65535)"
fi
[ -f "$program" ] || die "$program is missing (is it built?)"
command -v wixl >/dev/null || die "wixl is not installed (tools/install-deps.sh installs it)"

product_code=$(python3 -c 'import sys, uuid; print(str(uuid.uuid5(uuid.UUID("4DDA32B2-7390-4DB4-826C-008A1FFFB267"), sys.argv[1])).upper())' "$arch $version")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
# wixl finds sources only by relative names: everything goes into the stage, where it runs.
"$repo/tools/release-texts.sh" "$version" "$stage"
"$repo/tools/rgs-to-wix.py" "$repo/res/chronset.rgs" "chronset$bits.exe" "$stage/registry.wxi"
cp "$program" "$stage/program.exe"
cp "$repo/res/chronset.ico" "$repo/installer/chronset.wxs" "$stage/"
(cd "$stage" && wixl -a "$arch" -o package.msi \
  -D Version="$version" -D Arch="$arch" -D Bits="$bits" -D UpgradeCode="$upgrade_code" \
  -D ProductCode="$product_code" -D ProgramFile=program.exe -D ReadmeFile=README.txt \
  -D LicenseFile=LICENSE.txt -D IconFile=chronset.ico \
  -D RegistryInclude=registry.wxi chronset.wxs >wixl.log 2>&1) ||
  die "wixl could not build the package: $(grep -v '^$' "$stage/wixl.log" | tail -n 1)"
mkdir -p "$(dirname "$out")" || die "cannot make the folder of $out"
mv -f "$stage/package.msi" "$out" || die "cannot write $out"
echo "$out"
