#!/usr/bin/env bash
# The Linux tests that touch the sound library, run again on another OpenAL Soft:
#   tests/newer_openal.sh BUILD LIBDIR [CTEST OPTIONS]
# LIBDIR holds its libopenal.so.1 (scripts/newer-openal prints Debian 13's). The library the
# loader takes must be that one; the room at the start must be as loud on it as on the system's
# library, within 1 LU; then the platform tests (but the window's) and the end-to-end tests (but
# the package's) run with it first on LD_LIBRARY_PATH.
set -euo pipefail
build=$(cd "$1" && pwd)
lib=$(cd "$2" && pwd)
shift 2
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
# The player's own settings are no part of it.
export XDG_CONFIG_HOME=$build/no-settings

room() { "$build/rotorduel-replay" --loudness - <<<'wait 3000' 2>&1; }
system_room=$(room) || fail "the room cannot be rendered: $system_room"
newer_room=$(LD_LIBRARY_PATH=$lib LD_DEBUG=libs room) || fail "the room cannot be rendered on $lib"
# The dynamic loader's own account of the libraries it started.
grep -q "calling init: $lib/libopenal\.so" <<<"$newer_room" ||
  fail "the OpenAL Soft loaded is not the one in $lib: $(grep 'calling init: .*libopenal' <<<"$newer_room")"
lufs() { sed -n 's/^loudness: integrated \([-0-9.]*\) LUFS.*/\1/p' <<<"$1"; }
a=$(lufs "$system_room") b=$(lufs "$newer_room")
[[ -n $a && -n $b ]] || fail "no loudness printed: $system_room"
echo "the room at the start: $a LUFS on the system's OpenAL Soft, $b LUFS on $lib"
awk -v a="$a" -v b="$b" 'BEGIN { d = a - b; exit !(d <= 1 && d >= -1) }' ||
  fail "the room is $a LUFS on the system's OpenAL Soft and $b LUFS on $lib: more than 1 LU apart"

cd "$build"
LD_LIBRARY_PATH=$lib ctest --output-on-failure -L 'platform|e2e' -E '^SdlWindowTest\.|^e2e/package$' "$@"
