#!/usr/bin/env bash
# Runs a GoogleTest executable as COUNT processes at once, each a share of
# the cases (GoogleTest's own sharding), and fails if any of them fails. Under
# an emulator (QEMU, Wine) a case's time goes to emulating the tool's start,
# so a share for each core ends the table sooner. Each share's output is
# shown whole, in turn.
# usage: tests/run-shards.sh COUNT TEST_EXECUTABLE [ARGS...]
set -euo pipefail
count=$1
shift
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
pids=()
for ((index = 0; index < count; index++)); do
  GTEST_TOTAL_SHARDS=$count GTEST_SHARD_INDEX=$index "$@" > "$logs/$index" 2>&1 &
  pids+=($!)
done
failed=""
for ((index = 0; index < count; index++)); do
  wait "${pids[$index]}" || failed="$failed $((index + 1))"
done
for ((index = 0; index < count; index++)); do
  echo "-- share $((index + 1)) of $count"
  cat "$logs/$index"
done
if [ -n "$failed" ]; then
  echo "failed: share$failed of $count" >&2
  exit 1
fi
