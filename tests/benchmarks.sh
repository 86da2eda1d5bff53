#!/bin/bash
# Every benchmark runs to its end without an error, in a short run: each paced one for a few
# ticks, the others for a moment. The figures are not looked at.
# usage: tests/benchmarks.sh BUILD_DIR
set -u
bench=${1:?usage: benchmarks.sh BUILD_DIR}/rotorduel_bench
if [[ ! -x $bench ]]; then
  echo "benchmarks: $bench is not built (cmake --build BUILD_DIR --target benchmarks)" >&2
  exit 77
fi
out=$(mktemp)
trap 'rm -f "$out"' EXIT
# Listed and run alike: mixed without a sound card, the paced ones a few ticks each.
export ALSOFT_DRIVERS=null ROTORDUEL_BENCH_TICKS=8
"$bench" --benchmark_min_time=0.01 --benchmark_out="$out" --benchmark_out_format=json >/dev/null || {
  echo "benchmarks: $bench exited with $?" >&2
  exit 1
}
mapfile -t listed < <("$bench" --benchmark_list_tests)
python3 - "$out" "${listed[@]}" <<'PY'
import json, sys
run = json.load(open(sys.argv[1]))["benchmarks"]
ran = {b["name"]: b for b in run}
bad = [n for n in sys.argv[2:] if n not in ran]
bad += [f'{b["name"]}: {b.get("error_message", "an error")}' for b in run if b.get("error_occurred")]
for line in bad:
    print("benchmarks: did not run:", line, file=sys.stderr)
sys.exit(1 if bad else 0)
PY
