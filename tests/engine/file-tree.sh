#!/usr/bin/env bash
# Prepares or removes the Linux-side tree of the engine's file tests (Windows programs cannot
# make Linux links or immutable files themselves).
#   file-tree.sh setup DIR     loop/a/b/up and loop/a/back -> loop; names/x beside names/"x "
#                              (a name Windows tools cannot make); deep/ with a file more than
#                              400 characters below it; locked/immutable.txt made immutable
#   file-tree.sh cleanup DIR
set -u
action=$1 dir=$2
unlock() { [ -e "$dir/locked/immutable.txt" ] && chattr -i "$dir/locked/immutable.txt" 2>/dev/null; true; }
case $action in
  setup)
    unlock
    rm -rf "$dir"
    mkdir -p "$dir/loop/a/b" "$dir/locked" || exit 1
    touch "$dir/loop/a/f.txt" "$dir/loop/a/b/g.txt" \
      "$dir/locked/first.txt" "$dir/locked/immutable.txt" "$dir/locked/last.txt" || exit 1
    ln -s ../.. "$dir/loop/a/b/up" || exit 1
    ln -s .. "$dir/loop/a/back" || exit 1
    mkdir -p "$dir/names" && touch "$dir/names/x" "$dir/names/x " || exit 1
    deep=$dir/deep
    for part in d e f g; do deep=$deep/$(printf "$part%.0s" $(seq 110)); done
    mkdir -p "$deep" && touch "$deep/file.txt" || exit 1
    if chattr +i "$dir/locked/immutable.txt" 2>/dev/null; then
      touch "$dir/immutable-ready"
    else
      echo "chattr +i is not available here: the immutable-file tests will be skipped"
    fi
    ;;
  cleanup)
    unlock
    rm -rf "$dir"
    ;;
  *)
    echo "usage: $0 setup|cleanup DIR" >&2
    exit 2
    ;;
esac
