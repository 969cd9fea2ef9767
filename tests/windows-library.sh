#!/usr/bin/env bash
# Checks a Windows -dev zip as an emulator's author would use it, under Wine:
# what it holds; that the DLL exports the qv2gen_ functions alone and needs
# only DLLs that Windows has; the documented example linked through the MinGW
# import library and statically; the example that loads the DLL with
# LoadLibrary; and a program built as Visual C++ builds one (clang for the
# *-pc-windows-msvc target, lld-link, quorvel-v2gen.lib). The example says
# what it documents; the other two make, in a folder of dumps, the very
# images that the native command makes of the same dumps.
# usage: tests/windows-library.sh ZIP LOADER PREFIX NATIVE_TOOL
#   ZIP: quorvel-v2gen-VERSION-win32-dev.zip or -win64-dev.zip
#   LOADER: Wine's loader for the zip's kind of program (for win32, "wine"
#   or what tests/wine-in-qemu.sh prints; for win64, Wine's 64-bit one)
#   PREFIX: the Wine prefix to use, made if missing
set -euo pipefail
zip=$(realpath "$1")
loader=$2
case "$loader" in */*) loader=$(realpath "$loader") ;; esac
prefix=$(realpath -m "$3")
native=$(realpath "$4")
source=$(cd "$(dirname "$0")/.." && pwd)
case "$zip" in
  *-win32-dev.zip) triplet=i686-w64-mingw32 format=pei-i386 msvc=i686-pc-windows-msvc dlltool=i386 winearch=win32 ;;
  *-win64-dev.zip) triplet=x86_64-w64-mingw32 format=pei-x86-64 msvc=x86_64-pc-windows-msvc dlltool=i386:x86-64 winearch=win64 ;;
  *) echo "$zip: neither a win32 nor a win64 -dev zip" >&2; exit 1 ;;
esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$zip: $*" >&2; exit 1; }

# What the zip holds, in one folder named as the zip.
(cd "$work" && cmake -E tar xf "$zip")
top="$work/$(basename "$zip" .zip)"
for file in bin/quorvel-v2gen.dll lib/libquorvel-v2gen.dll.a lib/quorvel-v2gen.lib lib/libquorvel-v2gen.a \
  lib/quorvel-v2gen.def include/quorvel/v2gen.h example/library-example.c example/library-load-dll.c \
  README.txt README.ja.txt LICENSE.txt; do
  [ -f "$top/$file" ] || fail "no $file"
done
dll="$top/bin/quorvel-v2gen.dll"

# The DLL: its kind, its exports (the interface's names, less the POSIX-only
# qv2gen_generate_at), its needs, and its version resource.
header=$("$triplet-objdump" -f "$dll")
private=$("$triplet-objdump" -p "$dll")
grep -q "file format $format" <<< "$header" || fail "the DLL is not $format"
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' <<< "$private" | sort)
expected=$(grep -vx qv2gen_generate_at "$source/romimage/api-symbols.txt" | sort)
[ "$exports" = "$expected" ] || fail "the DLL exports $(tr "\n" " " <<< "$exports")rather than $(tr "\n" " " <<< "$expected")"
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<< "$private" | sort -u | tr '\n' ' ')
[ "$imports" = "KERNEL32.dll msvcrt.dll " ] || fail "the DLL imports DLLs that Windows lacks: $imports"
version=$(sed -n 's/^project(quorvel-v2gen VERSION \([0-9]*\.[0-9]*\).*/\1/p' "$source/CMakeLists.txt")
[ "$(strings -el -n 3 "$dll" | grep -x -A1 ProductVersion | tail -n 1)" = "$version" ] \
  || fail "the DLL has no version $version resource"
echo "$dll: $format, exports the qv2gen_ functions alone, imports $imports, version $version"

# The programs, each beside a copy of the DLL, as the READMEs say.
bin="$work/programs"
mkdir "$bin"
cp "$dll" "$bin/"
cflags=(-std=c99 -Wall -Wextra -Werror -I "$top/include")
"$triplet-gcc" "${cflags[@]}" -o "$bin/example-dll.exe" "$top/example/library-example.c" -L "$top/lib" -lquorvel-v2gen
# As the READMEs show it, with the C++ runtime that the static library needs.
"$triplet-gcc" "${cflags[@]}" -static -o "$bin/example-static.exe" "$top/example/library-example.c" \
  "$top/lib/libquorvel-v2gen.a" -lstdc++
"$triplet-gcc" "${cflags[@]}" -o "$bin/load-dll.exe" "$top/example/library-load-dll.c"
# Whole outputs in variables: grep -q closing a pipe early would fail the pipeline.
linked=$("$triplet-objdump" -p "$bin/example-dll.exe")
grep -q 'DLL Name: quorvel-v2gen.dll' <<< "$linked" || fail "example-dll.exe does not load the DLL"
linked=$("$triplet-objdump" -p "$bin/example-static.exe")
! grep -q 'DLL Name: quorvel-v2gen.dll' <<< "$linked" || fail "example-static.exe loads the DLL"
# Visual C++'s way, without its libraries: a freestanding object and an
# import library of the three KERNEL32 functions that it calls (decorated
# with their argument bytes on x86, as Windows' own headers declare them).
if [ "$winearch" = win32 ]; then
  kernel32=$'LIBRARY KERNEL32.dll\nEXPORTS\n  GetStdHandle@4\n  WriteFile@20\n  ExitProcess@4'
else
  kernel32=$'LIBRARY KERNEL32.dll\nEXPORTS\n  GetStdHandle\n  WriteFile\n  ExitProcess'
fi
echo "$kernel32" > "$work/kernel32.def"
llvm-dlltool -m "$dlltool" -k -d "$work/kernel32.def" -l "$work/kernel32.lib"
clang --target="$msvc" -ffreestanding -fno-stack-protector -fno-builtin -Wall -Wextra -Werror -I "$top/include" \
  -c -o "$work/msvc-client.obj" "$source/tests/windows/msvc-client.c"
lld-link /nologo /nodefaultlib /entry:start /subsystem:console /out:"$bin/msvc-client.exe" \
  "$work/msvc-client.obj" "$top/lib/quorvel-v2gen.lib" "$work/kernel32.lib"
echo "$zip: the examples built with $triplet-gcc, and a Visual C++ program with lld-link"

# Wine: the prefix, and one server for all the runs.
# shellcheck source=tests/wine-session.sh
source "$source/tests/wine-session.sh"
wine_session "$loader" "$prefix" "$winearch" "$work/wineboot.log"
trap '"$WINESERVER" -k || true; rm -rf "$work"' EXIT

# The example, both ways: what it documents, with the CR LF line ends that
# the C runtime writes to a file on Windows. Output goes to files, never pipes.
sed 's/$/\r/' "$source/tests/library-consumer/expected-out" > "$work/expected-out"
sed 's/$/\r/' "$source/tests/library-consumer/expected-err" > "$work/expected-err"
for example in example-dll example-static; do
  (cd "$work" && "$loader" "$bin/$example.exe" > out 2> err) || fail "$example.exe failed: $(cat "$work/err")"
  diff "$work/expected-out" "$work/out"
  diff "$work/expected-err" "$work/err"
  echo "$example.exe under $loader: the images and the warnings, as documented"
done

# The other two in a folder of dumps each, against the native command's images.
mkdir "$work/native"
head -c 10240 /dev/urandom > "$work/native/SUBSYS_C.ROM"
head -c 4000 /dev/urandom > "$work/native/INITIATE.BIN"
head -c 512 /dev/urandom > "$work/native/BOOT_BAS.ROM"
head -c 512 /dev/urandom > "$work/native/BOOT_DOS.ROM"
for program in load-dll msvc-client; do
  cp -r "$work/native" "$work/$program"
  (cd "$work/$program" && "$loader" "$bin/$program.exe" > ../out 2> ../err) || fail "$program.exe failed: $(cat "$work/err")"
  [ ! -s "$work/err" ] || fail "$program.exe said: $(cat "$work/err")"
done
(cd "$work/native" && "$native" > /dev/null)
for program in load-dll msvc-client; do
  diff -r "$work/native" "$work/$program"
  echo "$program.exe under $loader: the native command's four images, byte for byte"
done
