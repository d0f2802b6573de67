#!/usr/bin/env bash
# setup|cleanup DIR: DIR/locked.txt, a file whose times the Windows side cannot write
# (immutable on the Linux side; reading still works), and DIR/loop/a/up, a link back to
# DIR/loop (Windows programs cannot make Linux links).
set -u
case $1 in
  setup)
    mkdir -p "$2/loop/a" && ln -sfn .. "$2/loop/a/up" && : > "$2/locked.txt" && chattr +i "$2/locked.txt" ;;
  cleanup)
    chattr -i "$2/locked.txt" 2>/dev/null
    rm -rf "$2" ;;
esac
