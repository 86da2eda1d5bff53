#!/usr/bin/env bash
# The listening scripts in tools/demos play to their end without a script error or a failing
# call, and one renders to a sound file of the length its ticks and sentences take.
set -euo pipefail
build=$1
demos=$(dirname "$0")/../../tools/demos
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for demo in "$demos"/*.replay; do
  out=$(timeout 120 "$build/rotorduel-replay" --sounds "$build/sounds" "$demo" 2>&1) ||
    { echo "$out" | tail -n 20; echo "$demo: status $?"; exit 1; }
  ! grep -q '^error:' <<<"$out" || { echo "$demo: $(grep '^error:' <<<"$out")"; exit 1; }
done
timeout 120 "$build/rotorduel-replay" --sounds "$build/sounds" --render "$tmp/flight.wav" \
  "$demos/demo_flight.replay" >/dev/null
# 44.1 kHz 16-bit stereo: well over ten seconds of sound.
size=$(stat -c %s "$tmp/flight.wav")
((size > 10 * 44100 * 4)) || { echo "the rendered demo is only $size bytes"; exit 1; }
echo PASSED
