#!/usr/bin/env bash
# The real rotorduel without one of its recordings: it says which file is missing, on stderr, in
# its voice and in a message box, and ends with status 1 once the box is answered (closed, Enter
# in the box, Escape in the game's window), or at once on SIGTERM, taking the box with it. Where
# no box can be shown it ends after reporting.
source "$(dirname "$0")/desktop.bash"
desktop_start "$1"
rm "$WORK/sounds/fan.wav"

# Whether a message box is still shown: the game's, or one left behind by it.
box_shown() { xwininfo -root -tree | grep -qF '"Rotor Duel error"'; }
box_answered() {
  game_start
  box=$(window_id "Rotor Duel error") || fail "no message box appeared ($1)"
  case $1 in
    close) close_window "$box" ;;
    enter) xdotool windowfocus --sync "$box" key Return ;;
    escape) game_focus && press_key Escape ;;
    term) kill -TERM "$GAME_PID" ;;
  esac
  game_ends 10 1 "the box answered by $1"
  # The box's process is gone by now; Xvfb itself now and then takes seconds to drop a dead
  # client's windows, so the wait for it is generous.
  ! poll 150 box_shown || fail "the box stayed after the program ended ($1)"
  GAME_WINDOW=
}
box_answered close
grep -q "fan.wav" "$WORK/stderr" || fail "stderr does not name the missing file"
expect_sound 0.005 "the failure spoken" "$WORK/out.wav"
for how in enter escape term; do box_answered $how; done
! grep -q "Sanitizer" "$WORK/stderr" || fail "the sanitizers found a fault"

# The dummy driver shows no box: the program does not wait for an answer nobody can give.
SDL_VIDEODRIVER=dummy DISPLAY= game_start
game_ends 20 1 "no box to show"
grep -q "fan.wav" "$WORK/stderr" || fail "without a box, stderr does not name the missing file"
