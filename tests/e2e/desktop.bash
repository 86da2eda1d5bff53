# The real rotorduel on a virtual desktop, for the end-to-end tests (sourced, not run).
#
#   desktop_start BUILD    copies the program and its recordings into a scratch folder $WORK,
#                          starts Xvfb (or prints SKIPPED and exits 0 when it cannot), and points
#                          OpenAL Soft's wave writer at $WORK/out.wav
#   game_start [ARGS]      starts the game from another folder; its stdout and stderr go to
#                          $WORK/stdout and $WORK/stderr
#   window_id NAME         waits for the shown window titled exactly NAME and prints its id
#   game_focus             gives the game's window the keyboard (as clicking it would)
#   press_key KEY [N]      presses and releases KEY (an X key name: Next, Prior, Escape, s) N times
#   close_window ID        asks the window to close as a window manager does (WM_DELETE_WINDOW)
#   game_wait SECONDS      waits for the game to end; its exit status in GAME_STATUS (124: it
#                          did not end in time)
#   game_ends SECONDS STATUS WHAT
#                          fails unless the game ends within SECONDS with STATUS
#   poll N COMMAND...      runs COMMAND every tenth of a second until it succeeds, at most N times
#   wav_complete FILE      the RIFF and data lengths in the header match the file's size
#   expect_sound MIN WHAT FILE [START [LENGTH]]
#                          the RMS amplitude of FILE (or of that stretch, as sox trims) is over MIN
#
# Every process started here is stopped by its id when the test ends.

set -u
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WORK= XVFB_PID= GAME_PID= GAME_WINDOW= GAME_STATUS=

fail() {
  echo "FAIL: $*" >&2
  [ -f "$WORK/stderr" ] && { echo "--- the game's stderr:"; cat "$WORK/stderr"; } >&2
  exit 1
}
needs() { for tool; do command -v "$tool" >/dev/null || fail "the test needs $tool"; done; }
poll() {
  local i
  for ((i = 0; i < $1; i++)); do "${@:2}" && return 0; sleep 0.1; done
  return 1
}

desktop_stop() {
  [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null && sleep 0.5 && kill -9 "$GAME_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  [ -z "$WORK" ] || rm -rf "$WORK"
}

# Xvfb on a free display, whose number it writes to fd 3; ready once a client can talk to it
# (on a busy machine the number came before the first client could connect).
xvfb_start() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
  XVFB_PID=$!
  poll 50 test -s "$WORK/display" && export DISPLAY=":$(head -n1 "$WORK/display")" &&
    poll 50 xwininfo -root >/dev/null 2>&1
}

desktop_start() {
  local build
  build=$(cd "$1" && pwd) || fail "no build folder '$1'"
  needs Xvfb xdotool xwininfo sox cc
  WORK=$(mktemp -d "${TMPDIR:-/tmp}/rotorduel-e2e.XXXXXX")
  trap desktop_stop EXIT
  cp -r "$build/rotorduel" "$build/sounds" "$WORK/" || fail "no program or recordings in $build"
  cc -o "$WORK/wm_close" "$HERE/wm_close.c" -lX11 || fail "cannot build the close helper"
  xvfb_start || { echo "SKIPPED: Xvfb cannot start here: $(cat "$WORK/xvfb.log")"; exit 0; }
  # What OpenAL Soft plays goes to a file, in real time, as 16-bit stereo.
  printf '[general]\ndrivers = wave\nsample-type = int16\nchannels = stereo\n[wave]\nfile = %s\n' \
    "$WORK/out.wav" >"$WORK/alsoft.conf"
  export ALSOFT_CONF="$WORK/alsoft.conf" ALSOFT_DRIVERS=wave
  # The game's settings are the test's own: the built-in voice (which the wave writer records), no
  # welcome.
  export XDG_CONFIG_HOME=$WORK/config
  mkdir -p "$XDG_CONFIG_HOME/rotorduel"
  printf 'speech = builtin\nwelcome = off\nmenu = off\n' >"$XDG_CONFIG_HOME/rotorduel/settings.ini"
  # In a sanitized build: D-Bus, which SDL talks to on a desktop, keeps a block until the process
  # ends. Everything else must be given back.
  echo "leak:libdbus-1.so" >"$WORK/lsan.supp"
  export LSAN_OPTIONS="${LSAN_OPTIONS:-}${LSAN_OPTIONS:+:}suppressions=$WORK/lsan.supp"
}

# From another folder: the game must find its recordings beside itself.
game_start() {
  (cd / && exec "$WORK/rotorduel" "$@" >"$WORK/stdout" 2>"$WORK/stderr") &
  GAME_PID=$!
}

shown() {
  local id
  for id in $(xwininfo -root -tree 2>/dev/null | awk -v want="\"$1\":" 'index($0, want) { print $1 }'); do
    xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && echo "$id" && return 0
  done
  return 1
}
window_id() { poll 100 shown "$1"; }

game_focus() {
  [ -n "$GAME_WINDOW" ] || GAME_WINDOW=$(window_id "Rotor Duel") || fail "the game's window never appeared"
  xdotool windowfocus --sync "$GAME_WINDOW" || fail "cannot give the window the keyboard"
}

press_key() { xdotool key --clearmodifiers --delay 20 $(yes "$1" | head -n "${2:-1}") || fail "cannot press $1"; }

close_window() { "$WORK/wm_close" "$1" || fail "cannot ask window $1 to close"; }

game_gone() { ! kill -0 "$GAME_PID" 2>/dev/null; }
game_wait() {
  GAME_STATUS=124
  poll $(($1 * 10)) game_gone || return 0
  GAME_STATUS=0
  wait "$GAME_PID" || GAME_STATUS=$?
  GAME_PID=
}

game_ends() {
  game_wait "$1"
  [ "$GAME_STATUS" = "$2" ] || fail "$3: the game ended with status $GAME_STATUS, not $2"
}

le32() { od -An -tu4 -j "$2" -N4 --endian=little "$1" | tr -d ' '; }
wav_complete() {
  local size offset
  size=$(stat -c %s "$1")
  offset=$(grep -obUa data "$1" | head -n1 | cut -d: -f1)
  [ "$(head -c4 "$1")" = RIFF ] && [ "$(le32 "$1" 4)" -eq $((size - 8)) ] && [ -n "$offset" ] &&
    [ "$(le32 "$1" $((offset + 4)))" -eq $((size - offset - 8)) ]
}

expect_sound() {
  local min=$1 what=$2 file=$3 rms
  shift 3
  rms=$(sox "$file" -n ${1+trim "$@"} stat 2>&1 | awk '/^RMS +amplitude/ { print $3 }')
  echo "RMS of $what: ${rms:-none}"
  awk -v r="${rms:-0}" -v m="$min" 'BEGIN { exit !(r > m) }' || fail "$what is not heard (RMS ${rms:-none})"
}
