#!/usr/bin/env bash
# The listening scripts in tools/demos play to their end without a script error or a failing
# call, and one renders to a sound file of the length its ticks and sentences take.
source "$(dirname "$0")/desktop.bash"  # fail
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
for demo in "$HERE"/../../tools/demos/*.replay; do
  timeout 120 "$1/rotorduel-replay" --sounds "$1/sounds" "$demo" >"$WORK/out" 2>&1 || fail "$demo: status $?: $(tail -n 20 "$WORK/out")"
  ! grep '^error:' "$WORK/out" || fail "$demo"
done
timeout 120 "$1/rotorduel-replay" --sounds "$1/sounds" --render "$WORK/flight.wav" "$HERE/../../tools/demos/demo_flight.replay" >/dev/null
# 44.1 kHz 16-bit stereo: well over ten seconds of sound.
(($(stat -c %s "$WORK/flight.wav") > 10 * 44100 * 4)) || fail "the rendered demo is too short"
