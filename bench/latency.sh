#!/usr/bin/env bash
# Latency and underruns of the real program on a real sound server: a PulseAudio server of the
# benchmark's own with a null sink (it plays on the server's clock, as a card would), OpenAL Soft's
# pulse backend, End, Home and X pressed through XTest (a knob click, a click, a readout).
#
#   bench/latency.sh BUILD [ROUNDS [PRESSES [SETTINGS [LOADS [SERVER]]]]]
#
# ROUNDS 3, PRESSES 45, SETTINGS "2x256 3x128 2x128" (periods x frames), LOADS "idle hog" and
# SERVER pulseaudio unless given: `bench/latency.sh BUILD 1 3 3x128 idle` is a quick check that it
# runs. SERVER pipewire runs PipeWire with its PulseAudio server (pipewire-pulse) and WirePlumber
# instead, as Debian 12's desktop can have it.
#
# Each round runs every period setting idle and with a CPU hog on every core, in turn; the rounds
# alternate so that the machine's other work falls on all of them alike. For each run it prints a
# key press to the period with its click handed to the server (key to mix), a readout key to the
# moment the server plays its first sample (speech to ear: handed over, plus what the stream
# reports waiting before it), the underruns PulseAudio logged during the presses (each time the
# sink wanted the game's sound and found none queued: "Implicit underrun" or "Actual underrun" in
# its debug log) and the underflows the server told the stream of (both servers tell them).
# bench/latency.py sums the runs up. LD_LIBRARY_PATH chooses the
# OpenAL Soft.
#
# Each OpenAL Soft keeps its own default for its mixer thread's priority (1.19: none; 1.24:
# real-time where it is allowed, as rtkit allows it on a desktop); the run line shows the game's
# threads' scheduling classes. The server's own thread takes SCHED_RR, as on a desktop.
set -u
BENCH=$(cd "$(dirname "$0")" && pwd)
source "$BENCH/../tests/e2e/desktop.bash"
build=$1
rounds=${2:-3}
presses=${3:-45}
settings=${4:-2x256 3x128 2x128}
loads=${5:-idle hog}
server=${6:-pulseaudio}
case $server in
  pulseaudio) needs pulseaudio pactl ;;
  pipewire) needs pipewire pipewire-pulse wireplumber dbus-daemon pactl ;;
  *) echo "unknown server $server: pulseaudio or pipewire" >&2; exit 2 ;;
esac
desktop_start "$build"
cc -O2 -shared -fPIC -o "$WORK/pa_write_log.so" "$BENCH/pa_write_log.c" -ldl ||
  fail "cannot build the write logger"

python3 - "$WORK/sounds" <<'PY' || fail "cannot silence the recordings"
import sys, wave, pathlib
for path in pathlib.Path(sys.argv[1]).glob("*.wav"):
    if path.name == "KNOB.wav":
        continue
    with wave.open(str(path)) as w:
        params, frames = w.getparams(), w.getnframes()
    with wave.open(str(path), "wb") as w:
        w.setparams(params)
        w.writeframes(bytes(frames * params.nchannels * params.sampwidth))
PY

# The server: its own runtime folder and socket, stopped by its id (with the desktop).
HOG_PIDS=() SERVER_PIDS=()
hog_stop() {
  local p
  for p in "${HOG_PIDS[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  HOG_PIDS=()
}
bench_stop() {
  hog_stop
  # The last started first: the PulseAudio server before PipeWire, the bus last.
  local i
  for ((i = ${#SERVER_PIDS[@]} - 1; i >= 0; i--)); do
    kill "${SERVER_PIDS[i]}" 2>/dev/null
    wait "${SERVER_PIDS[i]}" 2>/dev/null
  done
  desktop_stop
}
trap bench_stop EXIT
mkdir -p "$WORK/pulse/home" "$WORK/pulse/run"
chmod 700 "$WORK/pulse/run"
printf 'autospawn = no\n' >"$WORK/pulse/client.conf"
server_log=-
if [ "$server" = pulseaudio ]; then
  cat >"$WORK/pulse/default.pa" <<PA
load-module module-null-sink sink_name=bench
load-module module-native-protocol-unix auth-anonymous=1 socket=$WORK/pulse/native
set-default-sink bench
PA
  HOME=$WORK/pulse/home XDG_RUNTIME_DIR=$WORK/pulse/run PULSE_RUNTIME_PATH=$WORK/pulse/run \
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-level=debug \
    --log-target="file:$WORK/pulse/log" -F "$WORK/pulse/default.pa" 2>"$WORK/pulse/stderr" &
  SERVER_PIDS+=($!)
  server_log=$WORK/pulse/log
  export PULSE_SERVER=unix:$WORK/pulse/native
else
  # PipeWire, its session manager (which links the game's stream to the sink and needs a session
  # bus) and its PulseAudio server, each on the benchmark's runtime folder and bus.
  dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$WORK/pulse/bus" \
    2>"$WORK/pulse/dbus.log" &
  SERVER_PIDS+=($!)
  poll 50 test -s "$WORK/pulse/bus" || fail "the session bus did not start: $(cat "$WORK/pulse/dbus.log")"
  export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$WORK/pulse/bus")
  for daemon in pipewire wireplumber pipewire-pulse; do
    HOME=$WORK/pulse/home XDG_RUNTIME_DIR=$WORK/pulse/run "$daemon" >"$WORK/pulse/$daemon.log" 2>&1 &
    SERVER_PIDS+=($!)
    [ "$daemon" = pipewire ] && poll 50 test -S "$WORK/pulse/run/pipewire-0"
  done
  export PULSE_SERVER=unix:$WORK/pulse/run/pulse/native
fi
export PULSE_CLIENTCONFIG=$WORK/pulse/client.conf
poll 50 pactl info >/dev/null 2>&1 ||
  fail "the sound server did not start: $(cat "$WORK"/pulse/*.log "$WORK"/pulse/stderr 2>/dev/null)"
if [ "$server" = pipewire ]; then
  # The default sink is the session manager's to keep: it takes it once it is up.
  pactl load-module module-null-sink sink_name=bench >/dev/null &&
    poll 50 pactl set-default-sink bench 2>/dev/null || fail "cannot make PipeWire's null sink"
fi
echo "server: $(pactl info | sed -n 's/^Server Name: //p')"

preload=$(ldd "$WORK/rotorduel" | awk '/lib(asan|ubsan)\.so/ { printf "%s:", $3 }')$WORK/pa_write_log.so

# A start menu, where the game has one, is passed over: the round starts at once.
menu=()
"$WORK/rotorduel" --help 2>&1 | grep -q -- --menu && menu=(--menu off)

# setting NAME: the game's options and OpenAL Soft's settings for one period setting.
setting() {
  conf="[general]\ndrivers = pulse\n"
  options=()
  case $1 in
    3x128) ;;                                        # the game's default
    2x256) conf+="period_size = 256\nperiods = 2\n" ;; # the game's default until December 2026
    2x128) conf+="period_size = 128\nperiods = 2\n" ;;
    *) fail "unknown setting $1" ;;
  esac
  printf "$conf" >"$WORK/alsoft.conf"
}

run() { # SETTING LOAD ROUND
  setting "$1"
  export ALSOFT_CONF=$WORK/alsoft.conf ALSOFT_DRIVERS=pulse
  if [ "$2" = hog ]; then
    local i
    for ((i = 0; i < $(nproc); i++)); do
      sh -c 'while :; do :; done' &
      HOG_PIDS+=($!)
    done
  fi
  rm -f "$WORK/writes" "$WORK/underflows"
  # In a sanitized build the sanitizers' runtimes come first: what the logger's dlsym finds after
  # itself is then the C library's, which is what they look for.
  ROTORDUEL_PA_LOG=$WORK/writes ROTORDUEL_PA_UNDERFLOW_LOG=$WORK/underflows LD_PRELOAD=$preload \
    ASAN_OPTIONS=${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}verify_asan_link_order=0 game_start "${menu[@]}" "${options[@]}"
  GAME_WINDOW=
  game_focus
  sleep 2
  local lib
  lib=$(grep -o '/[^ ]*libopenal\.so[^ ]*' "/proc/$GAME_PID/maps" | head -n1)
  local classes
  classes=$(ps -L -o cls= -p "$GAME_PID" | sort | uniq -c | awk '{ printf "%s%s x%s", sep, $2, $1; sep = ", " }')
  echo "run: setting $1, load $2, round $3, server $server, $(uptime | sed 's/.*load average/load average/'), $lib, threads $classes"
  python3 "$BENCH/latency.py" press "$WORK/writes" "$WORK/underflows" "$server_log" "$presses" ||
    fail "the measurement failed"
  hog_stop
  press_key Escape
  game_wait 20
  [ "$GAME_STATUS" = 0 ] || fail "the game ended with status $GAME_STATUS"
  GAME_PID=
}

for ((r = 1; r <= rounds; r++)); do
  for load in $loads; do
    for s in $settings; do run "$s" "$load" "$r"; done
  done
done
