#!/usr/bin/env bash
# Checks that no folder of the program includes a header of a folder above it. The layers,
# lowest first: platform; engine and framework on platform; ui on framework and engine;
# pages and metadata on ui; app on all of them. res/resource.h (identifiers only) is open to
# the user interface.
#   tools/check-layers.sh [ROOT]
set -uo pipefail
root=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}

allowed() { # FOLDER -> the folders it may include
  case $1 in
    platform) echo "platform" ;;
    engine) echo "platform engine" ;;
    framework) echo "platform framework" ;;
    ui) echo "platform engine framework res ui" ;;
    pages) echo "platform engine framework res ui pages" ;;
    metadata) echo "platform engine framework res ui metadata" ;;
    app) echo "platform engine framework res ui pages metadata app" ;;
  esac
}

status=0
for folder in platform engine framework ui pages metadata app; do
  permitted=" $(allowed "$folder") "
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    included=$(sed -E 's/.*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1/' <<<"$rest")
    [[ $included == */* ]] || continue # a header beside the file
    layer=${included%%/*}
    if [[ $permitted != *" $layer "* ]]; then
      echo "error: ${file#"$root"/}:$line includes $included, above the $folder layer"
      status=1
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$root/$folder"/*.h "$root/$folder"/*.cpp 2>/dev/null)
done
exit $status
