#!/usr/bin/env bash
# The replay tool at its limits: a long script runs in bounded memory, failure counts add up
# without wrapping, a render stopped by a signal leaves a complete WAV of what was rendered, a
# script saved with a byte order mark is read, and the soak refuses a count that is no number.
set -uo pipefail
build=$1
replay=$build/rotorduel-replay
tmp=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
source "$(dirname "$0")/desktop.bash"  # fail, wav_complete
set +e

# Only what print needs is kept: the output goes out as it is made.
printf 'target 400000\nprint playerScore\n' >"$tmp/long.replay"
ASAN_OPTIONS=quarantine_size_mb=1 /usr/bin/time -f %M -o "$tmp/peak" "$replay" "$tmp/long.replay" \
  >"$tmp/out" || fail "the long script failed"
[ "$(tail -n1 "$tmp/out")" = playerScore=0 ] || fail "the long script printed $(tail -n1 "$tmp/out")"
peak_kb=$(cat "$tmp/peak")
echo "target 400000: peak ${peak_kb} kB"
((peak_kb < 50 * 1024)) || fail "the long script took ${peak_kb} kB"

# 2200 asks for a million failures each: far more than an int holds, still failures.
{ yes 'fail speech.speak 1000000' | head -n 2200; echo 'key S'; } >"$tmp/fails.replay"
out=$("$replay" "$tmp/fails.replay" 2>&1)
grep -q 'speech.speak failed: failure injected' <<<"$out" || fail "no failure was injected: $out"

# A byte order mark before the first command.
printf '\xef\xbb\xbfprint knob\n' >"$tmp/bom.replay"
"$replay" "$tmp/bom.replay" | grep -q "^knob=" || fail "a script with a byte order mark was not read"

# SIGINT in the middle of a render.
printf 'tick 100000000\n' >"$tmp/render.replay"
"$replay" --render "$tmp/out.wav" "$tmp/render.replay" >/dev/null 2>"$tmp/err" &
pid=$!
for _ in $(seq 300); do
  [ "$(stat -c %s "$tmp/out.wav" 2>/dev/null || echo 0)" -gt 500000 ] && break
  sleep 0.1
done
kill -INT "$pid"
wait "$pid"
status=$?
pid=
[ "$status" = 130 ] || fail "the interrupted render ended with status $status: $(cat "$tmp/err")"
wav_complete "$tmp/out.wav" || fail "the interrupted render left an unfinished WAV"

"$build/rotorduel-soak" --ticks abc 2>/dev/null
[ $? = 2 ] || fail "rotorduel-soak took '--ticks abc'"
echo PASS
