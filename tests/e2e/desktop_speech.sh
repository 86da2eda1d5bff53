#!/usr/bin/env bash
# The real rotorduel speaking through the desktop's speech service: its own PulseAudio with a null
# sink, speech-dispatcher started by the game as a desktop starts it, OpenAL Soft on PulseAudio. S
# reads the score through the service; the game goes on only when the sentence has been played, so
# the sink's recording, stopped as soon as the game reports the sentence heard, already holds it.
# Then the voice chosen in the settings menu speaks from its next sentence, without a new start.
source "$(dirname "$0")/desktop.bash"
desktop_start "$1"
needs pulseaudio pactl parecord speech-dispatcher
PULSE_PID= RECORD_PID=
services_stop() {
  kill "$(cat "$XDG_RUNTIME_DIR/speech-dispatcher/pid/speech-dispatcher.pid" 2>/dev/null)" 2>/dev/null
  [ -n "$RECORD_PID" ] && kill "$RECORD_PID" 2>/dev/null
  [ -n "$PULSE_PID" ] && kill "$PULSE_PID" 2>/dev/null && wait "$PULSE_PID" 2>/dev/null
  desktop_stop
}
trap services_stop EXIT
export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/run ROTORDUEL_TRACE=1 ALSOFT_DRIVERS=pulse
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
pulseaudio -n --load="module-null-sink sink_name=game" --load=module-native-protocol-unix \
  --exit-idle-time=-1 --daemonize=no --disallow-exit >"$WORK/pulse.log" 2>&1 &
PULSE_PID=$!
poll 100 pactl info >/dev/null 2>&1 || fail "PulseAudio did not start: $(cat "$WORK/pulse.log")"
sed -i 's/^drivers = wave/drivers = pulse/' "$ALSOFT_CONF"
parecord -d game.monitor --file-format=wav "$WORK/heard.wav" &
RECORD_PID=$!

# Only the speech is heard: the game's own sounds are silent.
game_start --speech desktop --welcome off --effects-volume 0
poll 300 grep -q '^speech:' "$WORK/stderr"
grep -qx 'speech: desktop' "$WORK/stderr" || fail "the game did not take the desktop's speech"
game_focus
press_key s
poll 300 grep -q '^heard:' "$WORK/stderr" || fail "the score was never reported heard"
kill -INT "$RECORD_PID"
wait "$RECORD_PID"
RECORD_PID=
# Esc behind five readouts of V (twenty sentences) ends the game at once: the sentence being said
# is cut and the ones behind it are never said.
press_key v 5
press_key Escape
game_ends 20 0 Esc
heard=$(grep -c '^heard:' "$WORK/stderr")
[ "$heard" -lt 10 ] || fail "Esc waited for $heard sentences to be heard"
expect_sound 0.005 "the sink until the score was heard" "$WORK/heard.wav"

# In the menu, the built-in voice at level 0 and the game's sounds silent: the sink hears only the
# desktop's voice, which the Speech item puts in use at once, and the built-in voice again after.
GAME_WINDOW=
printf 'welcome = off\n' >"$XDG_CONFIG_HOME/rotorduel/settings.ini"
game_start --speech builtin --effects-volume 0 --speech-volume 0
heard() { grep '^heard: ' "$WORK/stderr" | grep -qF "$1"; }
hear() { poll 300 heard "$1" || fail "never heard \"$1\""; }
game_focus
hear "Main menu. Play, 1 of 7"
press_key s
hear "Settings, 4 of 7"
press_key Return
hear "Settings. Speech, the built-in voice"
parecord -d game.monitor --file-format=wav "$WORK/switched.wav" &
RECORD_PID=$!
press_key Right
hear "Speech, the desktop's voice"
kill -INT "$RECORD_PID"
wait "$RECORD_PID"
RECORD_PID=
[ "$(grep -c '^speech: desktop$' "$WORK/stderr")" = 1 ] || fail "the desktop's voice was not put in use"
grep -qx 'speech = desktop' "$XDG_CONFIG_HOME/rotorduel/settings.ini" || fail "the choice was not kept"
expect_sound 0.005 "the desktop's voice chosen in the menu" "$WORK/switched.wav"
press_key Left
again() { [ "$(grep '^heard: ' "$WORK/stderr" | grep -cF "Speech, the built-in voice")" = 2 ]; }
poll 300 again || fail "the built-in voice was never heard again"
[ "$(grep -c '^speech: builtin$' "$WORK/stderr")" = 2 ] || fail "the built-in voice was not put back"
! grep -q ' failed: ' "$WORK/stderr" || fail "a voice failed: $(grep ' failed: ' "$WORK/stderr")"
press_key Escape 2
game_ends 20 0 "Esc from the menus"
