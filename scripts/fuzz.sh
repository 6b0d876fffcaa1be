#!/usr/bin/env bash
# Builds the fuzz preset and runs the fuzz targets.
#
#   scripts/fuzz.sh [SECONDS]             every target for SECONDS (default 20)
#                                         over a scratch copy of its seed
#                                         corpus, so that nothing new lands in
#                                         the tree (what test.sh runs)
#   scripts/fuzz.sh --long TARGET [RUNS]  one target for RUNS executions
#                                         (default 10^7), by hand, over
#                                         $KAVLON_FUZZ_HOME/TARGET (default
#                                         /tmp/kavlon-fuzz), which keeps what
#                                         it learns so that runs add up
#
# Fails on any crash, sanitizer report, leak or timeout, naming the target and
# the saved input.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(fuzz_settings fuzz_help fuzz_help_file fuzz_sim_args fuzz_sim_events fuzz_reference_csv fuzz_experiment)
bin=build/fuzz/fuzz

usage() {
  echo "usage: $0 [SECONDS] | $0 --long TARGET [RUNS]" >&2
  exit 2
}

# The options every run of target $1 gets, saving what it finds under $2.
target_args() {
  local t=$1 findings=$2 dict=fuzz/$1.dict
  # The help file's text alone reads the same words as the viewer does.
  [ "$t" = fuzz_help_file ] && dict=fuzz/fuzz_help.dict
  args=(-timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/")
  [ -f "$dict" ] && args+=(-dict="$dict")
  return 0
}

build() {
  echo "== fuzz build"
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz
}

export QT_QPA_PLATFORM=offscreen

if [ "${1:-}" = --long ]; then
  t=${2:-}
  runs=${3:-10000000}
  case " ${targets[*]} " in *" $t "*) ;; *) usage ;; esac
  case "$runs" in '' | *[!0-9]*) usage ;; esac
  build
  home=${KAVLON_FUZZ_HOME:-/tmp/kavlon-fuzz}
  corpus=$home/$t
  findings=$home/$t-findings
  mkdir -p "$corpus" "$findings"
  for f in "fuzz/corpus/$t/"*; do
    [ -e "$corpus/${f##*/}" ] || cp "$f" "$corpus/"
  done
  target_args "$t" "$findings"
  args+=(-runs="$runs")
  # The Qt targets spend most of their time recording each allocation's
  # stack: without them they run 1.4 to 1.7 times as fast. Replay a finding with
  # the default to see where its memory came from.
  export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0}
  # Qt's caches grow with every new glyph and page, so after almost every
  # input of the viewer there are more allocations than frees, and libFuzzer
  # then scans the whole heap for leaks: five times the cost of the input.
  # Leaks are still looked for once, when the run ends.
  [ "$t" = fuzz_help ] && args+=(-detect_leaks=0)
  echo "== $t: $runs runs over $corpus (findings in $findings)"
  exec nice -n 19 "$bin/$t" "${args[@]}" "$corpus"
fi

seconds=${1:-20}
case "$seconds" in '' | *[!0-9]*) usage ;; esac
build

out=build/fuzz/runs
rm -rf "$out"
mkdir -p "$out"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/kavlon-fuzz-corpus.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

failed=()
for t in "${targets[@]}"; do
  cp -r "fuzz/corpus/$t" "$scratch/$t"
  mkdir -p "$out/$t"
  target_args "$t" "$out/$t"
  args+=(-max_total_time="$seconds")
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
