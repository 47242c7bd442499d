#!/bin/bash
# Builds the benchmark, runs it under Wine against the sample service and a
# loopback HTTP server, and writes docs/benchmarks.md and its chart from
# that one run.
#   scripts/benchmark.sh           the full run (several minutes per build)
#   scripts/benchmark.sh --tiny    every row once with tiny counts; checks
#                                  that the benchmark works, writes no docs
# Other arguments go to the benchmark program (--rounds <n>, --requests <n>,
# --script-requests <n>).
# It measures the 32-bit build where this machine runs 32-bit programs, then
# the 64-bit one; elsewhere the 64-bit one alone. It says which it ran, and
# the docs show a column of each.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/wine-env.sh

scripts/setup.sh
# The report is written by a standard-library Python script.
if ! command -v python3 >/dev/null; then
  as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y --no-install-recommends python3
fi

presets=(win64)
if zx_runs_32bit; then presets=(win32 win64); fi

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
reports=()
for preset in "${presets[@]}"; do
  tree=build/$preset
  echo "benchmark: the ${preset#win}-bit build ($tree)"
  cmake --preset "$preset" >/dev/null
  cmake --build "$tree" --target benchmark zxmlhttp zxsample_service
  zx_wine_env "$tree"
  zx_wine_prefix_ready || { echo "benchmark: could not create $WINEPREFIX" >&2; exit 2; }
  results="$(cd "$tree" && pwd)/benchmark-results.tsv"
  rm -f "$results"
  scripts/wine-run "$tree/bin/benchmark.exe" --results "$(zx_wine winepath -w "$results")" "$@"
  reports+=("${preset#win}-bit=$results")
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

case " $* " in *" --tiny "*) exit 0 ;; esac
cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)
memory=$(awk '/MemTotal/ {printf "%.0f GB", $2 / 1048576}' /proc/meminfo)
machine="$cpu, $(nproc) logical processors, $memory, $(uname -sr)"
python3 tools/benchmark/write_report.py docs/benchmarks.md docs/images/benchmark_latency.png \
  "scripts/benchmark.sh${*:+ $*}" "$machine" "$(zx_wine --version), each build in a prefix of its own bitness" \
  "$(date -u +%Y-%m-%d)" "$load_before before the run, $load_after after it (1, 5, 15 minutes)" \
  "${reports[@]}"
echo "wrote docs/benchmarks.md and docs/images/benchmark_latency.png"
