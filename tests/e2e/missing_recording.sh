#!/usr/bin/env bash
# The real rotorduel without one of its recordings: it says which file is missing, on stderr and
# in a message box, and ends with status 1 once the box is answered, or at once on SIGTERM.
source "$(dirname "$0")/desktop.bash"
desktop_start "$1"
rm "$WORK/sounds/fan.wav"

game_start
box=$(window_id "Rotor Duel error") || fail "no message box appeared"
grep -q "fan.wav" "$WORK/stderr" || fail "stderr does not name the missing file"
close_window "$box"
game_ends 10 1 "the box answered"
# SIGTERM while the box is shown ends the program too.
game_start
window_id "Rotor Duel error" >/dev/null || fail "no message box appeared the second time"
kill -TERM "$GAME_PID"
game_wait 10
[ "$GAME_STATUS" != 124 ] || fail "SIGTERM did not end the program behind its message box"
! grep -q "Sanitizer" "$WORK/stderr" || fail "the sanitizers found a fault"
