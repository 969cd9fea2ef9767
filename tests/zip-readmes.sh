#!/usr/bin/env bash
# Checks the READMEs of the unpacked Windows zip as Notepad shows them: plain
# text, no Markdown left (links, code marks, tables, # headings), and every
# file of the zip's kind that they name (.exe, .bat, .txt, .md, .png, .dll,
# .html) is in the zip. Release files named for download elsewhere (.zip)
# are not counted.
# usage: tests/zip-readmes.sh UNPACKED_FOLDER
set -euo pipefail
folder=$1
status=0
for readme in README.txt README.ja.txt; do
  text=$(tr -d '\r' < "$folder/$readme")
  for mark in '](' '`' '|---'; do
    if grep -qF -- "$mark" <<< "$text"; then
      echo "$readme: Markdown left: $(grep -F -- "$mark" <<< "$text" | head -n 1)" >&2
      status=1
    fi
  done
  if grep -qE '^#' <<< "$text"; then
    echo "$readme: a Markdown heading: $(grep -E '^#' <<< "$text" | head -n 1)" >&2
    status=1
  fi
  named=$(grep -oE '[A-Za-z0-9_.-]+\.(exe|bat|txt|md|png|dll|html)\b' <<< "$text" | sort -u || true)
  for name in $named; do
    if [ ! -e "$folder/$name" ]; then
      echo "$readme: names $name, which the zip does not hold" >&2
      status=1
    fi
  done
done
[ "$status" -eq 0 ] && echo "$folder: README.txt and README.ja.txt are plain text, and every file they name is in the zip"
exit "$status"
