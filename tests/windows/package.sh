#!/usr/bin/env bash
# The Windows zip, unpacked into a new folder whose name has a space and a letter outside ASCII (as
# a player's own folders often do), and played under Wine on a virtual desktop, with OpenAL Soft
# writing what it plays to a file: the room is heard, S speaks the score with the built-in voice
# (found beside rotorduel.exe), and Esc ends the program with status 0. Then speech through NVDA,
# with a stand-in of its controller client: S, Esc's cut, NVDA not running, and NVDA quitting.
#   tests/windows/package.sh rotorduel-VERSION-win64.zip
source "$(dirname "$0")/../e2e/desktop.bash"
zip=$(realpath "$1") || fail "no zip '$1'"
needs Xvfb xdotool xwininfo sox unzip wine wineserver
WORK=$(mktemp -d "${TMPDIR:-/tmp}/rotorduel-win.XXXXXX")
OWN_WINESERVER=
package_stop() {
  # Wine's server first: it ends the processes of its prefix, which lies in $WORK.
  [ -z "$OWN_WINESERVER" ] || { wineserver -k || kill "$OWN_WINESERVER"; wait "$OWN_WINESERVER"; } 2>/dev/null
  desktop_stop
}
trap package_stop EXIT

unzip -q "$zip" -d "$WORK/Jeux vidéo" || fail "cannot unpack $zip"
game=$(echo "$WORK/Jeux vidéo"/rotorduel-*-win64)
for f in rotorduel.exe rotorduel-replay.exe README.txt sounds/fan.wav espeak-ng-data/en_dict; do
  [ -e "$game/$f" ] || fail "the zip has no $f"
done
# A Wine prefix of its own: Wine's desktop process of a prefix keeps the display it was started
# on, so one shared with other tests may hold a display that is gone.
export WINEPREFIX="$WORK/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineserver -p -f &
OWN_WINESERVER=$!
unset ESPEAK_DATA_PATH ALSOFT_CONF ALSOFT_DRIVERS
xvfb_start || fail "Xvfb cannot start: $(cat "$WORK/xvfb.log")"

# OpenAL Soft's alsoft.ini beside the game (the game's own, if it has one), with the wave writer
# added: this also shows that OpenAL Soft reads that file on Windows.
printf '[general]\ndrivers = wave\nsample-type = int16\nchannels = stereo\n[wave]\nfile = Z:%s\n' \
  "$WORK/out.wav" >>"$game/alsoft.ini"

# The game from its unzipped folder, with the trace on, ARGS after the usual ones (MENU=on: with
# the menu).
game_play() {
  : >"$WORK/stderr"
  (cd / && ROTORDUEL_TRACE=1 exec wine "$game/rotorduel.exe" --welcome off --menu "${MENU:-off}" "$@" \
    >"$WORK/stdout" 2>"$WORK/stderr") &
  GAME_PID=$!
  # Wine on a busy machine may take a while to show the window.
  poll 6 eval 'GAME_WINDOW=$(window_id "Rotor Duel")' || fail "the game's window never appeared"
  game_focus
}
said() { poll 200 grep -q "^heard: $1" "$WORK/stderr"; }

# No screen reader here, and Wine's SAPI voice is made but cannot speak (Wine 8 answers E_NOTIMPL):
# the first sentence falls to the built-in voice. The room plays softly under the speech, so that
# the speech stands out in the recording.
game_play --effects-volume 25
sleep 1
press_key t  # the target finder off, so that its tones do not colour what is measured
said "Target finder off" || fail "T's sentence was never heard"
press_key s
said "the score is" || fail "S's sentence was never heard"
press_key Escape
game_ends 30 0 Esc
wav_complete "$WORK/out.wav" || fail "the WAV file is not complete: the device was not closed"
grep -q '^speech: passed over: no screen reader: nvdaControllerClient64.dll is not beside' \
  "$WORK/stderr" || fail "auto did not say that no screen reader was found"
if grep -q '^speech: system' "$WORK/stderr"; then
  grep -q '^speech: builtin after system failed: .*(SAPI)' "$WORK/stderr" ||
    fail "the system voice's failure did not hand over to the built-in voice"
fi

# Under Wine the file's end is no sure mark of when Esc was pressed, so it does not place S in it.
# The room is its first second (with the target finder's tones: a stricter measure); the speech
# is the loudest stretch after it, at least twice as loud.
rms() { sox "$WORK/out.wav" -n trim "$1" "$2" stat 2>&1 | awk '/^RMS +amplitude/ { print $3 }'; }
room=$(rms 0 1)
expect_sound 0.005 "the room" "$WORK/out.wav" 0 1
loudest=$(for start in $(awk -v len="$(soxi -D "$WORK/out.wav")" 'BEGIN { for (t = 1; t + 1 <= len; t += 0.25) print t }'); do
  rms "$start" 1
done | sort -g | tail -n1)
echo "the loudest second after the room: RMS $loudest"
awk -v q="$room" -v s="${loudest:-0}" 'BEGIN { exit !(s >= 2 * q) }' || fail "the speech was not heard"

# NVDA, through a stand-in of its controller client beside rotorduel.exe that writes down every
# call. Each sentence goes to speech and braille, cutting the one before; Esc cuts the one being
# said.
x86_64-w64-mingw32-gcc -shared -o "$game/nvdaControllerClient64.dll" \
  "$(dirname "$0")/nvda_standin.c" || fail "cannot build the stand-in controller client"
export ROTORDUEL_STANDIN_LOG="Z:$WORK/nvda.log"
calls() { cat "$WORK/nvda.log" 2>/dev/null; }
game_play
poll 200 grep -q '^speech: screenreader' "$WORK/stderr" || fail "auto did not take the screen reader"
press_key s
poll 200 grep -q '^speak the score is' "$WORK/nvda.log" || fail "S was not said through NVDA"
grep -q '^braille the score is' "$WORK/nvda.log" || fail "S was not shown in braille"
press_key v 3
press_key Escape
game_ends 30 0 "Esc with NVDA"
[ "$(calls | tail -n1)" = cancel ] || fail "Esc did not cut NVDA's speech: $(calls | tail -n3)"
[ "$(calls | grep -c '^speak ')" -lt 12 ] || fail "Esc waited for every readout of V"

# NVDA not running: auto passes over it; asked for by name, it is refused with exit 2.
rm -f "$WORK/nvda.log"
export ROTORDUEL_STANDIN_RUNNING=0
game_play
poll 200 grep -q '^speech: ' "$WORK/stderr"
grep -q '^speech: passed over: no screen reader: NVDA is not running' "$WORK/stderr" ||
  fail "auto did not say NVDA is not running"
press_key Escape
game_ends 30 0 "Esc without NVDA"
[ "$(calls)" = test ] || fail "the game used a screen reader that is not running: $(calls)"
(cd / && wine "$game/rotorduel.exe" --speech screenreader >"$WORK/stdout" 2>"$WORK/stderr")
status=$?
[ "$status" = 2 ] || fail "--speech screenreader without NVDA ended with $status, not 2"
grep -q 'NVDA is not running' "$WORK/stderr" || fail "the refusal does not say NVDA is not running"
unset ROTORDUEL_STANDIN_RUNNING

# NVDA quits during the round: its client refuses the second sentence. The next voice takes it and
# the round goes on to Esc.
rm -f "$WORK/nvda.log"
export ROTORDUEL_STANDIN_SPEAK_FAILS=1
game_play
poll 200 grep -q '^speech: screenreader' "$WORK/stderr" || fail "auto did not take the screen reader"
press_key s
poll 200 grep -q '^speak ' "$WORK/nvda.log" || fail "the first sentence did not go to NVDA"
press_key s
poll 200 grep -q '^speech: .* after screenreader failed: ' "$WORK/stderr" ||
  fail "NVDA's failure did not hand over to the next voice"
said "the score is" || fail "the sentence NVDA refused was not said by the next voice"
press_key Escape
game_ends 30 0 "Esc after NVDA quit"

# In the settings menu, auto chosen over the built-in voice: the screen reader takes over at once
# and says the item. Last, as the choice is kept in the settings file.
unset ROTORDUEL_STANDIN_SPEAK_FAILS
rm -f "$WORK/nvda.log"
MENU=on game_play --speech builtin
said ".*Main menu. Play, 1 of 7" || fail "the main menu was never heard"
press_key s
said "Settings, 4 of 7" || fail "the settings item was never heard"
press_key Return
said "Settings. Speech, the built-in voice" || fail "the speech item was never heard"
press_key Right
poll 200 grep -q '^speak Speech, the screen reader, else the system voice' "$WORK/nvda.log" ||
  fail "the screen reader chosen in the menu did not speak: $(calls)"
grep -q '^speech: screenreader' "$WORK/stderr" || fail "the chain was not made again"
press_key Escape 2
game_ends 30 0 "Esc from the menus"
