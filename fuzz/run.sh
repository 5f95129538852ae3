#!/usr/bin/env bash
# Runs every fuzz target (or those named) for SECONDS each, two at a time, from the committed
# seeds and past findings, keeping what it learns in BUILD/fuzz-corpus/NAME. Prints each
# target's executions; exits 1 when any target found a crash, a leak, a time-out or a broken
# promise, and names the input it saved (in BUILD/fuzz-findings/NAME).
#   fuzz/run.sh SECONDS BUILD [NAME...]
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=$1
build=$2
shift 2
names=("$@")
if [ ${#names[@]} = 0 ]; then
  for program in "$build"/fuzz_*; do
    [ -x "$program" ] && names+=("${program##*/fuzz_}")
  done
fi
jobs=${FUZZ_JOBS:-2}

run_one() {
  local name=$1 seconds=$2 build=$3
  local corpus=$build/fuzz-corpus/$name findings=$build/fuzz-findings/$name
  local log=$build/fuzz-$name.log dict=()
  mkdir -p "$corpus" "$findings" fuzz/regressions/"$name"
  [ -f fuzz/"$name".dict ] && dict=(-dict=fuzz/"$name".dict)
  # Inputs up to 64 KiB, and past the settings file's size limit of 64 KiB for its reader, so
  # that the refusal of a larger file is reached too.
  local max_len=65536
  [ "$name" = settings ] && max_len=$((65536 + 4096))
  "$build/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len="$max_len" -print_final_stats=1 -artifact_prefix="$findings/" "${dict[@]}" \
    "$corpus" fuzz/corpus/"$name" fuzz/regressions/"$name" >"$log" 2>&1
  local status=$?
  local runs speed
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  if [ "$status" = 0 ]; then
    echo "fuzz $name: ${runs:-?} inputs in $seconds s (${speed:-?} a second), $(ls "$corpus" | wc -l) kept, no finding"
  else
    echo "fuzz $name: FINDING after ${runs:-?} inputs (status $status); the log, then the input:"
    grep -v '^INFO\|^#' "$log" | head -60
    ls "$findings"/* 2>/dev/null
  fi
  return "$status"
}
export -f run_one

if ! printf '%s\n' "${names[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {} "$seconds" "$build"; then
  echo "fuzz: a target found something; keep the input as fuzz/regressions/NAME/WHAT-IT-BROKE once mended"
  exit 1
fi
