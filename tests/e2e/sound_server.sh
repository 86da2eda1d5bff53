#!/usr/bin/env bash
# The real rotorduel on its own PulseAudio (null sink), the built-in voice through OpenAL Soft's
# pulse backend, while the sound server dies and comes back: the game notices the loss, pauses
# and says so in its trace; a key pressed meanwhile is never reported heard; once a new server
# runs the game opens the device again, says so, and after Pause its sound plays on the new
# server. Esc then ends it at once. The same in the menu, between rounds.
source "$(dirname "$0")/desktop.bash"
desktop_start "$1"
needs pulseaudio pactl parecord
PULSE_PID= RECORD_PID=
record_stop() {
  [ -n "$RECORD_PID" ] && kill -INT "$RECORD_PID" 2>/dev/null && wait "$RECORD_PID" 2>/dev/null
  RECORD_PID=
}
pulse_stop() {
  [ -n "$PULSE_PID" ] && kill "$PULSE_PID" 2>/dev/null && wait "$PULSE_PID" 2>/dev/null
  PULSE_PID=
}
services_stop() {
  record_stop
  pulse_stop
  desktop_stop
}
trap services_stop EXIT
export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/run ROTORDUEL_TRACE=1 ALSOFT_DRIVERS=pulse
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
pulse_start() {
  pulseaudio -n --load="module-null-sink sink_name=game" --load=module-native-protocol-unix \
    --exit-idle-time=-1 --daemonize=no --disallow-exit >>"$WORK/pulse.log" 2>&1 &
  PULSE_PID=$!
  poll 100 pactl info >/dev/null 2>&1 || fail "PulseAudio did not start: $(cat "$WORK/pulse.log")"
}
# Only this test starts a server: neither OpenAL Soft nor libpulse may spawn one of their own.
printf '[general]\ndrivers = pulse\n[pulse]\nspawn-server = false\n' >"$ALSOFT_CONF"
printf 'autospawn = no\n' >"$WORK/client.conf"
export PULSE_CLIENTCONFIG=$WORK/client.conf
pulse_start

playing() { [ "$(pactl list short sink-inputs 2>/dev/null | wc -l)" -gt 0 ]; }
heard_count() { grep -c '^heard:' "$WORK/stderr"; }
heard_more() { [ "$(heard_count)" -gt "$1" ]; }
game_start --speech builtin --welcome off
poll 300 grep -qs '^round 1 starts' "$WORK/stderr" || fail "the round never started"
poll 100 playing || fail "the game's sound never reached the server"
game_focus

killed=$(date +%s%N)
pulse_stop
poll 100 grep -qx 'sound: lost' "$WORK/stderr" || fail "the lost sound device was never noticed"
echo "sound: lost seen $((($(date +%s%N) - killed) / 1000000)) ms after the server was stopped"
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended when the sound server died"
grep -q '^paused' "$WORK/stderr" || fail "the round was not paused when the sound was lost"
heard=$(heard_count)
press_key s
sleep 1
heard_more "$heard" && fail "a sentence was heard without sound"

pulse_start
poll 100 grep -qx 'sound: back' "$WORK/stderr" || fail "the sound device never came back"
poll 100 playing || fail "the game's sound is not on the new server"
press_key Pause
poll 100 grep -q '^resumed' "$WORK/stderr" || fail "Pause did not resume the round"
heard=$(heard_count)
press_key s
poll 100 heard_more "$heard" || fail "the score was not heard once the sound was back"
# The room's voices were rebuilt playing: the new server's sink hears the game.
parecord -d game.monitor --file-format=wav "$WORK/back.wav" &
RECORD_PID=$!
sleep 1.5
record_stop
expect_sound 0.001 "the game on the new server" "$WORK/back.wav"
playing || fail "the game's sound left the new server"
press_key Escape
game_ends 5 0 Esc
grep -n '^sound:' "$WORK/stderr"

# In the menu too: the output lost there is opened again, and the menu is heard on the new server.
printf 'speech = builtin\nwelcome = off\n' >"$XDG_CONFIG_HOME/rotorduel/settings.ini"
game_start
GAME_WINDOW=
game_focus
poll 300 grep -q '^heard: Main menu' "$WORK/stderr" || fail "the menu was never heard"
pulse_stop
poll 100 grep -qx 'sound: lost' "$WORK/stderr" || fail "the menu never noticed the lost sound"
pulse_start
poll 100 grep -qx 'sound: back' "$WORK/stderr" || fail "the menu's sound never came back"
press_key Down
poll 100 grep -q '^heard: Tutorial, 2 of 7' "$WORK/stderr" ||
  fail "the menu was not heard once the sound was back"
press_key Escape
game_ends 5 0 "Esc from the menu"
