#!/bin/bash
# The layers of src/, each above the one it uses, checked by what each file includes:
# - the ground (base/): the values, the rules and the game's error type; it includes nothing of
#   the project but itself;
# - the platform's contract (platform/*.h): the ground and itself;
# - the game (game/, sound/, controls/, sim/, opponent/, outcomes/): the ground, itself and the
#   platform's contract, never a backend (platform/<backend>/) nor a library the backends wrap.
# usage: tests/layering.sh SRC_DIR
set -u
src=${1:?usage: layering.sh SRC_DIR}
cd "$src" || exit 2
status=0

# Prints each `#include "..."` of the files given as "file: header".
includes() { grep -H -o '^#include "[^"]*"' "$@" 2>/dev/null | sed 's/:#include "/: /; s/"$//'; }

refuse() {  # refuse WHAT ALLOWED_REGEX FILES...
  local what=$1 allowed=$2
  shift 2
  while IFS= read -r line; do
    echo "layering: $what: $line"
    status=1
  done < <(includes "$@" | grep -Ev ": ($allowed)$")
}

refuse "the ground includes only itself" 'base/[a-z_]+\.h' base/*.h base/*.cpp
refuse "the platform's contract includes only the ground and itself" \
  'base/[a-z_]+\.h|platform/[a-z_]+\.h' platform/*.h
game=(game sound controls sim opponent outcomes)
refuse "the game includes no backend" \
  '(base|game|sound)/[a-z_]+\.(h|def)|platform/[a-z_]+\.h' \
  $(for d in "${game[@]}"; do ls "$d"/*.h "$d"/*.cpp 2>/dev/null; done)
# The libraries the backends wrap, included with angle brackets.
if grep -n -E '^#include <(SDL|AL/|espeak|libspeechd|speech-dispatcher)' \
  $(for d in base "${game[@]}"; do ls "$d"/*.h "$d"/*.cpp 2>/dev/null; done) platform/*.h; then
  echo "layering: a library of a backend is included above"
  status=1
fi
exit $status
