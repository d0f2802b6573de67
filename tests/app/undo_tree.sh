#!/usr/bin/env bash
# Makes the tree of the undo test on the Linux side, where it takes a moment:
#   undo_tree.sh FOLDER   40 folders of 500 files (20,000), each group of 50 files with write
#                         and access times of its own, to the nanosecond, and every folder too
set -euo pipefail
root=$1
rm -rf "$root"
mkdir -p "$root"
for f in $(seq -w 1 40); do
  mkdir "$root/folder$f"
  (cd "$root/folder$f" && touch $(seq -f 'file%03g.txt' 1 500))
  for g in 0 1 2 3 4 5 6 7 8 9; do
    touch -m -d "2001-01-$((10#$f % 31 + 1)) $g:17:42.${f}${g}345678 UTC" "$root/folder$f/"file??$g.txt
    touch -a -d "2003-07-$((10#$f % 28 + 1)) 1$g:05:09.${g}${f}765432 UTC" "$root/folder$f/"file??$g.txt
  done
  touch -m -d "2000-03-$((10#$f % 28 + 1)) 08:00:00.${f}1111111 UTC" "$root/folder$f"
done
touch -m -d '1999-12-31 23:59:59.987654321 UTC' "$root"
