#!/usr/bin/env bash
# Ending the program is at once, whatever the game is doing: twenty readouts asked for and then
# Esc, closing the window or SIGTERM each end it with status 0 and a finished recording, long
# before the readouts could have been spoken (the watchdog only turns a hang into a failure). A
# signal ends it under an explicitly named video driver too, and without a desktop the game says
# so and ends with status 1.
source "$(dirname "$0")/desktop.bash"
desktop_start "$1"

behind_readouts() {
  game_start
  GAME_WINDOW=$(window_id "Rotor Duel") || fail "the game's window never appeared"
  game_focus
  sleep 1
  press_key v 20
  sleep 0.3  # a readout is being spoken
  case $1 in
    esc) press_key Escape ;;
    close) close_window "$GAME_WINDOW" ;;
    term) kill -TERM "$GAME_PID" ;;
  esac
  game_wait 15
  [ "$GAME_STATUS" = 0 ] || fail "$1 behind twenty readouts: status $GAME_STATUS, not 0"
  wav_complete "$WORK/out.wav" || fail "$1: the sound device was not closed"
  [ ! -s "$WORK/stdout" ] || fail "$1: the game wrote to stdout: $(head -c 200 "$WORK/stdout")"
  ! grep -q Sanitizer "$WORK/stderr" || fail "$1: the sanitizers found a fault"
  GAME_WINDOW=
}
behind_readouts esc
behind_readouts close
behind_readouts term

# The tests' own driver, named explicitly, is honoured; SIGINT ends the game there too.
(cd / && SDL_VIDEODRIVER=dummy exec "$WORK/rotorduel" >"$WORK/stdout" 2>"$WORK/stderr") &
GAME_PID=$!
sleep 3
kill -0 "$GAME_PID" 2>/dev/null || fail "the game did not run on the dummy driver"
kill -INT "$GAME_PID"
game_wait 15
[ "$GAME_STATUS" = 0 ] || fail "SIGINT on the dummy driver: status $GAME_STATUS, not 0"

# No desktop: no display named, or one that is not there.
for display in "" ":$((RANDOM % 1000 + 4000))"; do
  rm -f "$WORK/out.wav"
  (cd / && DISPLAY=$display WAYLAND_DISPLAY= exec env -u SDL_VIDEODRIVER "$WORK/rotorduel" \
    >"$WORK/stdout" 2>"$WORK/stderr") &
  GAME_PID=$!
  game_wait 20
  [ "$GAME_STATUS" = 1 ] || fail "without a desktop ('$display') the game ended with $GAME_STATUS, not 1"
  grep -q "display" "$WORK/stderr" || fail "stderr does not say the display is missing"
  [ -z "$display" ] || grep -qF "'$display'" "$WORK/stderr" || fail "stderr does not name $display"
  rms=$(wav_rms "$WORK/out.wav")
  awk -v r="$rms" 'BEGIN { exit !(r > 0.005) }' || fail "nothing was spoken (RMS $rms)"
done
echo "PASS: $(grep -m1 display "$WORK/stderr")"
