#!/usr/bin/env bash
# Runs one replay scenario. Most carry their checks inline (`expect`): the run must end with
# status 0, or with N where the game ends itself and the scenario expects `exit: N`. A scenario
# whose whole order of calls is what it tests has NAME.expected beside it instead: what it prints
# (stdout and stderr, then its exit status, the recordings' folder written as SOUNDS) must match
# it line by line. With UPDATE=1 an existing NAME.expected is rewritten: read it before you commit.
set -u
replay=$1 sounds=$2 script=$3 expected=${3%.replay}.expected
if [[ -f $expected ]]; then
  actual=$("$replay" --sounds "$sounds" "$script" 2>&1; echo "status=$?")
  actual=${actual//"$sounds"/SOUNDS}
  [[ ${UPDATE:-} == 1 ]] && { printf '%s\n' "$actual" >"$expected"; exit 0; }
  exec diff -u "$expected" <(printf '%s\n' "$actual")
fi
grep -Eq '^[[:space:]]*(repeat .*)?expect ' "$script" || { echo "$script checks nothing"; exit 1; }
output=$("$replay" --sounds "$sounds" "$script" 2>&1)
status=$?
want=$(sed -n 's/^[[:space:]]*expect exit: \([0-9]\+\)[[:space:]]*$/\1/p' "$script" | tail -n 1)
((status == ${want:-0})) && exit 0
printf '%s\n' "$output" | tail -n 40
echo "$script: status $status"
exit 1
