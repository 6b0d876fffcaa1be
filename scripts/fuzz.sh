#!/usr/bin/env bash
# Builds the fuzz preset and runs every fuzz target for SECONDS (default 20)
# over a scratch copy of its seed corpus, so that nothing new lands in the
# tree. Fails on any crash, sanitizer report, leak or timeout, naming the
# target and the saved input. For long runs by hand see the end of README.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
case "$seconds" in '' | *[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;; esac

targets=(fuzz_settings fuzz_help fuzz_help_file fuzz_sim_args fuzz_sim_events fuzz_reference_csv fuzz_experiment)

echo "== fuzz build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

bin=build/fuzz/fuzz
out=build/fuzz/runs
rm -rf "$out"
mkdir -p "$out"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/kavlon-fuzz-corpus.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

export QT_QPA_PLATFORM=offscreen
failed=()
for t in "${targets[@]}"; do
  cp -r "fuzz/corpus/$t" "$scratch/$t"
  mkdir -p "$out/$t"
  args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$out/$t/")
  [ -f "fuzz/$t.dict" ] && args+=(-dict="fuzz/$t.dict")
  log="$out/$t.log"
  status=0
  "$bin/$t" "${args[@]}" "$scratch/$t" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  saved=$(find "$out/$t" -type f | sort)
  if [ "$status" -ne 0 ] || [ -n "$saved" ]; then
    failed+=("$t")
    echo "FAILED: $t (exit $status); log: $log"
    grep -E 'ERROR: |runtime error|broken promise|SUMMARY' "$log" | head -n 5 || true
    for f in $saved; do echo "  input saved at $f"; done
  else
    echo "$t: ${runs:-?} runs, ${speed:-?} exec/s, no findings"
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}" >&2
  exit 1
fi
