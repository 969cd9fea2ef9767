#!/usr/bin/env bash
# The library vendored in an emulator's project (tests/vendored), added with
# add_subdirectory and fetched with FetchContent from this clone: each must
# configure without GoogleTest or a browser being asked for, build nothing of
# ours but the library, leave the emulator's own "library" target and
# BUILD_TESTING alone, and make the command's images from one set of dumps.
# usage: tests/vendored.sh COMMAND   (the native quorvel-v2gen, to compare)
set -euo pipefail
command=$(realpath "$1")
source=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One set of dumps, with a short boot image for a warning.
mkdir "$work/dumps"
head -c 10240 /dev/urandom > "$work/dumps/SUBSYS_C.ROM"
head -c 4000 /dev/urandom > "$work/dumps/INITIATE.BIN"
head -c 512 /dev/urandom > "$work/dumps/BOOT_BAS.ROM"
head -c 300 /dev/urandom > "$work/dumps/BOOT_DOS.ROM"
cp -r "$work/dumps" "$work/by-command"
(cd "$work/by-command" && LC_ALL=C "$command" > /dev/null 2> ../command-err)

for way in add_subdirectory FetchContent; do
  build="$work/$way"
  fetch=()
  [ "$way" = add_subdirectory ] || fetch=(-DQUORVEL_FETCH_TAG="$(git -C "$source" rev-parse HEAD)")
  # As if GoogleTest were not installed: any find_package(GTest) of ours would fail.
  cmake --no-warn-unused-cli -S "$source/tests/vendored" -B "$build" -DQUORVEL_SOURCE="$source" "${fetch[@]}" \
    -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON > "$work/$way.log" \
    || { cat "$work/$way.log" >&2; exit 1; }
  cmake --build "$build" >> "$work/$way.log" || { cat "$work/$way.log" >&2; exit 1; }
  grep -q '^BUILD_TESTING:BOOL=ON$' "$build/CMakeCache.txt" || { echo "$way: BUILD_TESTING changed" >&2; exit 1; }
  # Our cache entries are all QUORVEL_ ones (and FetchContent's own for the
  # tree); the rest are CMake's and CTest's, for the parent.
  generic=$(sed -n 's/^\([A-Za-z_]*\)[:=].*/\1/p' "$build/CMakeCache.txt" | grep -iv '^quorvel\|^FETCHCONTENT_\|^_\?CMAKE_\|^BUILD_TESTING$\|^emulator_\|^DART_\|^MEMORYCHECK_\|^COVERAGE_\|^SITE$\|^MAKECOMMAND$\|^BUILDNAME$\|^DRMEMORY_\|^SLURM_\|^GITCOMMAND$\|^HGCOMMAND$\|^P4COMMAND$\|^CVSCOMMAND$\|^SVNCOMMAND$\|^BZRCOMMAND$\|^GIT_EXECUTABLE$\|^UPDATE_\|^PROXY\|^NIGHTLY_START_TIME$\|^SUBMIT_URL$\|^DROP_\|^TRIGGER_SITE$\|^VALGRIND_\|^PURIFYCOMMAND$\|^CVS_UPDATE_OPTIONS$\|^SVN_UPDATE_OPTIONS$\|^BZR_UPDATE_OPTIONS$\|^CTEST' || true)
  [ -z "$generic" ] || { echo "$way: cache entries besides QUORVEL_: $generic" >&2; exit 1; }
  # Only the library was built of ours: no tool, tests, page or packages.
  ours="$build/quorvel-v2gen"
  [ "$way" = add_subdirectory ] || ours="$build/_deps/quorvel-v2gen-build"
  targets=$(cmake --build "$ours" --target help | sed -n 's/^\.\.\. \([^ ]*\).*/\1/p' | grep -v '\.[ois]$')
  unexpected=$(grep -v '^\(all\|clean\|depend\|edit_cache\|rebuild_cache\|test\|install\|install/local\|install/strip\|list_install_components\|quorvel_v2gen\)$' <<< "$targets" || true)
  [ -z "$unexpected" ] || { echo "$way: targets besides the library: $unexpected" >&2; exit 1; }
  [ ! -e "$build/CPackConfig.cmake" ] || { echo "$way: CPack was configured" >&2; exit 1; }

  cp -r "$work/dumps" "$work/by-$way"
  "$build/emulator" "$work/by-$way" > "$work/$way-out" 2> "$work/$way-err"
  diff "$work/command-err" "$work/$way-err"
  for image in SUBSYSCG.ROM SUBSYS_A.ROM SUBSYS_B.ROM INITIATE.ROM; do
    cmp "$work/by-command/$image" "$work/by-$way/$image"
  done
  echo "vendored with $way: only quorvel::v2gen built, the command's images and lines"
done
