#!/usr/bin/env bash
# A recording missing from the folder: the replay says which file, and ends as the program would,
# with status 1, after the loops that loaded before it never started.
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp -rL "$build/sounds" "$tmp/sounds"
rm "$tmp/sounds/fan.wav"
echo 'print playerX' >"$tmp/one.replay"
set +e
out=$("$build/rotorduel-replay" --sounds "$tmp/sounds" "$tmp/one.replay" 2>&1)
status=$?
set -e
echo "$out"
[[ $status == 1 ]] || { echo "expected status 1, got $status"; exit 1; }
grep -q "^error: Form_Load: StartGame: sndFan.create failed: cannot read '$tmp/sounds/fan.wav'" <<<"$out"
grep -q '^speak: Rotor Duel cannot start. The sound file fan.wav is missing or cannot be read.$' <<<"$out"
[[ $(tail -n 1 <<<"$out") == "exit: 1" ]]
! grep -q 'loop$' <<<"$out"
! grep -q 'playerX=' <<<"$out"
echo PASSED
