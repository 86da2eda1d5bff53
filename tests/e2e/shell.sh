#!/bin/bash
# The spoken menu around the game, in the real program on a virtual desktop: moves and places,
# the positional demo of "Learn the sounds" heard left then right, a setting changed in the game
# kept and heard, and three rounds in one process (the first left with Esc while paused, the
# others ended by the dog through a test hook), each starting from the same values and each
# finished one leaving its line in the best scores.
. "$(dirname "$0")/desktop.bash"
desktop_start "$1"
printf 'speech = builtin\nwelcome = off\n' >"$XDG_CONFIG_HOME/rotorduel/settings.ini"
export XDG_DATA_HOME=$WORK/data ROTORDUEL_TRACE=1
heard() { grep '^heard: ' "$WORK/stderr" | grep -qF "$1"; }
hear() { poll 300 heard "$1" || fail "never heard \"$1\""; }

# Learn the sounds: the demo's stops, and the sound louder on the left, later on the right.
game_start
game_focus
hear "Main menu. Play, 1 of 7"
press_key Down
hear "Tutorial, 2 of 7"
press_key l
hear "Learn the sounds, 3 of 7"
press_key Return
hear "Where sounds come from"
press_key Return
hear "Behind"
sleep 2
# A loop being learnt goes on until a key: Escape stops it and stays in the list.
press_key Down
hear "Your rotor"
press_key Return
sleep 1
press_key Escape
twice() { [ "$(grep '^heard: ' "$WORK/stderr" | grep -c '^heard: Your rotor')" = 2 ]; }
poll 300 twice || fail "Escape on a loop being learnt did not stay in the list"
press_key Escape
press_key Escape
game_ends 20 0 "Esc from the main menu"
sox "$WORK/out.wav" -t dat - | awk '
  /^;/ { next }
  { n++; l += $2 * $2; r += $3 * $3 }
  n == 4410 { s = s (l > 2 * r && l > 1 ? "L" : (r > 2 * l && r > 1 ? "R" : "-")); n = l = r = 0 }
  END { print s > "/dev/stderr"; exit !(s ~ /LLLLL.*RRRRR/ && index(s, "L") < index(s, "R")) }' ||
  fail "the demo was not heard left then right"

echo "demo heard left then right"
GAME_WINDOW=
# A setting: the volume down to nothing, kept in the file, and the menu then silent.
game_start
game_focus
hear "Main menu. Play, 1 of 7"
press_key s
hear "Settings, 4 of 7"
press_key Return
hear "Settings. Speech"
press_key Down 2
hear "Volume, 100 percent, 3 of 10"
press_key Left 10
hear "Volume, 0 percent"
grep -qx 'volume = 0' "$XDG_CONFIG_HOME/rotorduel/settings.ini" || fail "the volume was not kept"
at=$(stat -c %s "$WORK/out.wav")
press_key Down
hear "Effects volume, 100 percent, 4 of 10"
press_key Escape
press_key Escape
game_ends 20 0 "Esc from the menus"
sox "$WORK/out.wav" "$WORK/after.wav" trim "$(((at - 44) / 4))s"
expect_sound 0.01 "the menu before the volume went down" "$WORK/out.wav" 0 1
rms=$(sox "$WORK/after.wav" -n stat 2>&1 | awk '/^RMS +amplitude/ { print $3 }')
awk -v r="$rms" 'BEGIN { exit !(r < 0.0005) }' || fail "the menu is still heard at volume 0 (RMS $rms)"

echo "the volume kept and heard"
GAME_WINDOW=
# Play again.
printf 'speech = builtin\nwelcome = off\n' >"$XDG_CONFIG_HOME/rotorduel/settings.ini"
ROTORDUEL_TEST_DOG_BITES=2 game_start
game_focus
hear "Main menu. Play, 1 of 7"
press_key Return
poll 100 grep -q "^round 1 starts" "$WORK/stderr" || fail "round 1 never started"
sleep 1
press_key t
press_key Next 5
press_key p
press_key Pause
hear "Paused"
press_key Escape
hear "Round ended."
for round in 2 3; do
  press_key Return
  poll 300 grep -q "^round $round ended" "$WORK/stderr" || fail "round $round never ended"
  hear "Round over. You 0 points, the enemy 0 points. The enemy won."
  [ "$(grep -c "Main menu. Play, 1 of 7" "$WORK/stderr")" -ge $((round * 2)) ] || poll 100 false
done
press_key Escape
game_ends 20 0 "Esc from the main menu after three rounds"
starts=$(grep '^round [0-9] starts: ' "$WORK/stderr" | sed 's/^round [0-9] //' | sort -u)
[ "$(grep -c '^round [0-9] starts: ' "$WORK/stderr")" = 3 ] && [ "$(wc -l <<<"$starts")" = 1 ] ||
  fail "the rounds did not start alike: $(grep '^round' "$WORK/stderr")"
grep -q 'paused no, timers on on off' <<<"$starts" || fail "a round started paused or without its timers"
[ "$(grep -c ', you 0, enemy 0, the enemy won$' "$XDG_DATA_HOME/rotorduel/scores")" = 2 ] &&
  [ "$(wc -l <"$XDG_DATA_HOME/rotorduel/scores")" = 2 ] || fail "not one line each: $(cat "$XDG_DATA_HOME/rotorduel/scores")"
echo "PASS"
