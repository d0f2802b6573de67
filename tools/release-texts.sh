#!/usr/bin/env bash
# Writes the texts a release carries beside the programs, with CR LF line ends as Windows'
# own tools expect them:
#   tools/release-texts.sh VERSION DIR
# DIR/README.txt (docs/windows-readme.txt with the version filled in) and DIR/LICENSE.txt.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
[ $# -eq 2 ] || { echo "error: usage: tools/release-texts.sh VERSION DIR" >&2; exit 1; }
to_crlf() { sed 's/\r$//; s/$/\r/'; }
sed "s/@VERSION@/$1/g" "$repo/docs/windows-readme.txt" | to_crlf > "$2/README.txt"
to_crlf < "$repo/LICENSE" > "$2/LICENSE.txt"
