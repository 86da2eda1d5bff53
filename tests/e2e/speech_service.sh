#!/usr/bin/env bash
# The desktop's speech service failing under the real rotorduel: the test's own speech-dispatcher,
# started afresh for each game and asked for (under auto a loaded machine may miss its brief
# wait), whose one output module (silent_module) takes every sentence and never plays or ends it.
# A service that never reports, one that is stopped (SIGSTOP) and one that is killed in the middle
# of a sentence each give way to the built-in voice, which says the sentence again through OpenAL
# Soft's wave writer; the game plays on and ends with 0. Esc ends it at once also while the
# service is stopped.
source "$(dirname "$0")/desktop.bash"
desktop_start "$1"
needs speech-dispatcher
SPEECHD_PID=
# The service waits for ever on a module that never ends a sentence: it is killed.
speechd_stop() {
  [ -n "$SPEECHD_PID" ] && kill -KILL "$SPEECHD_PID" && wait "$SPEECHD_PID"
  SPEECHD_PID=
} 2>/dev/null
trap 'speechd_stop; desktop_stop' EXIT
export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/run ROTORDUEL_TRACE=1
SD=$WORK/speechd
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$SD/modules" "$XDG_CONFIG_HOME/speech-dispatcher"
chmod 700 "$XDG_RUNTIME_DIR"
cp "$HERE/silent_module" "$SD/sd_silent"
: >"$SD/modules/silent.conf"
printf 'AddModule "silent" "sd_silent" "silent.conf"\nDefaultModule silent\nDefaultLanguage "en"\n' \
  >"$SD/speechd.conf"
# No other speech-dispatcher than the test's own is started for the game.
echo DisableAutoSpawn >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf"
SOCKET=$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock

# A fresh service, then the game on it; only the speech is heard.
start() {
  speechd_stop
  rm -f "$SOCKET" "$SD/said"
  speech-dispatcher -s -t 0 -C "$SD" -m "$SD" -L "$WORK" >>"$WORK/speechd.log" 2>&1 &
  SPEECHD_PID=$!
  poll 100 test -S "$SOCKET" || fail "speech-dispatcher did not start: $(cat "$WORK/speechd.log")"
  GAME_WINDOW=
  game_start --welcome off --effects-volume 0 "$@"
  poll 300 grep -qx 'speech: desktop' "$WORK/stderr" || fail "the game did not take the service"
  game_focus
}
# The score (S) is five sentences, the last " points.".
scores_heard() { test "$(grep -c '^heard:  points\.$' "$WORK/stderr")" -eq "$1"; }
# The built-in voice took over for `why`, said so once and said the score; Esc still ends the game.
took_over() {
  poll 600 scores_heard 1 || fail "$1: the built-in voice never took over"
  press_key s
  poll 300 scores_heard 2 || fail "$1: the next score was not heard"
  press_key Escape
  game_ends 20 0 "$1"
  [ "$(grep -c '^speech: builtin after desktop failed' "$WORK/stderr")" = 1 ] &&
    grep -q "^speech: builtin after desktop failed: .*the desktop speech service $2" "$WORK/stderr" ||
    fail "$1: the built-in voice did not take over once because the service $2"
  ! grep -q 'has to stop' "$WORK/stderr" || fail "$1: reported as a failure"
  expect_sound 0.005 "the built-in voice after $1" "$WORK/out.wav"
}

start --speech desktop
press_key s
took_over "a service that never reports" "never finished the sentence"

start --speech desktop
kill -STOP "$SPEECHD_PID"
press_key s
took_over "a stopped service" "does not answer"

start --speech desktop
kill -STOP "$SPEECHD_PID"
press_key s
press_key Escape
game_ends 20 0 "Esc while the service is stopped"
! grep -q '^speech: builtin after' "$WORK/stderr" || fail "Esc waited for the stopped service"

start --speech desktop
press_key s
poll 300 grep -qs 'the score is' "$SD/said" || fail "the service never had the score"
speechd_stop
took_over "a service killed in the middle of a sentence" "has ended"
