#!/usr/bin/env bash
# The Debian package, as a packager and a player meet it: a Release build of the game alone with
# testing off and no test library looked for, `cpack -G DEB`, the package's contents and fields,
# lintian with no error or warning left, and the program it installs run from another folder.
# Unpacked into a scratch root; when the test runs as root in CI (CI set), also installed for real
# and removed again.
#   tests/e2e/package.sh BUILD     (builds in BUILD/package)
set -eo pipefail
source "$(dirname "$0")/desktop.bash"  # fail, needs, expect_sound
src=$(cd "$HERE/../.." && pwd)
build="$(cd "$1" && pwd)/package"
needs cpack dpkg-deb dpkg-shlibdeps sox groff appstreamcli desktop-file-validate lintian
WORK=$(mktemp -d "${TMPDIR:-/tmp}/rotorduel-package.XXXXXX")
installed=
purge() { apt-get purge -y -qq -o DPkg::Lock::Timeout=300 rotorduel >/dev/null; }
trap '[ -z "$installed" ] || purge || true; rm -rf "$WORK"' EXIT
# Runs a step quietly, showing its output only when it fails.
quietly() { "${@:2}" >"$WORK/log" 2>&1 || { cat "$WORK/log"; fail "$1"; }; }

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
quietly configure cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "${launcher[@]}"
quietly build cmake --build "$build" --target rotorduel sounds
rm -f "$build"/rotorduel_*.deb
(cd "$build" && quietly cpack cpack -G DEB)
deb=$(echo "$build"/rotorduel_*.deb)
[ -f "$deb" ] || fail "cpack made no rotorduel_*.deb"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' >"$WORK/contents"
for f in usr/games/rotorduel usr/share/applications/rotorduel.desktop usr/share/man/man6/rotorduel.6.gz \
  usr/share/metainfo/io.github.rotorduel.RotorDuel.metainfo.xml usr/share/doc/rotorduel/LICENSE \
  usr/share/icons/hicolor/scalable/apps/rotorduel.svg usr/share/doc/rotorduel/changelog.gz; do
  grep -qx "./$f" "$WORK/contents" || fail "the package lacks $f"
done
sounds=$(grep -c '^\./usr/share/rotorduel/sounds/[^/]*\.wav$' "$WORK/contents")
[ "$sounds" = 34 ] || fail "the package holds $sounds recordings, not 34"
control=$(dpkg-deb -f "$deb" Section Depends)
grep -qx 'Section: games' <<<"$control" || fail "the section is not games: $control"
grep -q 'libsdl2-2.0-0.*' <<<"$control" && grep -q 'espeak-ng-data' <<<"$control" ||
  fail "the libraries' packages and espeak-ng-data are not all in Depends: $control"

# Lintian's errors and warnings (its notes and pedantic hints are left to the packager).
as_root=$( ((EUID)) || echo --allow-root)
lintian $as_root --fail-on error,warning --tag-display-limit 0 "$deb" >"$WORK/lintian" 2>&1 ||
  fail "lintian: $(grep -E '^[EW]: ' "$WORK/lintian" || cat "$WORK/lintian")"
root="$WORK/root"
dpkg -x "$deb" "$root"
zcat "$root/usr/share/doc/rotorduel/changelog.gz" | head -n1 | grep -qF "rotorduel ($version)" ||
  fail "the changelog's first entry is not for version $version"
quietly metainfo appstreamcli validate --no-net "$root"/usr/share/metainfo/*.xml
quietly "desktop entry" desktop-file-validate "$root/usr/share/applications/rotorduel.desktop"
man=$(zcat "$root/usr/share/man/man6/rotorduel.6.gz" | groff -man -ww -z -Tutf8 2>&1)
[ -z "$man" ] || fail "the manual page has faults: $man"

# PROGRAM plays from / for a few seconds with no display and its sound going to a WAV file: it
# must not report anything, and the room's loops must be in what it played.
printf '[general]\ndrivers = wave\n[wave]\nfile = %s/out.wav\n' "$WORK" >"$WORK/alsoft.conf"
plays() {
  local status=0
  [ "$(cd / && "$1" --version)" = "rotorduel $version" ] || fail "$1 --version"
  rm -f "$WORK/out.wav"
  (cd / && SDL_VIDEODRIVER=dummy ALSOFT_CONF="$WORK/alsoft.conf" ALSOFT_DRIVERS=wave \
    timeout 5 "$1" --speech builtin --menu off >/dev/null 2>"$WORK/stderr") || status=$?
  [ "$status" = 124 ] || [ "$status" = 0 ] || fail "$1 ended with $status"
  [ ! -s "$WORK/stderr" ] || fail "$1 reported something"
  expect_sound 0.005 "the room played by $1" "$WORK/out.wav"
}
plays "$root/usr/games/rotorduel"
# Alone in a folder, the program names both places it looked in.
mkdir "$WORK/alone" && cp "$root/usr/games/rotorduel" "$WORK/alone/"
status=0
(cd / && SDL_VIDEODRIVER=dummy ALSOFT_DRIVERS=null timeout 20 "$WORK/alone/rotorduel" --speech builtin --menu off 2>"$WORK/stderr") || status=$?
[ "$status" = 1 ] || fail "without its recordings the program ended with $status, not 1"
grep -qF "$WORK/alone/sounds" "$WORK/stderr" && grep -qF "$WORK/share/rotorduel/sounds" "$WORK/stderr" ||
  fail "the error does not name both places"

if [ "${EUID}" = 0 ] && [ -n "${CI:-}" ]; then
  if dpkg-query -W -f='${Status}' rotorduel 2>/dev/null | grep -q 'install ok installed'; then
    echo "rotorduel is already installed here: not installing over it"
  else
    installed=1
    quietly "apt-get install" apt-get install -y -qq -o DPkg::Lock::Timeout=300 "$deb"
    plays /usr/games/rotorduel
    purge
    installed=
    [ ! -e /usr/games/rotorduel ] || fail "removing the package left /usr/games/rotorduel"
    echo "installed with apt-get, played, removed"
  fi
fi
echo "PASS: $(basename "$deb") with $sounds recordings"
