#!/usr/bin/env bash
# Runs one replay scenario. Most carry their checks inline (`expect`): the run must end with
# status 0, or with N where the game ends itself and the scenario expects `exit: N`. A scenario whose whole order of calls is what it tests has NAME.expected beside it
# instead: what it prints (stdout and stderr, then its exit status) must match it, line by line,
# with the recordings' folder written as SOUNDS. With UPDATE=1 that file is written instead: read
# it through before you commit it.
set -u
replay=$1 sounds=$2 script=$3
expected=${script%.replay}.expected
if [[ ! -f $expected && ${UPDATE:-} != 1 ]]; then
  if ! grep -Eq '^[[:space:]]*(repeat .*)?expect ' "$script"; then
    echo "$script checks nothing: add expect lines"
    exit 1
  fi
  output=$("$replay" --sounds "$sounds" "$script" 2>&1)
  status=$?
  # A scenario in which the game ends itself checks its `exit: N`; that is then its status.
  want=$(sed -n 's/^[[:space:]]*expect exit: \([0-9]\+\)[[:space:]]*$/\1/p' "$script" | tail -n 1)
  if ((status != ${want:-0})); then
    printf '%s\n' "$output" | tail -n 40
    echo "$script: status $status"
    exit 1
  fi
  exit 0
fi
actual=$("$replay" --sounds "$sounds" "$script" 2>&1; echo "status=$?")
actual=${actual//"$sounds"/SOUNDS}
# Transcripts written before the start-up one existed begin after the six room loops.
start=$'sound: sndRotor loop\nsound: sndWind loop\nsound: sndEnemy loop\nsound: sndTv loop\nsound: sndFan loop\nsound: sndDogBark loop\n'
if [[ -f $expected && $(head -n 1 "$expected") != "sound: sndRotor loop" ]]; then
  actual=${actual#"$start"}
fi
if [[ ${UPDATE:-} == 1 ]]; then
  printf '%s\n' "$actual" >"$expected"
  exit 0
fi
diff -u "$expected" <(printf '%s\n' "$actual")
