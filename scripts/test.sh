#!/bin/bash
# Installs what is missing, builds, and runs every test: the portable tests
# natively (plain and under ASan/UBSan), the Windows tests and the page
# scripts under Wine, and a short fuzzing pass. The 64-bit Windows suite
# always runs; the 32-bit one, the WOW64 tests and the side-by-side
# registration test only where this machine runs 32-bit programs. Ends with
# one line "N passed, N failed, N skipped" over all runners; exits non-zero
# on any failure.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/wine-env.sh

scripts/setup.sh || { echo "0 passed, 1 failed, 0 skipped"; exit 1; }

passed=0 failed=0 skipped=0
runner_failed() { echo "test.sh: $1" >&2; failed=$((failed + 1)); }
# check <what> <command...>: one test that passes when the command succeeds.
check() {
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); else runner_failed "$what failed"; fi
}

# run_ctest <label> <ctest args...>: adds ctest's counts to the totals and
# leaves the number of tests it ran in ctest_total.
ctest_total=0
run_ctest() {
  local label=$1; shift
  local log; log=$(mktemp)
  ctest "$@" 2>&1 | tee "$log"
  local line; line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  rm -f "$log"
  if [ -z "$line" ]; then runner_failed "$label: ctest ran no tests or did not finish"; return; fi
  local bad
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  ctest_total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + ctest_total - bad)); failed=$((failed + bad))
}

build() {
  local preset=$1; shift
  cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" "$@" \
    || { runner_failed "$preset build failed"; return 1; }
}

# One X server and one wineserver per Windows suite: a wineserver that
# started without a display cannot show windows later. Both are stopped by
# what they are: our Xvfb by its PID, our prefix's server by its prefix.
xvfb_pid=
start_display() {
  local n
  for n in $(seq 90 120); do
    [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  export DISPLAY=":$n"
}
stop_servers() {
  wineserver -k 2>/dev/null
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
  xvfb_pid=
}

# windows_suite <preset>: the preset's ctest suite and a tiny benchmark run
# (so that the benchmark cannot rot), in the tree's own prefix.
windows_suite() {
  local preset=$1 tree=build/$1
  build "$preset" || return
  zx_wine_env "$tree"
  start_display
  trap stop_servers EXIT
  # A server left over from a build-time run of this tree's own prefix
  # would not be persistent; replace it with one that is.
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
  if zx_wine_prefix_ready && wineserver -p; then
    run_ctest "$preset" --preset "$preset" -j2
    check "$preset benchmark smoke run" scripts/wine-run "$tree/bin/benchmark.exe" --tiny >/dev/null
  else
    runner_failed "could not start Wine in $WINEPREFIX"
  fi
  stop_servers; trap - EXIT
}

if build host; then run_ctest host --preset host -j2; fi
if build host-asan; then run_ctest host-asan --preset host-asan -j2; fi

windows_suite win64
win64_total=$ctest_total
if zx_runs_32bit; then
  windows_suite win32
  check "side-by-side registration" tests/scripts/side_by_side.sh build/win32 build/win64
else
  # The 32-bit DLL is still built: it is the main artifact.
  build win32 --target zxmlhttp zxsample_service zxclient
  # The 32-bit suite has the 64-bit one's tests plus the WOW64 prefix test;
  # then its benchmark run and the side-by-side test.
  skipped=$((win64_total + 3))
  echo "test.sh: skipped $skipped tests: the 32-bit Windows suite, its WOW64 and benchmark runs, and the side-by-side registration test; this machine does not run 32-bit programs ($zx_wine_loader_32 cannot start)"
fi

if [ -x scripts/fuzz.sh ]; then
  check "the fuzzing pass" scripts/fuzz.sh --brief
fi

scripts/test-ratio
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
