# shellcheck shell=bash
# Sourced by the scripts that run programs under Wine: starts one Wine
# session that all their runs share.
# wine_session LOADER PREFIX ARCH LOG: exports Wine's settings for a prefix of
# kind ARCH (win32, win64) at PREFIX, made if missing, with no Mono or Gecko
# prompts, starts its server and keeps it running, and returns once wineboot
# has set the prefix up (its output in LOG); where that fails, it ends the
# server again. Once it has returned, the caller's EXIT trap ends the server
# with "$WINESERVER" -k.
#
# The loader starts the server named here: a wineserver beside the loader
# (under QEMU, the native 64-bit one), else the one on the PATH. The first
# start of a prefix takes 10 to 20 seconds. One persistent wineserver then
# serves every run, or each would pay seconds to start its own; waiting with
# "wineserver -w" would never return against it.
wine_session() {
  local loader=$1 server
  server="$(dirname "$(command -v "$loader")")/wineserver"
  [ -x "$server" ] || server=wineserver
  export WINESERVER=$server WINEPREFIX=$2 WINEARCH=$3 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  "$WINESERVER" -p
  "$loader" wineboot -i > "$4" 2>&1 || { "$WINESERVER" -k || true; return 1; }
}
