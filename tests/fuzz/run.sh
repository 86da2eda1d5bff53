#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time from its seed corpus.
#   tests/fuzz/run.sh BUILD_DIR [SECONDS]
# A crash, leak or hang fails the run and leaves its input in BUILD_DIR/fuzz/artifacts; copy it
# into tests/fuzz/corpus/NAME/ so that every later run replays it. Scripts start from the scenarios.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$1/fuzz
seconds=${2:-60}
if ! command -v clang++ >/dev/null; then
  echo "SKIPPED: clang++ is not installed"
  exit 0
fi
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" >/dev/null
mkdir -p "$build/artifacts"
# The game target reads the recordings of the build.
export ROTORDUEL_SOUNDS_DIR=$1/sounds
for target in wav script game; do
  work=$(mktemp -d)
  seeds=()
  [[ -d $here/corpus/$target ]] && seeds+=("$here/corpus/$target")
  # Scripts are seeded with every scenario, the whole game of the failure test and the demos.
  [[ $target == wav ]] || seeds+=("$here/../scenarios" "$here/../failure" "$here/../../tools/demos")
  echo "== ${target}_fuzz for ${seconds}s"
  "$build/${target}_fuzz" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/${target}-" -print_final_stats=1 \
    "$work" "${seeds[@]}" 2>&1 | grep -E '^(#[0-9]+.*DONE|stat::new_units_added|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY|INFO: seed corpus)' || true
  status=${PIPESTATUS[0]}
  rm -rf "$work"
  if [[ $status != 0 ]]; then
    echo "${target}_fuzz failed (status $status); the input is in $build/artifacts"
    exit 1
  fi
done
echo "fuzzing passed"
