#!/usr/bin/env bash
# One short fuzzing run: run_fuzzer.sh FUZZER SEEDS WORKDIR SECONDS [DICT]
# New inputs go to WORKDIR/corpus (emptied first, so every run starts from
# the seeds alone), anything that fails to WORKDIR/crash-* (or leak-*,
# timeout-*, oom-*); running FUZZER on that file alone repeats the failure.
# The seed is fixed; a run is still not exactly repeatable, since it stops
# on time.
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3 seconds=$4 dict=${5:-}

rm -rf "$work"
mkdir -p "$work/corpus" "$work/files"
options=(
  -seed=1
  -max_total_time="$seconds"
  -timeout=20
  -rss_limit_mb=2048
  # No input of at most 4 KiB needs a single allocation of 64 MiB.
  -malloc_limit_mb=64
  -max_len=4096
  -close_fd_mask=3
  -print_final_stats=1
  -artifact_prefix="$work/"
)
[ -n "$dict" ] && options+=(-dict="$dict")

# Programs that work with files do so in a folder of their own.
export ZOFRIN_FUZZ_WORKDIR="$work/files"
status=0
"$fuzzer" "${options[@]}" "$work/corpus" "$seeds" >"$work/log" 2>&1 || status=$?
grep -E '^(#[0-9]+ +DONE|Done [0-9]+ runs|stat::number_of_executed_units|stat::peak_rss_mb)' \
  "$work/log" || true
if [ "$status" -ne 0 ]; then
  tail -n 60 "$work/log"
  for artifact in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*; do
    [ -e "$artifact" ] && echo "failing input: $artifact" && od -A d -t x1z "$artifact" | head -40
  done
  exit "$status"
fi
echo "$(basename "$fuzzer"): $(ls "$work/corpus" | wc -l) inputs in the corpus after the run"
