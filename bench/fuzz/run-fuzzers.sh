#!/usr/bin/env bash
# Runs every fuzz target (or those named) for SECONDS each, one after the
# other on one core, and prints per target: executions, executions per
# second, coverage (libFuzzer's cov and ft), the corpus, the peak memory and
# the findings (crash, leak, timeout and out-of-memory files).
#
#   bench/fuzz/run-fuzzers.sh SECONDS [TARGET...]
#
# Needs the fuzz build (cmake --preset fuzz && cmake --build --preset fuzz).
# New inputs go to the build folder's corpus (tests/fuzz/corpus/NAME there),
# so that runs build on each other; findings go to build/fuzz/fuzz-findings,
# logs to build/fuzz/fuzz-logs. FUZZ_ARGS adds libFuzzer options. A target
# stops at its first finding; the script goes on with the next. Prints
# figures only: its exit code says whether the runs could be made, not what
# they found.
set -euo pipefail
cd "$(dirname "$0")/../.."

if [ $# -lt 1 ] || ! [[ "$1" =~ ^[0-9]+$ ]]; then
  echo "usage: $0 SECONDS [TARGET...]" >&2
  exit 2
fi
seconds=$1
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(restore_fuzz survey_fuzz setup_ins_fuzz icon_fuzz)

build=build/fuzz
bin=$build/tests/fuzz
seeds=tests/fuzz/corpus
findings=$build/fuzz-findings
logs=$build/fuzz-logs
mkdir -p "$findings" "$logs"

# Each target's seed folder and dictionary.
seeds_of() {
  case "$1" in
    restore_fuzz) echo restore ;;
    survey_fuzz) echo survey ;;
    setup_ins_fuzz) echo setup-ins ;;
    icon_fuzz) echo icon ;;
    *) echo "unknown target $1" >&2; exit 2 ;;
  esac
}
dictionary_of() {
  case "$1" in
    setup_ins_fuzz) echo tests/fuzz/setup-ins.dict ;;
    icon_fuzz) echo tests/fuzz/icon.dict ;;
    *) echo tests/fuzz/archive.dict ;;
  esac
}

# The value after "NAME:" in the last line of the log that has it; empty
# when there is none.
last_value() {
  { grep -a -o "$1: *[0-9.]*" "$2" || true; } | tail -n 1 | sed 's/.*: *//'
}

printf '%-15s %8s %12s %8s %6s %7s %7s %8s %8s\n' \
  target seconds executions exec/s cov ft corpus "rss MB" findings
for target in "${targets[@]}"; do
  [ -x "$bin/$target" ] || { echo "$bin/$target is not built" >&2; exit 1; }
  name=$(seeds_of "$target")
  corpus=$bin/corpus/$name
  found=$findings/$target
  log=$logs/$target.log
  mkdir -p "$corpus" "$found"
  touch "$found/.started"
  start=$(date +%s%N)
  # libFuzzer's exit code tells of a finding, which is counted below.
  "$bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=256 \
    -print_final_stats=1 -dict="$(dictionary_of "$target")" -artifact_prefix="$found/" \
    ${FUZZ_ARGS:-} "$corpus" "$seeds/$name" >"$log" 2>&1 || true
  wall=$((($(date +%s%N) - start) / 1000000000))
  executions=$(last_value "stat::number_of_executed_units" "$log")
  rate=$(last_value "stat::average_exec_per_sec" "$log")
  rss=$(last_value "stat::peak_rss_mb" "$log")
  cov=$(last_value "cov" "$log")
  ft=$(last_value "ft" "$log")
  files=$(find "$corpus" -type f | wc -l)
  crashes=$(find "$found" -type f -newer "$found/.started" \
    \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  printf '%-15s %8s %12s %8s %6s %7s %7s %8s %8s\n' \
    "$target" "$wall" "${executions:-?}" "${rate:-?}" "${cov:-?}" "${ft:-?}" "$files" "${rss:-?}" "$crashes"
  if grep -a -q "ERROR: libFuzzer\|ERROR: AddressSanitizer\|runtime error\|_fuzz: " "$log"; then
    grep -a -m 3 "ERROR: libFuzzer\|ERROR: AddressSanitizer\|runtime error\|_fuzz: " "$log" | sed 's/^/    /'
    echo "    see $log and $found"
  fi
done
