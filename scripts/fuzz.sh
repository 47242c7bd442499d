#!/bin/bash
# Builds the libFuzzer programs (preset "fuzz") and runs each in turn, one
# process at a time, from its seeds in tests/fuzz/corpus/<program>/.
#
#   scripts/fuzz.sh --brief     every program briefly, about 36 s in all
#   scripts/fuzz.sh [seconds]   every program for that long (default 300)
#
# Programs work on a copy of their seeds under build/fuzz: the brief run
# starts from the seeds each time, a long run keeps and grows its corpus in
# build/fuzz/corpus/<program>/ from one run to the next. Prints per program
# the executions and whether it crashed; a crash leaves its input in
# build/fuzz/artifacts/<program>/ and makes the script exit non-zero.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

brief_total_seconds=36
seconds=300
brief=false
case "${1:-}" in
  --brief) brief=true ;;
  '') ;;
  *[!0-9]*) echo "usage: $0 [--brief | seconds]" >&2; exit 2 ;;
  *) seconds=$1 ;;
esac

build_dir=build/fuzz
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { cmake --preset fuzz && cmake --build --preset fuzz; } >"$log" 2>&1; then
  cat "$log"
  echo "fuzz.sh: building the fuzz programs failed" >&2
  exit 1
fi

programs=()
for exe in "$build_dir"/fuzzers/*; do
  [ -x "$exe" ] && programs+=("$(basename "$exe")")
done
if [ ${#programs[@]} -eq 0 ]; then
  echo "fuzz.sh: no fuzz programs in $build_dir/fuzzers" >&2
  exit 1
fi
if $brief; then
  seconds=$((brief_total_seconds / ${#programs[@]}))
  [ "$seconds" -ge 3 ] || seconds=3
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

# run_program <name>: fuzzes for $seconds; prints its line, returns 1 on a crash.
run_program() {
  local name=$1 corpus artifacts
  if $brief; then
    corpus=$build_dir/run/$name
    rm -rf "$corpus"
  else
    corpus=$build_dir/corpus/$name
  fi
  artifacts=$build_dir/artifacts/$name
  mkdir -p "$corpus" "$artifacts"
  cp -n tests/fuzz/corpus/"$name"/* "$corpus"/ 2>/dev/null
  local dict=() output=$build_dir/$name.log
  [ -f tests/fuzz/"$name".dict ] && dict=(-dict=tests/fuzz/"$name".dict)
  "$build_dir/fuzzers/$name" "${dict[@]}" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" \
    >"$output" 2>&1
  local status=$?
  local runs crash
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$output" | tail -1)
  crash=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$output" | tail -1)
  if [ "$status" -eq 0 ]; then
    printf '%-28s %12s executions in %ss, no crash\n' "$name" "${runs:-?}" "$seconds"
    return 0
  fi
  printf '%-28s %12s executions, CRASHED (exit %s)\n' "$name" "${runs:-?}" "$status"
  grep -E 'invariant broken|ERROR: |runtime error|SUMMARY' "$output" | head -5 | sed 's/^/    /'
  echo "    crash input: ${crash:-none written}; full log: $output"
  return 1
}

crashed=0
for name in "${programs[@]}"; do
  run_program "$name" || crashed=$((crashed + 1))
done
if [ "$crashed" -ne 0 ]; then
  echo "fuzz.sh: $crashed of ${#programs[@]} fuzz programs crashed"
  exit 1
fi
echo "fuzz.sh: ${#programs[@]} fuzz programs ran without a crash"
