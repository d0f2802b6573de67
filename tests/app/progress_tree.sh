#!/usr/bin/env bash
# Makes the trees of the progress tests on the Linux side, where it takes a moment:
#   progress_tree.sh FOLDER   FOLDER/large: 40 folders of 500 files; FOLDER/small: 3 files
set -euo pipefail
root=$1
rm -rf "$root"
mkdir -p "$root/large" "$root/small"
for f in $(seq -w 1 40); do
  mkdir "$root/large/folder$f"
  (cd "$root/large/folder$f" && touch $(seq -f 'file%03g.txt' 1 500))
done
touch "$root/small/a.txt" "$root/small/b.txt" "$root/small/c.txt"
# Times in the past, so that a written time shows.
find "$root" -exec touch -h -d '2001-01-01 00:00:00 UTC' {} +
