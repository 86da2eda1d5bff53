#!/usr/bin/env bash
# The Debian package, as a packager and a player meet it: a Release build of the game alone with
# testing off and no test library looked for, `cpack -G DEB`, the package's contents and fields,
# and the program it installs run from another folder. Unpacked into a scratch root; when the test
# runs as root in CI (CI set), also installed for real and removed again.
#   tests/e2e/package.sh BUILD     (builds in BUILD/package)
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
build="$(cd "$1" && pwd)/package"
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in cpack dpkg-deb dpkg-shlibdeps sox groff appstreamcli desktop-file-validate; do
  command -v "$tool" >/dev/null || fail "the test needs $tool"
done
work=$(mktemp -d "${TMPDIR:-/tmp}/rotorduel-package.XXXXXX")
installed=
cleanup() {
  [ -z "$installed" ] || apt-get purge -y -qq -o DPkg::Lock::Timeout=300 rotorduel >/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "${launcher[@]}" >"$work/log" || { cat "$work/log"; fail "configure"; }
cmake --build "$build" --target rotorduel sounds >"$work/log" || { cat "$work/log"; fail "build"; }
rm -f "$build"/rotorduel_*.deb
(cd "$build" && cpack -G DEB >"$work/log") || { cat "$work/log"; fail "cpack"; }
deb=$(echo "$build"/rotorduel_*.deb)
[ -f "$deb" ] || fail "cpack made no rotorduel_*.deb"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

echo "--- $(basename "$deb")"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort | tee "$work/contents"
for f in usr/bin/rotorduel usr/share/applications/rotorduel.desktop usr/share/man/man6/rotorduel.6 \
  usr/share/metainfo/io.github.rotorduel.RotorDuel.metainfo.xml usr/share/doc/rotorduel/LICENSE \
  usr/share/icons/hicolor/scalable/apps/rotorduel.svg; do
  grep -qx "./$f" "$work/contents" || fail "the package lacks $f"
done
sounds=$(grep -c '^\./usr/share/rotorduel/sounds/[^/]*\.wav$' "$work/contents")
[ "$sounds" = 31 ] || fail "the package holds $sounds recordings, not 31"
control=$(dpkg-deb -f "$deb" Section Depends Maintainer)
echo "$control"
grep -qx 'Section: games' <<<"$control" || fail "the section is not games"
grep -q 'libsdl2-2.0-0.*' <<<"$control" || fail "the libraries' packages are not in Depends"
grep -q 'espeak-ng-data' <<<"$control" || fail "espeak-ng-data is not in Depends"

root="$work/root"
dpkg -x "$deb" "$root"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.xml >"$work/log" || { cat "$work/log"; fail "metainfo"; }
desktop-file-validate "$root/usr/share/applications/rotorduel.desktop" || fail "desktop entry"
man=$(groff -man -ww -z -Tutf8 "$root/usr/share/man/man6/rotorduel.6" 2>&1)
[ -z "$man" ] || fail "the manual page has faults: $man"

# PROGRAM plays from / for a few seconds with no display and its sound going to a WAV file: it
# must not report anything, and the room's loops must be in what it played.
plays() {
  local program=$1 status=0
  printf '[general]\ndrivers = wave\n[wave]\nfile = %s/out.wav\n' "$work" >"$work/alsoft.conf"
  rm -f "$work/out.wav"
  (cd / && SDL_VIDEODRIVER=dummy ALSOFT_CONF="$work/alsoft.conf" ALSOFT_DRIVERS=wave \
    timeout 5 "$program" --speech builtin >/dev/null 2>"$work/stderr") || status=$?
  [ "$status" = 124 ] || [ "$status" = 0 ] || fail "$program ended with $status: $(cat "$work/stderr")"
  [ ! -s "$work/stderr" ] || fail "$program reported: $(cat "$work/stderr")"
  local rms
  rms=$(sox "$work/out.wav" -n stat 2>&1 | awk '/^RMS +amplitude/ { print $3 }')
  awk -v r="${rms:-0}" 'BEGIN { exit !(r > 0.005) }' || fail "$program played no room (RMS ${rms:-none})"
}

[ "$(cd / && "$root/usr/bin/rotorduel" --version)" = "rotorduel $version" ] || fail "--version"
plays "$root/usr/bin/rotorduel"
# Alone in a folder, the program names both places it looked in.
mkdir "$work/alone" && cp "$root/usr/bin/rotorduel" "$work/alone/"
status=0
(cd / && SDL_VIDEODRIVER=dummy ALSOFT_DRIVERS=null timeout 20 "$work/alone/rotorduel" --speech builtin 2>"$work/stderr") || status=$?
[ "$status" = 1 ] || fail "without its recordings the program ended with $status, not 1"
grep -qF "$work/alone/sounds" "$work/stderr" && grep -qF "$work/share/rotorduel/sounds" "$work/stderr" ||
  fail "the error does not name both places: $(cat "$work/stderr")"

if [ "${EUID}" = 0 ] && [ -n "${CI:-}" ]; then
  if dpkg-query -W -f='${Status}' rotorduel 2>/dev/null | grep -q 'install ok installed'; then
    echo "rotorduel is already installed here: not installing over it"
  else
    installed=1
    apt-get install -y -qq -o DPkg::Lock::Timeout=300 "$deb" >"$work/log" || { cat "$work/log"; fail "apt-get install"; }
    [ "$(cd / && rotorduel --version)" = "rotorduel $version" ] || fail "the installed --version"
    plays /usr/bin/rotorduel
    apt-get purge -y -qq -o DPkg::Lock::Timeout=300 rotorduel >/dev/null
    installed=
    [ ! -e /usr/bin/rotorduel ] || fail "removing the package left /usr/bin/rotorduel"
    echo "installed with apt-get, played, removed"
  fi
fi
echo "PASS: $(basename "$deb") with $sounds recordings"
