#!/usr/bin/env bash
# The Windows zip, unpacked into a new folder whose name has a space and a letter outside ASCII (as
# a player's own folders often do), and played under Wine on a virtual desktop, with OpenAL Soft
# writing what it plays to a file: the room is heard, S speaks the score with the built-in voice
# (found beside rotorduel.exe), and Esc ends the program with status 0.
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

# No welcome: S is then the only speech in the recording.
(cd / && exec wine "$game/rotorduel.exe" --welcome off --menu off >"$WORK/stdout" 2>"$WORK/stderr") &
GAME_PID=$!
# Wine on a busy machine may take a while to show the window.
poll 6 eval 'GAME_WINDOW=$(window_id "Rotor Duel")' || fail "the game's window never appeared"
game_focus
sleep 1
press_key t  # the target finder off, so that its tones do not colour what is measured
sleep 2.5
press_key s
sleep 3
press_key Escape
game_ends 30 0 Esc
wav_complete "$WORK/out.wav" || fail "the WAV file is not complete: the device was not closed"

# Under Wine the file's end is no sure mark of when Esc was pressed, so it does not place S in it.
# The room is its first two seconds (before T, with the target finder's tones: a stricter
# measure); S is the loudest stretch after them, nothing else speaking, at least twice as loud.
rms() { sox "$WORK/out.wav" -n trim "$1" "$2" stat 2>&1 | awk '/^RMS +amplitude/ { print $3 }'; }
room=$(rms 0 2)
expect_sound 0.005 "the room" "$WORK/out.wav" 0 2
loudest=$(for start in $(awk -v len="$(soxi -D "$WORK/out.wav")" 'BEGIN { for (t = 2; t + 1 <= len; t += 0.25) print t }'); do
  rms "$start" 1
done | sort -g | tail -n1)
echo "the loudest second after the room: RMS $loudest"
awk -v q="$room" -v s="${loudest:-0}" 'BEGIN { exit !(s >= 2 * q) }' || fail "S spoke nothing that was heard"
