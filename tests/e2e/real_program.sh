#!/usr/bin/env bash
# The real rotorduel on a virtual desktop: the game starts, its room is heard (the loops are in
# what the sound device played), and closing the window ends it as Esc does, with status 0 and
# the sound device closed properly (a complete WAV file).
source "$(dirname "$0")/desktop.bash"
desktop_start "$1"

game_start
GAME_WINDOW=$(window_id "Rotor Duel") || fail "the game's window never appeared"
game_focus
sleep 3  # the room plays

close_window "$GAME_WINDOW"
game_wait 15
[ "$GAME_STATUS" = 0 ] || fail "closing the window ended the game with status $GAME_STATUS, not 0"
[ ! -s "$WORK/stdout" ] || fail "the game wrote to stdout: $(head -c 200 "$WORK/stdout")"

[ -s "$WORK/out.wav" ] || fail "the sound device wrote nothing"
wav_complete "$WORK/out.wav" || fail "the WAV file is not complete: the device was not closed"
warnings=$(sox "$WORK/out.wav" -n 2>&1)
[ -z "$warnings" ] || fail "sox does not read the WAV cleanly: $warnings"
seconds=$(soxi -D "$WORK/out.wav")
awk -v s="$seconds" 'BEGIN { exit !(s >= 1.5) }' || fail "only $seconds s of sound"
rms=$(wav_rms "$WORK/out.wav")
awk -v r="$rms" 'BEGIN { exit !(r > 0.005) }' || fail "the room is silent (RMS $rms)"
echo "PASS: ${seconds} s of sound, RMS $rms, status 0"
