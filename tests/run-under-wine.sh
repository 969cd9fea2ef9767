#!/usr/bin/env bash
# Runs the end-to-end tests against the 32-bit Windows executable under Wine.
# usage: tests/run-under-wine.sh LOADER TEST_EXECUTABLE WINDOWS_EXE [UNPACKED_ZIP NATIVE_TOOL STARTER]
#   LOADER: "wine" where the kernel runs 32-bit x86 programs; elsewhere the
#   loader that tests/wine-in-qemu.sh prints, which runs Wine under QEMU.
#   With the folder of the unpacked Windows zip, the native executable and
#   the Windows build's start-command-line.exe, the zip's launchers are
#   tested too (tests/launchers-under-wine.sh).
set -euo pipefail
loader=$1
# The tests run the loader from a folder of their own.
case "$loader" in */*) loader=$(realpath "$loader") ;; esac
tests=$(realpath "$2")
exe=$(realpath "$3")

# A 32-bit prefix of its own beside the executable. The suite starts only
# once wineboot has returned and a first run has finished, so that a slow
# start never shows up as a failed case.
# shellcheck source=tests/wine-session.sh
source "$(dirname "$0")/wine-session.sh"
wine_session "$loader" "$(dirname "$exe")/wineprefix" win32 "$(dirname "$exe")/wineboot.log"
trap '"$WINESERVER" -k || true' EXIT

# The warm-up run. Output goes to files, never pipes: Wine's helper
# processes inherit a pipe and hold it open until the wineserver ends.
warm=$(mktemp -d)
(cd "$warm" && "$loader" "$exe" > stdout 2> stderr) || true
rm -rf "$warm"

# The Windows build's helper that holds an image open, where it was built.
holder="$(dirname "$exe")/hold-open.exe"
[ -f "$holder" ] && export QUORVEL_HOLD_OPEN="$holder"

echo "End-to-end tests against $exe under $loader"
QUORVEL_V2GEN="$exe" QUORVEL_V2GEN_EMULATOR="$loader" bash "$(dirname "$0")/run-shards.sh" 2 "$tests" \
  --gtest_filter='Cases/V2GenTest.*:Cases/TerminalTest.*:InterruptedRunTest.*:HeldOpenTest.*'

if [ $# -ge 6 ]; then
  echo "The launchers of the Windows zip under $loader"
  bash "$(dirname "$0")/launchers-under-wine.sh" "$loader" "$4" "$5" "$6"
fi
