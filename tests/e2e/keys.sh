#!/usr/bin/env bash
# The real rotorduel played with real key presses on a virtual desktop: 60 presses of Page Down
# raise the rotor's pitch (the room's sound moves up the spectrum), S speaks the score (the sound
# gets much louder while the voice speaks), and Esc ends the program with status 0 and a complete
# recording of what was played.
source "$(dirname "$0")/desktop.bash"
desktop_start "$1"

now() { date +%s.%N; }
t0=$(now)
game_start
GAME_WINDOW=$(window_id "Rotor Duel") || fail "the game's window never appeared"
game_focus
sleep 1
press_key t  # the target finder off, so that its tones do not colour what is measured
t_idle=$(now)
sleep 2.5
t_climb=$(now)
press_key Next 60
t_high=$(now)
sleep 2.5
t_score=$(now)
press_key s
sleep 3
t_esc=$(now)
press_key Escape
game_wait 20
[ "$GAME_STATUS" = 0 ] || fail "Esc ended the game with status $GAME_STATUS, not 0"
[ ! -s "$WORK/stdout" ] || fail "the game wrote to stdout"
wav_complete "$WORK/out.wav" || fail "the WAV file is not complete: the device was not closed"

# The recording ends when Esc closes the device: that fixes where each moment lies in it.
length=$(soxi -D "$WORK/out.wav")
at() { awk -v t="$1" -v t0="$t0" -v esc="$t_esc" -v len="$length" 'BEGIN { printf "%.2f", t - t0 - (esc - t0 - len) }'; }
idle=$(at "$t_idle")
high=$(at "$t_high")
score=$(at "$t_score")

# The centre of the spectrum's power between 20 and 3000 Hz over 1.5 s from a moment.
centroid() {
  sox "$WORK/out.wav" -n trim "$1" 1.5 remix 1,2 stat -freq 2>&1 |
    awk '$1 + 0 > 20 && $1 + 0 < 3000 && NF == 2 { p += $2; fp += $1 * $2 } END { printf "%.0f", fp / p }'
}
rms() { sox "$WORK/out.wav" -n trim "$1" 1.5 stat 2>&1 | awk '/^RMS +amplitude/ { print $3 }'; }

before=$(centroid "$(awk -v t="$idle" 'BEGIN { print t + 0.5 }')")
after=$(centroid "$(awk -v t="$high" 'BEGIN { print t + 0.5 }')")
echo "spectral centre before the climbs ${before} Hz, after ${after} Hz"
awk -v a="$before" -v b="$after" 'BEGIN { exit !(b >= a * 1.07) }' ||
  fail "60 presses of Page Down did not raise the rotor's pitch ($before Hz, then $after Hz)"

quiet=$(rms "$(awk -v t="$high" 'BEGIN { print t + 0.5 }')")
speech=$(rms "$(awk -v t="$score" 'BEGIN { print t + 0.5 }')")
echo "RMS before S $quiet, while the score is spoken $speech"
awk -v q="$quiet" -v s="$speech" 'BEGIN { exit !(s >= 2 * q) }' ||
  fail "S spoke nothing that was heard (RMS $quiet, then $speech)"
echo "PASS"
