#!/usr/bin/env bash
# Runs the launchers of the Windows zip under Wine as a user does: started by
# Explorer for a folder or a file dropped on one, or for a double-click, and
# called from a script. Each run must leave exactly the images that the native
# tool makes for that folder and mode, end with the tool's status, wait for a
# key only when Explorer started it, and run no part of a folder's name as a
# command. Every case runs twice: under an English Wine, where the launchers'
# lines are English, and under a Japanese one (code page 932), where they are
# Japanese, compared byte for byte with their code page 932 text.
# usage: tests/launchers-under-wine.sh LOADER UNPACKED_ZIP_FOLDER NATIVE_TOOL STARTER
#   STARTER: start-command-line.exe of the Windows build, which starts a
#   command line exactly as Explorer does. Run by tests/run-under-wine.sh,
#   whose Wine prefix and server it uses.
set -euo pipefail
loader=$1
unpacked=$(realpath "$2")
native=$(realpath "$3")
starter=$(realpath "$4")
# The arguments read as UTF-8; the language is set for each round below.
export LC_ALL=C.UTF-8
work=$(mktemp -d)
trap 'exec 3>&-; rm -rf "$work"' EXIT
# Under QEMU a run takes seconds; a launcher that waits for a key that never
# comes is stopped here.
limit=300

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
# Standard input that stays open and says nothing, as a script's may: a
# launcher that waits for a key there waits for ever.
mkfifo "$work/silent"
exec 3<> "$work/silent"
# Any part of a name that cmd ran as a command would find this first: "R&D"
# split at the "&" runs "D".
printf '@echo off\r\necho ran > "%%~dp0ran-D"\r\n' > "$work/D.bat"
cd "$work"

windows() { printf 'Z:%s' "${1//\//\\}"; }
# The command line with which Explorer starts LAUNCHER for the paths dropped
# on it (none for a double-click): each path quoted only when it has a space.
explorer() {
  local line path separator=""
  line="C:\\windows\\system32\\cmd.exe /c \"\"$(windows "$1")\" "
  shift
  for path in "$@"; do
    path=$(windows "$path")
    [[ $path != *" "* ]] || path="\"$path\""
    line+="$separator$path"
    separator=" "
  done
  printf '%s"' "$line"
}

failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

# launch NAME LINE INPUT WAITS STATUS FOLDER EXPECTED: copies the dumps to
# FOLDER (unless it is ""), starts the command LINE with standard input from
# INPUT, and checks that it waited for a key or not (WAITS: yes or no), its
# status, and FOLDER against the folder EXPECTED ("" for the dumps untouched).
launch() {
  local name=$1 line=$2 input=$3 waits=$4 status=$5 folder=$6 expected=$7 got=0 before=$failures
  [ -z "$folder" ] || { mkdir -p "$folder" && cp "$work/dumps"/* "$folder/"; }
  timeout "$limit" "$loader" "$starter" "$line" < "$input" > "$work/out" 2> "$work/err" || got=$?
  if [ "$got" = 124 ]; then
    fail "$name: still running after $limit s"
  else
    [ "$got" = "$status" ] || fail "$name: status $got, expected $status"
  fi
  if grep -qF "$pause" "$work/out"; then
    [ "$waits" = yes ] || fail "$name: the window waited for a key"
  else
    [ "$waits" = no ] || fail "$name: the window did not wait for a key"
  fi
  if [ -e "$work/ran-D" ] || grep -q "Can't recognize" "$work/out" "$work/err"; then
    fail "$name: part of a name ran as a command"
    rm -f "$work/ran-D"
  fi
  if [ -n "$folder" ]; then
    local want=${expected:-$work/dumps}
    for file in "$folder"/*; do
      case $(basename "$file") in *.bat | *.exe) continue ;; esac
      cmp -s "$file" "$want/$(basename "$file")" || fail "$name: $(basename "$file") differs"
    done
    for file in "$want"/*; do
      [ -e "$folder/$(basename "$file")" ] || fail "$name: no $(basename "$file")"
    done
    rm -rf "$folder"
  fi
  if [ "$failures" -gt "$before" ]; then cat "$work/out" "$work/err" >&2; else echo "$name: as expected"; fi
}

# The folder's line shows the name as it is: as cmd's own echo shows it, in
# the console's code page (a Japanese name comes out as "???" under an
# English Wine, as on an English Windows console; in code page 932 under a
# Japanese one).
shows() {
  local line
  if [ "$language" = ja ]; then
    line=$(cp932 "フォルダー：$(windows "$1")")
    grep -qF -- "$line" "$work/out" || fail "$2: the folder's line does not show $(windows "$1")"
    return
  fi
  line="Folder: $(windows "$1")"
  # Only a name that cmd can echo as it stands: Wine's helpers hold a pipe
  # open, so the output goes to a file.
  if [ -n "$(printf %s "$line" | LC_ALL=C tr -d '\000-\177')" ] && [[ $line != *['&|<>^%!()']* ]]; then
    timeout "$limit" "$loader" "$starter" "C:\\windows\\system32\\cmd.exe /c echo $line" > "$work/echo"
    line=$(tr -d '\r' < "$work/echo")
  fi
  grep -qF -- "$line" "$work/out" || fail "$2: the Folder line does not show $line"
}

# Text as a Japanese console shows it, from this file's UTF-8.
cp932() { printf %s "$1" | iconv -f UTF-8 -t CP932; }
# said LINE...: the output holds these lines, whole, in the round's language.
said() {
  local expected text
  text=$(tr -d '\r' < "$work/out")
  for expected in "$@"; do
    [ "$language" = en ] || expected=$(cp932 "$expected")
    grep -qxF -- "$expected" <<< "$text" || return 1
  done
}

# Folder names that Explorer hands over quoted (a space) or bare, with every
# character that cmd treats specially.
names=("my dumps" "ダンプ" "R&D" "R&D (old) !x ^y" "a,b;c=d'e")
for language in en ja; do
if [ "$language" = en ]; then
  export LC_ALL=C.UTF-8
  pause="Press any key to continue"
else
  export LC_ALL=ja_JP.UTF-8
  pause=$(cp932 "続けるには何かキーを押して下さい")
fi
echo "The launchers under $([ "$language" = en ] && echo "an English" || echo "a Japanese (code page 932)") Wine"
for mode in normal compatible; do
  launcher="$install/make-v2-images.bat"
  [ "$mode" = normal ] || launcher="$install/make-compatible-images.bat"
  want="$work/expected-$mode"
  for name in "${names[@]}"; do
    launch "$mode: folder \"$name\" dropped" "$(explorer "$launcher" "$work/$name")" "$work/key" yes 0 \
      "$work/$name" "$want"
    shows "$work/$name" "$mode: folder \"$name\" dropped"
  done
  launch "$mode: one dump dropped" "$(explorer "$launcher" "$work/R&D/BOOT_BAS.ROM")" "$work/key" yes 0 \
    "$work/R&D" "$want"
  launch "$mode: all four dumps dropped" "$(explorer "$launcher" "$work/my dumps"/{SUBSYS_C.ROM,INITIATE.BIN,BOOT_BAS.ROM,BOOT_DOS.ROM})" \
    "$work/key" yes 0 "$work/my dumps" "$want"
  # Copied with the executable into the folder of the dumps, and double-clicked.
  mkdir "$work/R&D"
  cp "$install"/* "$work/R&D/"
  launch "$mode: double-clicked in the folder of the dumps" "$(explorer "$work/R&D/$(basename "$launcher")")" \
    "$work/key" yes 0 "$work/R&D" "$want"
  launch "$mode: something that does not exist dropped" "$(explorer "$launcher" "$work/no such folder")" \
    "$work/key" yes 1 "" ""
  missing=$(windows "$work/no such folder")
  if [ "$language" = en ]; then
    said "Cannot find \"$missing\": it is neither a folder nor a file." \
      "Drop the folder of your V1 dumps, or one of the dumps, on this file."
  else
    said "\"$missing\" が見つかりません。フォルダーでもファイルでもありません。" \
      "V1 のダンプがあるフォルダーか、ダンプの一つをこのファイルにドロップしてください。"
  fi || fail "$mode: no message for what does not exist"
  # Run from inside the unopened zip, Explorer gives it a folder of its own.
  mkdir "$work/alone"
  cp "$launcher" "$work/alone/"
  launch "$mode: alone, without the executable" "$(explorer "$work/alone/$(basename "$launcher")" "$work/R&D")" \
    "$work/key" yes 1 "$work/R&D" ""
  # Alone, the compatible launcher misses the other launcher first.
  needed=quorvel-v2gen.exe
  [ "$mode" = normal ] || needed=make-v2-images.bat
  if [ "$language" = en ]; then
    said "$needed is not beside this file. Unpack the whole zip into a" \
      "folder first, then run $(basename "$launcher") from that folder."
  else
    said "$needed がこのファイルと同じフォルダーにありません。zip 全体を" \
      "フォルダーに展開してから、そのフォルダーの $(basename "$launcher") を実行してください。"
  fi || fail "$mode: alone: no word to unpack the zip"
  rm -rf "$work/alone"
done

# Called from a script whose standard input stays open and silent: no wait,
# and the script gets the tool's status, here a failure (no INITIATE.BIN).
# Seconds are plenty where nothing waits, even under QEMU.
limit=60
mv "$work/dumps/INITIATE.BIN" "$work/INITIATE.BIN"
rm -rf "$work/expected-failure" "$work/expected-failure-compatible"
expect "$work/expected-failure"
expect "$work/expected-failure-compatible" -compatiblerom
for launcher in make-v2-images.bat make-compatible-images.bat; do
  want="$work/expected-failure"
  [ "$launcher" = make-v2-images.bat ] || want="$work/expected-failure-compatible"
  printf '@echo off\r\ncall "%s" "%s"\r\necho the script goes on\r\nexit /b %%errorlevel%%\r\n' \
    "$(windows "$install/$launcher")" "$(windows "$work/R&D (old)")" > "$work/caller.bat"
  launch "$launcher: called from a script" "C:\\windows\\system32\\cmd.exe /c $(windows "$work/caller.bat")" \
    "$work/silent" no 1 "$work/R&D (old)" "$want"
  grep -q "^Error!" "$work/out" || fail "$launcher: called from a script: no Error!"
  grep -q "the script goes on" "$work/out" || fail "$launcher: called from a script: the script did not go on"
done
mv "$work/INITIATE.BIN" "$work/dumps/INITIATE.BIN"
limit=300
done

# Not run here: a folder whose name holds "%" ("100% x"). Wine's cmd expands
# the text that it has put in for a variable once more, and so drops a lone
# "%" of a name; Windows' cmd expands each line once, and the launcher
# handles such a name only through variables.
echo "not run under Wine: a dropped folder named \"100% x\" (Wine's cmd drops a lone % from a variable's value)"

if [ "$failures" -gt 0 ]; then
  echo "$failures launcher checks failed" >&2
  exit 1
fi
echo "every launcher check passed"
