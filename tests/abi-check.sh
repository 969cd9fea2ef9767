#!/usr/bin/env bash
# Holds the shared library's ABI: builds libquorvel-v2gen.so.0 with debug
# information in a tree of its own, describes the ABI of what the public
# header declares (libabigail's abidw) and compares it with the description
# kept in romimage/abi/ (abidiff). A change that would break a program built
# against the kept one fails, until the SONAME's major version changes; an
# addition passes, and the description is then brought up to date with
# --update. A copy of the tree with a field added in the middle of
# qv2gen_diagnostic must fail the same comparison, so that the check is seen
# to bite.
# usage: tests/abi-check.sh [--update]
set -euo pipefail
source=$(cd "$(dirname "$0")/.." && pwd)
kept=$source/romimage/abi/libquorvel-v2gen.so.0.abi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The ABI of the shared library built from the tree given, into the file given.
describe() {
  cmake -S "$1" -B "$work/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF > "$work/log" \
    || { cat "$work/log" >&2; return 1; }
  cmake --build "$work/build" --target quorvel-v2gen-shared >> "$work/log" || { cat "$work/log" >&2; return 1; }
  abidw --no-corpus-path --exported-interfaces-only --drop-private-types --headers-dir "$1/romimage/include/quorvel" --out-file "$2" \
    "$work/build/libquorvel-v2gen.so.0"
  rm -rf "$work/build"
}

describe "$source" "$work/now.abi"
if [ "${1:-}" = --update ]; then
  cp "$work/now.abi" "$kept"
  echo "$kept: brought up to date"
  exit 0
fi
# Any change but an addition (a new function; a new enumerator at the end,
# which abidiff counts as harmless) is a change that callers may feel: a
# type's size or layout, a removed or changed function.
breaks() {
  local status=0
  abidiff --no-added-syms "$kept" "$1" > "$work/diff" || status=$?
  (( status != 0 ))
}
if breaks "$work/now.abi"; then
  cat "$work/diff" >&2
  echo "libquorvel-v2gen.so.0: the ABI is no longer the one kept in $kept" >&2
  exit 1
fi
if ! abidiff "$kept" "$work/now.abi" > "$work/diff"; then
  cat "$work/diff"
  echo "libquorvel-v2gen.so.0: additions only; bring $kept up to date with tests/abi-check.sh --update"
else
  echo "libquorvel-v2gen.so.0: the ABI is the one kept in romimage/abi/"
fi

# The check bites: a field added in the middle of a public struct, in a copy
# of the committed tree.
mkdir "$work/broken"
git -C "$source" archive HEAD | tar -x -C "$work/broken"
sed -i 's|^  int error;        /\* failures|  int added;\n  int error;        /* failures|' "$work/broken/romimage/include/quorvel/v2gen.h"
grep -q '^  int added;$' "$work/broken/romimage/include/quorvel/v2gen.h" || { echo "the broken copy was not made" >&2; exit 1; }
describe "$work/broken" "$work/broken.abi"
breaks "$work/broken.abi" || { echo "abidiff did not see a field added to qv2gen_diagnostic" >&2; exit 1; }
echo "a field added to qv2gen_diagnostic fails the check, as it must"
