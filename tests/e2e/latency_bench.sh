#!/usr/bin/env bash
# The latency benchmark still runs, on each sound server it knows that is installed: a few presses
# measured, with the server's underflows counted. Its figures are not checked: they are the
# machine's.
here=$(cd "$(dirname "$0")" && pwd)
installed() { for tool; do command -v "$tool" >/dev/null || return 1; done; }
for server in pulseaudio pipewire; do
  case $server in
    pulseaudio) installed pulseaudio pactl ;;
    pipewire) installed pipewire pipewire-pulse wireplumber dbus-daemon pactl ;;
  esac || { echo "SKIPPED $server: not installed"; continue; }
  out=$("$here/../../bench/latency.sh" "$1" 1 3 3x128 idle "$server" 2>&1) ||
    { echo "FAIL: the benchmark on $server failed: $out" >&2; exit 1; }
  echo "$out" | grep '^result: '
  grep -Eq '^result: key to mix n=[1-9][0-9]* .*; underruns [0-9-]+; underflows [0-9]+;' <<<"$out" ||
    { echo "FAIL: no run measured on $server: $out" >&2; exit 1; }
done
