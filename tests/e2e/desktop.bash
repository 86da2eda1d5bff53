# The real rotorduel on a virtual desktop, for the end-to-end tests (sourced, not run).
#
#   desktop_start BUILD    copies the program and its recordings into a scratch folder, starts
#                          Xvfb (or prints SKIPPED and exits 0 when it cannot), and points OpenAL
#                          Soft's wave writer at $WORK/out.wav
#   game_start             starts the game from another folder; its stdout and stderr go to
#                          $WORK/stdout and $WORK/stderr
#   window_id NAME         waits for the shown window titled exactly NAME and prints its id
#   game_focus             gives the game's window the keyboard (as clicking it would)
#   press_key KEY [N]      presses and releases KEY (an X key name: Next, Prior, Escape, s) N times
#   close_window ID        asks the window to close as a window manager does (WM_DELETE_WINDOW)
#   game_wait SECONDS      waits for the game to end; its exit status in GAME_STATUS (124: it
#                          did not end in time)
#   wav_complete FILE      the RIFF and data lengths in the header match the file's size
#   wav_rms FILE           the RMS amplitude of the whole file, as sox measures it
#
# Every process started here is stopped by its id when the test ends.

set -u

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WORK=
XVFB_PID=
GAME_PID=
GAME_WINDOW=
GAME_STATUS=

fail() {
  echo "FAIL: $*" >&2
  if [ -n "$WORK" ] && [ -f "$WORK/stderr" ]; then
    echo "--- the game's stderr:" >&2
    cat "$WORK/stderr" >&2
  fi
  exit 1
}

desktop_stop() {
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
    kill "$GAME_PID" 2>/dev/null
    sleep 0.5
    kill -9 "$GAME_PID" 2>/dev/null
  fi
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; fi
  if [ -n "$WORK" ]; then rm -rf "$WORK"; fi
}

desktop_start() {
  local build
  build=$(cd "$1" && pwd) || fail "no build folder '$1'"
  [ -x "$build/rotorduel" ] || fail "no program at $build/rotorduel"
  [ -d "$build/sounds" ] || fail "no recordings at $build/sounds"
  for tool in Xvfb xdotool xwininfo sox cc; do
    command -v "$tool" >/dev/null || fail "the test needs $tool"
  done
  WORK=$(mktemp -d "${TMPDIR:-/tmp}/rotorduel-e2e.XXXXXX")
  trap desktop_stop EXIT
  cp "$build/rotorduel" "$WORK/rotorduel"
  mkdir "$WORK/sounds"
  cp "$build"/sounds/*.wav "$WORK/sounds/"
  cc -o "$WORK/wm_close" "$HERE/wm_close.c" -lX11 || fail "cannot build the close helper"

  # Xvfb picks a free display and writes its number to fd 3.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
  XVFB_PID=$!
  local i
  for i in $(seq 50); do
    [ -s "$WORK/display" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$WORK/display" ]; then
    echo "SKIPPED: Xvfb cannot start here"
    cat "$WORK/xvfb.log"
    exit 0
  fi
  export DISPLAY=":$(head -n1 "$WORK/display")"

  # What OpenAL Soft plays goes to a file, in real time, as 16-bit stereo.
  cat >"$WORK/alsoft.conf" <<CONF
[general]
drivers = wave
sample-type = int16
channels = stereo
[wave]
file = $WORK/out.wav
CONF
  export ALSOFT_CONF="$WORK/alsoft.conf"
  export ALSOFT_DRIVERS=wave
  # The game's settings are the test's own: the built-in voice (which the wave writer records), no
  # welcome.
  export XDG_CONFIG_HOME=$WORK/config
  mkdir -p "$XDG_CONFIG_HOME/rotorduel"
  printf 'speech = builtin\nwelcome = off\n' >"$XDG_CONFIG_HOME/rotorduel/settings.ini"
  # In a sanitized build: D-Bus, which SDL talks to on a desktop, keeps a block until the process
  # ends. Everything else must be given back.
  echo "leak:libdbus-1.so" >"$WORK/lsan.supp"
  export LSAN_OPTIONS="${LSAN_OPTIONS:-}${LSAN_OPTIONS:+:}suppressions=$WORK/lsan.supp"
}

game_start() {
  # From another folder: the game must find its recordings beside itself.
  (cd / && exec "$WORK/rotorduel" >"$WORK/stdout" 2>"$WORK/stderr") &
  GAME_PID=$!
}

window_id() {
  local name=$1 i id
  for i in $(seq 100); do
    for id in $(xwininfo -root -tree 2>/dev/null |
      awk -v want="\"$name\":" 'index($0, want) { print $1 }'); do
      if xwininfo -id "$id" 2>/dev/null | grep -q IsViewable; then
        echo "$id"
        return 0
      fi
    done
    sleep 0.1
  done
  return 1
}

game_focus() {
  [ -n "$GAME_WINDOW" ] || GAME_WINDOW=$(window_id "Rotor Duel") || fail "the game's window never appeared"
  xdotool windowfocus --sync "$GAME_WINDOW" || fail "cannot give the window the keyboard"
}

press_key() {
  local key=$1 count=${2:-1} i
  for i in $(seq "$count"); do
    xdotool key --clearmodifiers "$key" || fail "cannot press $key"
    sleep 0.02
  done
}

close_window() {
  "$WORK/wm_close" "$1" || fail "cannot ask window $1 to close"
}

game_wait() {
  local seconds=$1 i
  GAME_STATUS=124
  for i in $(seq $((seconds * 10))); do
    if ! kill -0 "$GAME_PID" 2>/dev/null; then
      GAME_STATUS=0
      wait "$GAME_PID" || GAME_STATUS=$?
      GAME_PID=
      return 0
    fi
    sleep 0.1
  done
}

# A little-endian 32-bit number at byte OFFSET of FILE.
le32() {
  od -An -tu4 -j "$2" -N4 --endian=little "$1" | tr -d ' '
}

wav_complete() {
  local file=$1 size riff offset data
  size=$(stat -c %s "$file")
  [ "$(head -c4 "$file")" = RIFF ] || return 1
  riff=$(le32 "$file" 4)
  [ "$riff" -eq $((size - 8)) ] || { echo "RIFF length $riff, file $size bytes" >&2; return 1; }
  offset=$(grep -obUa data "$file" | head -n1 | cut -d: -f1)
  [ -n "$offset" ] || return 1
  data=$(le32 "$file" $((offset + 4)))
  [ "$data" -eq $((size - offset - 8)) ] || { echo "data length $data, file $size bytes" >&2; return 1; }
}

wav_rms() {
  sox "$1" -n stat 2>&1 | awk '/^RMS +amplitude/ { print $3 }'
}
