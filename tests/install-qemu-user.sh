#!/usr/bin/env bash
# Installs QEMU's user-mode emulators (qemu-i386, qemu-aarch64, qemu-arm: static
# 64-bit programs, which need no support for other architectures from the
# kernel) from Debian's bookworm-backports: QEMU 10. Bookworm's own QEMU 7.2
# runs the ARM executables well, but treats MAP_FIXED_NOREPLACE as a hint, and
# Wine 8, which reserves its address space with it, then spends about a minute
# in mmap calls for every process it starts.
#
# Writes outside the project: /etc/apt/sources.list.d/quorvel-bookworm-backports.sources,
# the backports suite on the URIs of the machine's own Debian source (no host
# name is written here), and the package itself, by apt. Backports stay at
# apt's lowest priority, so nothing else is taken from them.
set -euo pipefail
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

list=/etc/apt/sources.list.d/quorvel-bookworm-backports.sources
if [ ! -e "$list" ]; then
  # The URIs and keyring of the stanza (deb822) or line (one-line format) that serves bookworm.
  source=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '
    /^URIs:/ { uris = substr($0, 7) } /^Signed-By:/ { key = $2 }
    /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == "bookworm") found = 1 }
    /^$/ { if (found) exit; uris = ""; key = "" }
    END { if (found) print uris "|" key }')
  if [ -z "$source" ] && [ -e /etc/apt/sources.list ]; then
    source=$(awk '$1 == "deb" { sub(/\[[^]]*\] */, ""); if ($3 == "bookworm") { print $2 "|"; exit } }' /etc/apt/sources.list)
  fi
  [ -n "$source" ] || { echo "$0: no Debian bookworm source found in /etc/apt" >&2; exit 1; }
  uris=${source%%|*}
  key=${source#*|}
  {
    echo "Types: deb"
    echo "URIs:$([ "${uris:0:1}" = " " ] || echo " ")$uris"
    echo "Suites: bookworm-backports"
    echo "Components: main"
    [ -z "$key" ] || echo "Signed-By: $key"
  } | $sudo tee "$list" > /dev/null
  $sudo apt-get update
fi
$sudo apt-get install -y --no-install-recommends qemu-user/bookworm-backports
