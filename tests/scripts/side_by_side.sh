#!/bin/bash
# The 32-bit and the 64-bit DLL registered side by side in one 64-bit
# prefix: each script host finds the DLL of its own bitness, and
# unregistering one leaves the other working. Needs a machine that runs
# 32-bit programs.
#   side_by_side.sh <32-bit build tree> <64-bit build tree>
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-env.sh"
tree32=$(cd "$1" && pwd) tree64=$(cd "$2" && pwd)

zx_wine_env "$tree64"
export WINEPREFIX="$tree64/wineprefix-side-by-side"
zx_wine_prefix_ready || { echo "side_by_side: no Wine prefix" >&2; exit 2; }
work=$(mktemp -d "$tree64/side-by-side.XXXXXX")
service_pid=
cleanup() {
  [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null && wait "$service_pid" 2>/dev/null
  wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cat "$here/harness.js" "$here/side_by_side.js" >"$work/page.js"

wow64='C:\windows\syswow64'
dll32=$(zx_wine winepath -w "$tree32/bin/zxmlhttp.dll")
dll64=$(zx_wine winepath -w "$tree64/bin/zxmlhttp.dll")
quiet() { "$@" >>"$work/log" 2>&1 </dev/null; }
register32() { quiet zx_wine "$wow64\\regsvr32.exe" /s "$@" "$dll32"; }
register64() { quiet zx_wine regsvr32 /s "$@" "$dll64"; }

# Each build reads pipe names in its own registry view; the service's
# name goes into both, as an installer serving both hosts writes it.
"$WINELOADER" "$tree64/bin/zxsample_service.exe" --segment sxs --pipe zx-sxs --reply echo \
  >"$work/service.log" 2>&1 </dev/null &
service_pid=$!
for _ in $(seq 200); do grep -q ready "$work/service.log" && break; sleep 0.1; done
quiet zx_wine "$wow64\\reg.exe" add 'HKLM\SOFTWARE\Velmora\ZevCommon\SP_ROOT\sxs' /v Name /d zx-sxs /f

failures=0
# expect <host: 32|64> <present|absent>
expect() {
  local cscript=cscript
  [ "$1" = 32 ] && cscript="$wow64\\cscript.exe"
  local out
  out=$(cd "$work" && zx_wine "$cscript" //nologo page.js "$2" 2>&1 </dev/null | tr -d '\r')
  if grep -qE '^[0-9]+ passed, 0 failed$' <<<"$out"; then
    echo "side_by_side: $1-bit host, DLL $2: ok"
  else
    echo "side_by_side: $1-bit host, DLL $2: FAILED"; echo "$out"
    failures=$((failures + 1))
  fi
}

register32 && register64 || { cat "$work/log"; echo "side_by_side: registering failed" >&2; exit 1; }
expect 32 present; expect 64 present
register32 /u
expect 32 absent; expect 64 present
register32 && register64 /u
expect 32 present; expect 64 absent
register32 /u
[ "$failures" -eq 0 ]
