#!/usr/bin/env bash
# Builds a release quorvel-v2gen and the raw-system-call baseline, then prints the figures.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-bench >/dev/null
cc -O2 -o build-bench/baseline bench/baseline.c
cc -O2 -o build-bench/measure bench/measure.c
python3 bench/bench.py build-bench/quorvel-v2gen build-bench/baseline build-bench/measure "${TMPDIR:-/tmp}"
