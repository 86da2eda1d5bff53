#!/usr/bin/env bash
# The replay tool at its limits: a long script runs in bounded memory, failure counts add up
# without wrapping, a render stopped by a signal leaves a complete WAV of what was rendered, a
# script saved with a byte order mark is read, and the soak refuses a count that is no number.
source "$(dirname "$0")/desktop.bash"  # fail, wav_complete
replay=$1/rotorduel-replay
WORK=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$WORK"' EXIT

# Only what print needs is kept: the output goes out as it is made. A long run against a short one
# in the same build, so the sanitizer's own baseline (which differs from machine to machine) cancels
# out: a transcript kept in memory would grow the peak by the extra output it printed.
peak() {
  printf 'target %s\nprint playerScore\n' "$1" >"$WORK/$1.replay"
  ASAN_OPTIONS=quarantine_size_mb=1 /usr/bin/time -f %M -o "$WORK/$1.peak" "$replay" \
    "$WORK/$1.replay" >"$WORK/$1.out" || fail "the script of $1 target cycles failed"
  [ "$(tail -n1 "$WORK/$1.out")" = playerScore=0 ] || fail "target $1 printed $(tail -n1 "$WORK/$1.out")"
}
peak 40000
peak 200000
grown=$(($(cat "$WORK/200000.peak") - $(cat "$WORK/40000.peak")))
printed=$((($(stat -c %s "$WORK/200000.out") - $(stat -c %s "$WORK/40000.out")) / 1024))
((grown < printed / 4)) || fail "five times the script took $grown kB more; it printed $printed kB more"

# 2200 asks for a million failures each: far more than an int holds, still failures.
{ yes 'fail speech.speak 1000000' | head -n 2200; echo 'key S'; } >"$WORK/fails.replay"
"$replay" "$WORK/fails.replay" 2>&1 | grep -q 'speech.speak failed: failure injected' ||
  fail "no failure was injected"

# A byte order mark before the first command.
printf '\xef\xbb\xbfprint knob\n' >"$WORK/bom.replay"
"$replay" "$WORK/bom.replay" | grep -q "^knob=" || fail "a script with a byte order mark was not read"

# SIGINT in the middle of a render.
# The dog is sent back to the far corner now and then, so that it never catches the player sitting
# on the floor and ends the render by itself.
printf 'repeat 1000000 set dogX -19 dogZ -19; tick 64\n' >"$WORK/render.replay"
"$replay" --render "$WORK/out.wav" "$WORK/render.replay" >/dev/null 2>"$WORK/err" &
pid=$!
rendered() { (($(stat -c %s "$WORK/out.wav" 2>/dev/null || echo 0) > 500000)); }
# However long a slow machine takes to get there: the test's own time limit catches a hang.
until rendered; do
  kill -0 "$pid" 2>/dev/null || fail "the render ended before it was interrupted: $(cat "$WORK/err")"
  sleep 0.1
done
kill -INT "$pid"
wait "$pid"
status=$?
pid=
[ "$status" = 130 ] || fail "the interrupted render ended with status $status: $(cat "$WORK/err")"
wav_complete "$WORK/out.wav" || fail "the interrupted render left an unfinished WAV"

"$1/rotorduel-soak" --ticks abc 2>/dev/null
[ $? = 2 ] || fail "rotorduel-soak took '--ticks abc'"
