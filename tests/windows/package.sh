#!/usr/bin/env bash
# The Windows zip, unpacked into a new folder whose name has a space and a letter outside ASCII (as
# a player's own folders often do), and played under Wine on a virtual desktop, with OpenAL Soft
# writing what it plays to a file: the room is heard, S speaks the score with the built-in voice
# (found beside rotorduel.exe), and Esc ends the program with status 0.
#   tests/windows/package.sh rotorduel-VERSION-win64.zip
source "$(dirname "$0")/../e2e/desktop.bash"
zip=$(realpath "$1") || fail "no zip '$1'"
for tool in Xvfb xdotool xwininfo sox unzip wine wineserver; do
  command -v "$tool" >/dev/null || fail "the test needs $tool"
done
WORK=$(mktemp -d "${TMPDIR:-/tmp}/rotorduel-win.XXXXXX")
OWN_WINESERVER=
package_stop() {
  # Wine's server first: it ends the processes of its prefix, which lies in $WORK.
  if [ -n "$OWN_WINESERVER" ]; then
    wineserver -k 2>/dev/null || kill "$OWN_WINESERVER" 2>/dev/null
    wait "$OWN_WINESERVER" 2>/dev/null
  fi
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
export WINEPREFIX="$WORK/wine"
mkdir -p "$WINEPREFIX"
wineserver -p -f &
OWN_WINESERVER=$!
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset ESPEAK_DATA_PATH ALSOFT_CONF ALSOFT_DRIVERS

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
XVFB_PID=$!
for i in $(seq 50); do
  [ -s "$WORK/display" ] && break
  sleep 0.1
done
[ -s "$WORK/display" ] || fail "Xvfb cannot start: $(cat "$WORK/xvfb.log")"
export DISPLAY=":$(head -n1 "$WORK/display")"

# OpenAL Soft's alsoft.ini beside the game (the game's own, if it has one), with the wave writer
# added: this also shows that OpenAL Soft reads that file on Windows.
cat >>"$game/alsoft.ini" <<INI
[general]
drivers = wave
sample-type = int16
channels = stereo
[wave]
file = Z:$WORK/out.wav
INI

# No welcome: S is then the only speech in the recording.
(cd / && exec wine "$game/rotorduel.exe" --welcome off >"$WORK/stdout" 2>"$WORK/stderr") &
GAME_PID=$!
# Wine on a busy machine may take a while to show the window.
for i in $(seq 6); do
  GAME_WINDOW=$(window_id "Rotor Duel") && break
  kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its window appeared"
done
[ -n "$GAME_WINDOW" ] || fail "the game's window never appeared"
game_focus
sleep 1
press_key t  # the target finder off, so that its tones do not colour what is measured
sleep 2.5
press_key s
sleep 3
press_key Escape
game_wait 30
[ "$GAME_STATUS" = 0 ] || fail "Esc ended the game with status $GAME_STATUS, not 0"
wav_complete "$WORK/out.wav" || fail "the WAV file is not complete: the device was not closed"

# Under Wine the file's end is no sure mark of when Esc was pressed, so it does not place S in it.
# The room is its first two seconds (before T, with the target finder's tones: a stricter
# measure); S is the loudest stretch after them, nothing else speaking.
length=$(soxi -D "$WORK/out.wav")
rms() { sox "$WORK/out.wav" -n trim "$1" "$2" stat 2>&1 | awk '/^RMS +amplitude/ { print $3 }'; }
room=$(rms 0 2)
speech=0
for start in $(awk -v len="$length" 'BEGIN { for (t = 2; t + 1 <= len; t += 0.25) print t }'); do
  speech=$(awk -v a="$speech" -v b="$(rms "$start" 1)" 'BEGIN { print (b > a ? b : a) }')
done
echo "RMS of the room $room, the loudest second after it $speech"
awk -v r="$room" 'BEGIN { exit !(r > 0.005) }' || fail "the room is silent (RMS $room)"
awk -v q="$room" -v s="$speech" 'BEGIN { exit !(s >= 2 * q) }' ||
  fail "S spoke nothing that was heard (RMS $room, then $speech)"
echo "PASS"
