#!/usr/bin/env bash
# Runs the launchers of the Windows zip under Wine as a user does: a folder
# dropped on one, a file dropped on one, one double-clicked in the folder of
# the dumps, and something dropped that does not exist. Each run must leave
# exactly the images that the native tool makes for that folder and mode,
# end with the tool's status, and wait for the key that the test gives it.
# usage: tests/launchers-under-wine.sh LOADER UNPACKED_ZIP_FOLDER NATIVE_TOOL
#   Run by tests/run-under-wine.sh, whose Wine prefix and server it uses.
set -euo pipefail
loader=$1
unpacked=$(realpath "$2")
native=$(realpath "$3")
# Wine's own words (pause's prompt) in English, and the arguments read as UTF-8.
export LC_ALL=C.UTF-8
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Folders with a space, and one with Japanese characters, as users' have.
install="$work/quorvel v2gen"
mkdir "$install" "$work/dumps"
cp "$unpacked"/quorvel-v2gen.exe "$unpacked"/*.bat "$install/"
head -c 10240 /dev/urandom > "$work/dumps/SUBSYS_C.ROM"
head -c 4000 /dev/urandom > "$work/dumps/INITIATE.BIN"
head -c 512 /dev/urandom > "$work/dumps/BOOT_BAS.ROM"
head -c 512 /dev/urandom > "$work/dumps/BOOT_DOS.ROM"
# expect FOLDER [SWITCH]: what the native tool leaves in a copy of the dumps.
expect() {
  mkdir "$1"
  cp "$work/dumps"/* "$1/"
  (cd "$1" && "$native" "${@:2}" > /dev/null 2>&1) || true
}
expect "$work/expected-normal"
expect "$work/expected-compatible" -compatiblerom
printf '\r\n' > "$work/key"

windows() { printf 'Z:%s' "${1//\//\\}"; }
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

# launch NAME LAUNCHER FOLDER STATUS EXPECTED [DROPPED]: copies the dumps to
# FOLDER, runs LAUNCHER (a path) with the Windows path of DROPPED as Explorer
# passes a drop, and checks the status, the pause and FOLDER against the
# folder EXPECTED ("" for the dumps untouched).
launch() {
  local name=$1 launcher=$2 folder=$3 status=$4 expected=$5 dropped=${6:-} got=0 args=() before=$failures
  mkdir -p "$folder"
  cp "$work/dumps"/* "$folder/"
  [ -z "$dropped" ] || args=("$(windows "$dropped")")
  "$loader" "$(windows "$launcher")" "${args[@]}" < "$work/key" > "$work/out" 2> "$work/err" || got=$?
  [ "$got" = "$status" ] || fail "$name: status $got, expected $status"
  grep -q "Press any key to continue" "$work/out" || fail "$name: the window did not wait for a key"
  local want=${expected:-$work/dumps}
  for file in "$folder"/*; do
    case $(basename "$file") in *.bat | *.exe) continue ;; esac
    cmp -s "$file" "$want/$(basename "$file")" || fail "$name: $(basename "$file") differs"
  done
  for file in "$want"/*; do
    [ -e "$folder/$(basename "$file")" ] || fail "$name: no $(basename "$file")"
  done
  if [ "$failures" -gt "$before" ]; then cat "$work/out" "$work/err" >&2; else echo "$name: as expected"; fi
  rm -rf "$folder"
}

for mode in normal compatible; do
  launcher="$install/make-v2-images.bat"
  [ "$mode" = normal ] || launcher="$install/make-compatible-images.bat"
  want="$work/expected-$mode"
  launch "$mode: a folder dropped" "$launcher" "$work/my dumps" 0 "$want" "$work/my dumps"
  launch "$mode: a folder with Japanese characters dropped" "$launcher" "$work/ダンプ" 0 "$want" "$work/ダンプ"
  launch "$mode: one dump dropped" "$launcher" "$work/my dumps" 0 "$want" "$work/my dumps/BOOT_BAS.ROM"
  # Copied with the executable into the folder of the dumps, and double-clicked.
  mkdir "$work/my dumps"
  cp "$install"/* "$work/my dumps/"
  launch "$mode: double-clicked in the folder of the dumps" "$work/my dumps/$(basename "$launcher")" "$work/my dumps" 0 "$want"
  launch "$mode: something that does not exist dropped" "$launcher" "$work/my dumps" 1 "" "$work/no such folder"
  grep -q "neither a folder nor a file" "$work/out" || fail "$mode: no message for what does not exist"
done

# The tool's failure is the launcher's: a folder without INITIATE.BIN.
rm "$work/dumps/INITIATE.BIN"
expect "$work/expected-failure"
launch "the tool's status passed on" "$install/make-v2-images.bat" "$work/my dumps" 1 "$work/expected-failure" "$work/my dumps"
grep -q "^Error!" "$work/out" || fail "the tool's status passed on: no Error!"

if [ "$failures" -gt 0 ]; then
  echo "$failures launcher checks failed" >&2
  exit 1
fi
echo "every launcher check passed"
