#!/bin/bash
# Installs what is missing, builds, and runs every test: the portable tests
# natively (plain and under ASan/UBSan), the Windows tests and the page
# scripts under Wine, and a short fuzzing pass. Ends with one line
# "N passed, N failed" over all runners; exits non-zero on any failure.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/wine-env.sh

scripts/setup.sh || { echo "0 passed, 1 failed"; exit 1; }

passed=0 failed=0
runner_failed() { echo "test.sh: $1" >&2; failed=$((failed + 1)); }

# run_ctest <label> <ctest args...>: adds ctest's counts to the totals.
run_ctest() {
  local label=$1; shift
  local log; log=$(mktemp)
  ctest "$@" 2>&1 | tee "$log"
  local line; line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  rm -f "$log"
  if [ -z "$line" ]; then runner_failed "$label: ctest ran no tests or did not finish"; return; fi
  local bad total
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - bad)); failed=$((failed + bad))
}

build() {
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1" || { runner_failed "$1 build failed"; return 1; }
}

if build host; then run_ctest host --preset host -j2; fi
if build host-asan; then run_ctest host-asan --preset host-asan -j2; fi

if build win32; then
  zx_wine_env build/win32
  # One X server and one wineserver for the whole run: a wineserver that
  # started without a display cannot show windows later.
  display=
  for n in $(seq 90 120); do
    [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] || { display=$n; break; }
  done
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  export DISPLAY=":$display"
  stop_servers() {
    wineserver -k 2>/dev/null
    kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null
  }
  trap stop_servers EXIT
  # A server left over from a build-time run of this tree's own prefix
  # would not be persistent; replace it with one that is.
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
  if zx_wine_prefix_ready && wineserver -p; then
    run_ctest win32 --preset win32 -j2
    # The benchmark once with tiny counts, so that it cannot rot.
    if scripts/wine-run build/win32/bin/benchmark.exe --tiny >/dev/null; then passed=$((passed + 1)); else runner_failed "benchmark smoke run failed"; fi
  else
    runner_failed "could not start Wine in $WINEPREFIX"
  fi
  stop_servers; trap - EXIT
fi

if [ -x scripts/fuzz.sh ]; then
  if scripts/fuzz.sh --brief; then passed=$((passed + 1)); else runner_failed "fuzzing found a fault"; fi
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
