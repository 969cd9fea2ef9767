#!/usr/bin/env bash
# Runs the end-to-end tests against the Windows executable under Wine.
# usage: tests/run-under-wine.sh TEST_EXECUTABLE WINDOWS_EXE
set -euo pipefail
tests=$(realpath "$1")
exe=$(realpath "$2")

# A prefix of its own beside the executable; no Mono or Gecko prompts.
export WINEPREFIX="$(dirname "$exe")/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# The first start of a prefix takes 10 to 20 seconds. One wineserver then
# serves the whole suite, or every run would pay seconds to start its own.
mkdir -p "$WINEPREFIX"
wineserver -p
trap 'wineserver -k || true' EXIT
wineboot -i > "$(dirname "$exe")/wineboot.log" 2>&1

# A first run warms the prefix up. Output goes to files, never pipes: Wine's
# helper processes inherit a pipe and hold it open until the wineserver ends.
warm=$(mktemp -d)
(cd "$warm" && wine "$exe" > stdout 2> stderr) || true
rm -rf "$warm"

QUORVEL_V2GEN="$exe" QUORVEL_V2GEN_EMULATOR=wine "$tests" --gtest_filter='Cases/V2GenTest.*'
