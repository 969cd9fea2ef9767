#!/usr/bin/env bash
# Builds a release quorvel-v2gen and the raw-system-call baseline, then prints
# the figures; then, where Emscripten, Node and Chromium are found, the page's
# and Lighthouse's.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-bench >/dev/null
cc -O2 -o build-bench/baseline bench/baseline.c
cc -O2 -o build-bench/measure bench/measure.c
python3 bench/bench.py build-bench/quorvel-v2gen build-bench/baseline build-bench/measure "${TMPDIR:-/tmp}"

if ! command -v emcmake > /dev/null || ! command -v node > /dev/null || ! command -v chromium > /dev/null; then
  echo "page: not measured (needs emcmake, node and chromium)"
  exit 0
fi
NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B build-bench-web -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench-web >/dev/null
node bench/page.mjs build-bench-web/site build-bench-web/npm/node_modules "$(command -v chromium)"

# Lighthouse, from bench/package-lock.json, beside the page's own benchmark.
mkdir -p build-bench-web/bench
cp bench/package.json bench/package-lock.json build-bench-web/bench/
npm ci --no-audit --no-fund --loglevel=error --prefix build-bench-web/bench
node bench/lighthouse.mjs build-bench-web/site build-bench-web/bench/node_modules "$(command -v chromium)"
