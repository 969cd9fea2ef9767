#!/usr/bin/env bash
# The code's own checks, each of which prints what it finds and fails the
# run: clang-format and clang-tidy on the C++ and C, shellcheck on the shell
# scripts, ESLint on the page's scripts, its test and its benchmark.
# usage: bash tests/lint.sh
# Needs clang-format, clang-tidy, shellcheck, cmake with GoogleTest, git, and
# Node 20 or later with npm; installs ESLint itself from package-lock.json.
set -euo pipefail
cd "$(dirname "$0")/.."
failed=""
# Runs a check and keeps going, so that one run shows every finding.
check() {
  local name=$1
  shift
  echo "== $name"
  "$@" || failed="$failed $name"
}

mapfile -t cxx < <(git ls-files '*.cpp' '*.h' '*.c')
# The Windows test helper in tests/windows is compiled only by mingw-w64.
# Largest first: the longest check (the end-to-end tests' file, about as long
# as all the others together) starts at once, beside the rest, not last.
mapfile -t tidied < <(git ls-files 'frontend/*.cpp' 'romimage/*.cpp' ':(glob)tests/*.cpp' | xargs ls -S)
mapfile -t scripts < <(git ls-files '.ci/run' 'tests/*.sh' 'bench/*.sh')
mapfile -t javascript < <(git ls-files 'web/*.js' 'web/*.mjs' 'web/*.js.in' 'tests/web/*.mjs' 'bench/*.mjs' 'doc/*.mjs' 'eslint.config.mjs')

check clang-format clang-format --dry-run --Werror "${cxx[@]}"

# clang-tidy reads how each file is compiled; its count of the warnings it
# found in system headers (and did not show) is noise.
tidy() {
  cmake -S . -B build-lint -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DQUORVEL_WEB=OFF > /dev/null
  # GCC's -fno-gnu-unique (for the packaged library) is unknown to clang.
  sed -i 's/ -fno-gnu-unique//g' build-lint/compile_commands.json
  local out status=0
  out=$(printf '%s\n' "${tidied[@]}" | xargs -P 2 -n 1 clang-tidy -p build-lint --quiet 2>&1) || status=1
  grep -v ' warnings generated\.$' <<< "$out" || true
  return $status
}
check clang-tidy tidy

check shellcheck shellcheck "${scripts[@]}"

eslint() {
  npm ci --no-audit --no-fund --silent
  npx --no-install eslint "${javascript[@]}"
}
check eslint eslint

if [ -n "$failed" ]; then
  echo "failed:$failed" >&2
  exit 1
fi
echo "every check passed"
