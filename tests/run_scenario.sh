#!/usr/bin/env bash
# Runs one replay scenario and compares what it prints (stdout and stderr, then its exit status)
# with NAME.expected beside it. The recordings' folder is written as SOUNDS in the output.
# With UPDATE=1 the expected file is written instead: read it through before you commit it.
set -u
replay=$1 sounds=$2 script=$3
expected=${script%.replay}.expected
actual=$("$replay" --sounds "$sounds" "$script" 2>&1; echo "status=$?")
actual=${actual//"$sounds"/SOUNDS}
# Every game starts its six room loops in this order (a unit test holds it); the expected files
# begin after them. A start that differs in any way stays in the output and fails the comparison.
start=$'sound: sndRotor loop\nsound: sndWind loop\nsound: sndEnemy loop\nsound: sndTv loop\nsound: sndFan loop\nsound: sndDogBark loop\n'
actual=${actual#"$start"}
if [[ ${UPDATE:-} == 1 ]]; then
  printf '%s\n' "$actual" >"$expected"
  exit 0
fi
if [[ ! -f $expected ]]; then
  echo "missing $expected; the run printed:"
  printf '%s\n' "$actual"
  exit 1
fi
diff -u "$expected" <(printf '%s\n' "$actual")
