#!/usr/bin/env bash
# Sets up Debian's 32-bit (i386) Wine to run under QEMU user-mode emulation,
# for hosts whose kernel runs no 32-bit x86 programs, and prints the loader to
# give to tests/run-under-wine.sh.
# usage: tests/wine-in-qemu.sh FOLDER   (FOLDER: in the build tree, made afresh)
#
# What it installs, with apt, as root:
# - qemu-user from bookworm-backports (tests/install-qemu-user.sh says why);
# - wine32:i386 and libwine:i386, the 32-bit Wine (after dpkg's i386
#   architecture is added), without the recommended packages, which bring
#   more i386 programs that could not start here;
# - wine64, for its native 64-bit server, wineserver64, which serves the
#   32-bit clients: the i386 server would itself have to run under QEMU.
# Apart from what apt writes, everything is in FOLDER:
# - lib/wine/wine, a copy of the i386 loader. Wine 8 starts every new process
#   as "<the loader's folder>/wine-preloader <the loader's folder>/wine ARGS"
#   (and overwrites WINELOADER, so that cannot redirect it). Debian ships no
#   preloader, so here the slot holds a script that hands the process to
#   qemu-i386. The kernel runs #! scripts itself: no binfmt_misc is needed.
#   A copy, not a link, or Wine would look for the preloader beside the
#   original in /usr.
# - lib/i386-linux-gnu/wine and share/wine, links to Wine's libraries and
#   data, which the loader finds relative to its own folder.
# - wine, the loader for run-under-wine.sh: the copy, under qemu-i386.
# - wineserver, a link to wineserver64, which run-under-wine.sh takes for the
#   server because it stands beside the loader.
set -euo pipefail
folder=$(realpath -m "$1")
here=$(dirname "$0")
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

bash "$here/install-qemu-user.sh" >&2
$sudo dpkg --add-architecture i386
$sudo apt-get update >&2
$sudo apt-get install -y --no-install-recommends wine32:i386 libwine:i386 wine64 >&2

rm -rf "$folder"
mkdir -p "$folder/lib/wine" "$folder/lib/i386-linux-gnu" "$folder/share"
cp /usr/lib/wine/wine "$folder/lib/wine/wine"
ln -s /usr/lib/i386-linux-gnu/wine "$folder/lib/i386-linux-gnu/wine"
ln -s /usr/share/wine "$folder/share/wine"
ln -s /usr/lib/wine/wineserver64 "$folder/wineserver"
printf '#!/bin/sh\n# Every new Wine process, handed to QEMU.\nexec qemu-i386 "$@"\n' > "$folder/lib/wine/wine-preloader"
printf '#!/bin/sh\n# The 32-bit Wine loader, under QEMU.\nexec qemu-i386 "%s/lib/wine/wine" "$@"\n' "$folder" > "$folder/wine"
chmod +x "$folder/lib/wine/wine-preloader" "$folder/wine"
echo "$folder/wine"
