#!/usr/bin/env bash
# The layer check passes on the real tree, and on a copy it names each include of a folder
# above the including one while leaving downward and same-folder includes alone.
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
check=$repo/tools/check-layers.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
expect() { # DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

expect "the program's own tree keeps its layers" "$check" "$repo"

for folder in platform engine framework ui pages metadata app; do mkdir -p "$work/$folder"; done
printf '#include "ui/PageControls.h"\n#include "engine/FileTime.h"\n' > "$work/pages/Good.cpp"
printf '#include "app/Dialog.h"\n' > "$work/pages/UsesApp.cpp"
printf '#include <windows.h>\n  #include "pages/GeneralPage.h"\n' > "$work/metadata/UsesPages.h"
printf '#include "ui/Messages.h"\n' > "$work/engine/UsesUi.cpp"
printf '#include "Local.h"\n#include "platform/Handles.h"\n' > "$work/framework/Fine.cpp"
"$check" "$work" > "$work/out" 2>&1
rc=$?
expect "a violation fails the check" test "$rc" -ne 0
expect "pages including app is named" grep -qF 'pages/UsesApp.cpp:1 includes app/Dialog.h, above the pages layer' "$work/out"
expect "metadata including pages is named" grep -qF 'metadata/UsesPages.h:2 includes pages/GeneralPage.h' "$work/out"
expect "the engine including ui is named" grep -qF 'engine/UsesUi.cpp:1 includes ui/Messages.h' "$work/out"
expect "allowed includes are not named" test "$(grep -c '^error: ' "$work/out")" -eq 3

[ "$failures" -eq 0 ] || { cat "$work/out"; exit 1; }
