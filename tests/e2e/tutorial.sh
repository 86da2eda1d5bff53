#!/usr/bin/env bash
# The tutorial from the main menu, with real key presses on a virtual desktop, as a new player
# takes it: "Lift off" is opened from the tutorial's list, Page Down is pressed until the
# helicopter flies, the progress is said every 10 presses, the lesson ends by itself once the
# game record shows it flying and the player is back in the list; Escape leaves the next lesson
# at once; Escape twice more leaves the menus and ends the program.
source "$(dirname "$0")/desktop.bash"
desktop_start "$1"
export ROTORDUEL_TRACE=1
# Only the speech is heard, quickly.
printf 'speech = builtin\nwelcome = off\neffects-volume = 0\nspeech-rate = 600\n' \
  >"$XDG_CONFIG_HOME/rotorduel/settings.ini"

traced() { awk -v from="${2:-0}" -v p="$1" 'NR > from && $0 ~ p { print NR; f = 1; exit } END { exit !f }' "$WORK/stderr"; }
trace_wait() { poll 600 traced "$@" || fail "the trace never showed '$1'"; }

game_start
at=$(trace_wait '^speak: Main menu\. Play, 1 of 7$') || exit 1
game_focus
press_key Down
at=$(trace_wait '^speak: Tutorial, 2 of 7$' "$at") || exit 1
press_key Return
at=$(trace_wait '^speak: Tutorial\. Lift off, 1 of 6$' "$at") || exit 1
press_key Return
at=$(trace_wait '^speak: Lesson 1 of 6: lift off\. Escape leaves the lesson\.$' "$at") || exit 1
press_key Next 59
at=$(trace_wait '^speak: 50 presses, 10 to go\.$' "$at") || exit 1
sleep 1
traced '^speak: Lesson 1 done' "$at" >/dev/null && fail "the lesson ended before the helicopter flew"
press_key Next
at=$(trace_wait '^speak: Lesson 1 done: Lift off\.$' "$at") || exit 1
[ "$(grep -cE '^speak: [0-9]+ presses, [0-9]+ to go\.$' "$WORK/stderr")" = 5 ] ||
  fail "the progress was not said once every 10 presses"
at=$(trace_wait '^speak: Tutorial\. Lift off, 1 of 6$' "$at") || exit 1
press_key Down
press_key Return
at=$(trace_wait '^speak: Lesson 2 of 6: turn\.' "$at") || exit 1
press_key Escape
at=$(trace_wait '^speak: Lesson left\.$' "$at") || exit 1
press_key Escape
at=$(trace_wait '^speak: Main menu\.' "$at") || exit 1
press_key Escape
game_ends 20 0 "Escape from the main menu"
echo PASS
