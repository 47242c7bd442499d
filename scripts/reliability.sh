#!/bin/bash
# Runs the reliability tests under Wine at length: fault injection, hostile
# script input, stress and registry integrity, with every count multiplied
# by the scale (ZX_RELIABILITY_SCALE; CI runs them at scale 1 in
# scripts/test.sh). Prints each program's verdict and the figures the
# tests report ("[ figures  ]" lines, as docs/reliability.md quotes them);
# exits non-zero if any test failed.
#
#   scripts/reliability.sh [scale]     default scale 20, about six minutes
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/wine-env.sh

scale=${1:-20}
case "$scale" in
  ''|*[!0-9]*|0) echo "usage: $0 [scale]" >&2; exit 2 ;;
esac

programs=(zx_fault_injection_tests zx_hostile_input_tests zx_stress_tests zx_registry_integrity_tests)
# The 32-bit build where this machine runs it, else the 64-bit one.
preset=$(zx_runnable_preset)
build_dir=build/$preset
echo "reliability.sh: the ${preset#win}-bit build ($build_dir)"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { cmake --preset "$preset" && cmake --build --preset "$preset" --target "${programs[@]}"; } >"$log" 2>&1; then
  cat "$log"
  echo "reliability.sh: building the reliability tests failed" >&2
  exit 1
fi

zx_wine_env "$build_dir"
zx_wine_prefix_ready || { echo "reliability.sh: no Wine prefix" >&2; exit 1; }
# One server for all the programs, gone a few seconds after the last.
wineserver -p5 2>/dev/null

failed=0
for program in "${programs[@]}"; do
  start=$SECONDS
  ZX_RELIABILITY_SCALE=$scale scripts/wine-run "$build_dir/bin/$program.exe" >"$log" 2>&1
  status=$?
  grep -F '[ figures  ]' "$log"
  if [ $status -eq 0 ]; then
    echo "$program: passed at scale $scale in $((SECONDS - start)) s"
  else
    grep -E '^\[  FAILED  \]|Failure|watchdog' "$log"
    echo "$program: FAILED at scale $scale (exit $status); full output:"
    cat "$log"
    failed=$((failed + 1))
  fi
done
[ "$failed" -eq 0 ]
