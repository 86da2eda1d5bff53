#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time from its seed corpus.
#   tests/fuzz/run.sh BUILD_DIR [SECONDS]
# A crash, leak or hang fails the run and leaves its input in BUILD_DIR/fuzz/artifacts; copy it
# into tests/fuzz/corpus/NAME/ so that every later run replays it. Scripts start from the scenarios,
# the whole game of the failure test and the demos.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$1/fuzz
command -v clang++ >/dev/null || { echo "SKIPPED: clang++ is not installed"; exit 0; }
mkdir -p "$build"
# The build's own output only when it fails.
{ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
  cmake --build "$build"; } >"$build/build.log" 2>&1 || { tail -n 40 "$build/build.log"; exit 1; }
mkdir -p "$build/artifacts"
export ROTORDUEL_SOUNDS_DIR=$1/sounds  # the game target reads the recordings of the build
for target in wav script game; do
  work=$(mktemp -d)
  seeds=("$here/corpus/$target")
  [[ $target == wav ]] || seeds=("$here/corpus/script" "$here/../scenarios" "$here/../failure" "$here/../../tools/demos")
  echo "== ${target}_fuzz for ${2:-60}s"
  status=0
  "$build/${target}_fuzz" -max_total_time="${2:-60}" -timeout=5 -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/${target}-" -print_final_stats=1 "$work" "${seeds[@]}" \
    >"$work.log" 2>&1 || status=$?
  grep -E '^(#[0-9]+.*DONE|stat::new_units_added|==[0-9]+==ERROR|SUMMARY|INFO: seed corpus)' "$work.log" || true
  rm -rf "$work" "$work.log"
  ((status == 0)) || { echo "${target}_fuzz failed (status $status); the input is in $build/artifacts"; exit 1; }
done
echo "fuzzing passed"
