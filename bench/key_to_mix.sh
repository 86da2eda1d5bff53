#!/usr/bin/env bash
# Key press to period mixed, in the real program: rotorduel on a virtual desktop, OpenAL Soft's wave
# writer as its sound card, End and Home pressed through XTest (each press clicks the knob).
# For each press it reports the time from the press to the moment the writer has the period that
# holds the click's first sample; docs/performance.md describes the method and its error bars.
#
#   bench/key_to_mix.sh BUILD [PRESSES] [-- GAME OPTIONS]
#
# Every recording but the knob's is replaced by silence, so the click is the first sound after a
# press. The writer takes 7.1 float output: one 256-frame period is then 8 KiB, which the C
# library writes at once (a stereo period would wait in its buffer for the next one).
set -u
BENCH=$(cd "$(dirname "$0")" && pwd)
source "$BENCH/../tests/e2e/desktop.bash"
build=$1
presses=${2:-60}
shift $(( $# >= 2 ? 2 : $# ))
[ "${1:-}" = "--" ] && shift
desktop_start "$build"

python3 - "$WORK/sounds" <<'PY' || fail "cannot silence the recordings"
import sys, wave, pathlib
for path in pathlib.Path(sys.argv[1]).glob("*.wav"):
    if path.name == "KNOB.wav":
        continue
    with wave.open(str(path)) as w:
        params, frames = w.getparams(), w.getnframes()
    with wave.open(str(path), "wb") as w:
        w.setparams(params)
        w.writeframes(bytes(frames * params.nchannels * params.sampwidth))
PY

cat >"$WORK/alsoft.conf" <<CONF
[general]
drivers = wave
sample-type = float32
channels = surround71
[wave]
file = $WORK/out.wav
CONF

# A start menu, where the game has one, is passed over: the round starts at once.
menu=()
"$WORK/rotorduel" --help 2>&1 | grep -q -- --menu && menu=(--menu off)
game_start "${menu[@]}" "$@"
game_focus
sleep 2
python3 "$BENCH/key_to_mix.py" "$WORK/out.wav" "$presses" || fail "the measurement failed"
press_key Escape
game_wait 20
[ "$GAME_STATUS" = 0 ] || fail "the game ended with status $GAME_STATUS"
