#!/usr/bin/env bash
# The comfort keys and letters by their label, with real key presses on a virtual desktop. The
# game's trace (ROTORDUEL_TRACE) shows what is said and the timer events when pausing: F1 reads the
# key list (and it is heard), three quick F4 presses cut it and each other (the list is never
# heard to its end, the last rate is said and kept), Pause stops the timers until F9 and the game
# hears no key meanwhile, F5 lowers the volume and keeps it in the settings file, and after
# switching to the French layout during play the key that types "a" reads the heading while the
# key at A's place reads nothing. On a full disk F6 says the volume was not kept.
source "$(dirname "$0")/desktop.bash"
desktop_start "$1"
needs setxkbmap
setxkbmap -layout us || fail "cannot set the US layout"
export ROTORDUEL_TRACE=1
# Only the speech is heard, quickly.
printf 'speech = builtin\neffects-volume = 0\nspeech-rate = 450\nmenu = off\n' >"$XDG_CONFIG_HOME/rotorduel/settings.ini"

# The number of the first line of the trace after line FROM that matches PATTERN (in $(...), add
# `|| exit 1`: the failure ends only the subshell).
traced() { awk -v from="${2:-0}" -v p="$1" 'NR > from && $0 ~ p { print NR; f = 1; exit } END { exit !f }' "$WORK/stderr"; }
trace_wait() { poll 300 traced "$@" || fail "the trace never showed '$1'"; }
timer_events() { sed -n "$1p" "$WORK/stderr" | awk '{ print $3 }'; }
frames() { echo $((($(stat -c %s "$WORK/out.wav") - 44) / 4)); }

game_start
# The game starts once the welcome has been heard.
at=$(trace_wait '^heard: Rotor Duel. F1 for help.$') || exit 1
game_focus
# Up off the floor: the dog ends the game when it catches a helicopter sitting there (after some
# 700 ticks in a replay of the start), which a slow run of this test could give it time to do.
press_key Next 60
sleep 1  # the timers run a while first, or the pause below would have nothing to hold
before_f1=$(frames)
press_key F1
list=$(trace_wait '^speak: Keys. Page Down, climb.' "$at") || exit 1
press_key F4 3
at=$(trace_wait '^heard: Speech rate 600$' "$list") || exit 1
! sed -n "$list,${at}p" "$WORK/stderr" | grep -q '^heard: Keys' ||
  fail "the key list was heard to its end under the F4 presses"
grep -qx 'speech-rate = 600' "$XDG_CONFIG_HOME/rotorduel/settings.ini" || fail "the rate was not kept"
press_key F1
at=$(trace_wait '^speak: Keys. Page Down, climb.' "$at") || exit 1
press_key Pause
at=$(trace_wait '^paused after' "$at") || exit 1
after_f1=$(frames)
paused=$(timer_events "$at")
sleep 1
press_key s
press_key F9
at=$(trace_wait '^resumed after' "$at") || exit 1
resumed=$(timer_events "$at")
[ "$paused" -gt 0 ] && [ "$paused" = "$resumed" ] ||
  fail "timer events went on while paused ($paused, then $resumed)"
at=$(trace_wait '^speak: Resumed$' "$at") || exit 1
press_key F5
at=$(trace_wait '^speak: Volume 90$' "$at") || exit 1
grep -qx 'volume = 90' "$XDG_CONFIG_HOME/rotorduel/settings.ini" || fail "the volume was not kept"

setxkbmap -layout fr || fail "cannot switch to the French layout"
sleep 0.5
press_key a  # the heading and the enemy's bearing
heading=$(trace_wait '^speak: ' "$at") || exit 1
trace_wait '^speak: ' "$heading" >/dev/null || exit 1
press_key q  # A's place on a US keyboard: nothing the game knows in French
press_key F5
end=$(trace_wait '^speak: Volume 80$' "$at") || exit 1
[ "$(sed -n "$((at + 1)),$((end - 1))p" "$WORK/stderr" | grep -cE '^speak: (heading|enemy) -?[0-9]+$')" = 2 ] ||
  fail "the key that types a did not read the heading and bearing once (or the key at A's place did)"
# On a full disk the change holds and the player hears that it was not kept (as root, where a
# file system can be mounted over the settings' folder).
folder=$XDG_CONFIG_HOME/rotorduel
if mount -t tmpfs -o size=16k tmpfs "$folder" 2>/dev/null; then
  trap 'umount "$folder"; desktop_stop' EXIT
  head -c 1M /dev/zero >"$folder/filler" 2>/dev/null
  press_key F6
  trace_wait '^speak: Volume 90, not saved: the disk is full$' "$end" >/dev/null || exit 1
  [ "$(ls -A "$folder")" = filler ] || fail "the failed save left $(ls -A "$folder")"
  umount "$folder" && trap desktop_stop EXIT
else
  echo "not root: no full disk tried"
fi
press_key Escape
game_ends 20 0 Esc
expect_sound 0.01 "the key list read by F1" "$WORK/out.wav" "${before_f1}s" "=${after_f1}s"
echo PASS
