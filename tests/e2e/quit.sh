#!/usr/bin/env bash
# Ending the program is at once, whatever the game is doing: twenty readouts asked for and then
# Esc, closing the window or SIGTERM each end it with status 0 and a finished recording, long
# before the readouts could have been spoken (the watchdog only turns a hang into a failure). A
# signal ends it under an explicitly named video driver too, and without a desktop the game says
# so and ends with status 1. A bad setting is said too, and ends it with status 2; a settings
# folder on a read-only disk is no reason not to play.
source "$(dirname "$0")/desktop.bash"
desktop_start "$1"

for how in esc close term; do
  game_start
  game_focus
  sleep 1
  press_key v 20
  sleep 0.3  # a readout is being spoken
  case $how in
    esc) press_key Escape ;;
    close) close_window "$GAME_WINDOW" ;;
    term) kill -TERM "$GAME_PID" ;;
  esac
  game_ends 15 0 "$how behind twenty readouts"
  wav_complete "$WORK/out.wav" || fail "$how: the sound device was not closed"
  [ ! -s "$WORK/stdout" ] || fail "$how: the game wrote to stdout: $(head -c 200 "$WORK/stdout")"
  ! grep -q Sanitizer "$WORK/stderr" || fail "$how: the sanitizers found a fault"
  GAME_WINDOW=
done

# The tests' own driver, named explicitly, is honoured; SIGINT ends the game there too.
SDL_VIDEODRIVER=dummy game_start
sleep 3
kill -INT "$GAME_PID" || fail "the game did not run on the dummy driver"
game_ends 15 0 "SIGINT on the dummy driver"

# No desktop: no display named, or one that is not there.
unset SDL_VIDEODRIVER WAYLAND_DISPLAY
for display in "" ":$((RANDOM % 1000 + 4000))"; do
  rm -f "$WORK/out.wav"
  DISPLAY=$display game_start
  game_ends 20 1 "without a desktop ('$display')"
  grep -q "display${display:+ '$display'}" "$WORK/stderr" || fail "stderr does not name the display '$display'"
  expect_sound 0.005 "the error spoken" "$WORK/out.wav"
done

# A bad setting: said as well as printed, for a player who started the game from a menu.
rm -f "$WORK/out.wav"
printf 'speech-rate = 1000\n' >"$XDG_CONFIG_HOME/rotorduel/settings.ini"
game_start
game_ends 20 2 "a bad setting"
grep -q "line 1: speech-rate: '1000'" "$WORK/stderr" || fail "stderr does not name the bad setting"
expect_sound 0.005 "the bad setting spoken" "$WORK/out.wav"

# The settings' folder on a read-only disk (as root, where one can be mounted): the game plays.
if mount -t tmpfs -o ro,size=16k tmpfs "$XDG_CONFIG_HOME" 2>/dev/null; then
  trap 'umount "$XDG_CONFIG_HOME"; desktop_stop' EXIT
  ROTORDUEL_TRACE=1 game_start --speech builtin --menu off
  poll 300 grep -qx 'heard: Rotor Duel. F1 for help.' "$WORK/stderr" ||
    fail "on a read-only settings folder the welcome was never heard"
  game_focus
  press_key Escape
  game_ends 15 0 "Esc on a read-only settings folder"
  umount "$XDG_CONFIG_HOME" && trap desktop_stop EXIT
else
  echo "not root: no read-only settings folder tried"
fi
