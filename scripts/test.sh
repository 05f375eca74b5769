#!/usr/bin/env bash
# The one test command: set-up, build, every test under Wine.
#   scripts/test.sh            (build tree: ./build, or $KESTRUNE_BUILD)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTRUNE_BUILD:-$root/build}
jobs=$(nproc)

t0=$(date +%s)
"$root/scripts/setup.sh" "$build"
t1=$(date +%s)

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" -j "$jobs"
t2=$(date +%s)

source "$root/scripts/wine-session.sh"
wine_session_start "$build"
trap wine_session_stop EXIT
status=0
# Timing under Wine and one shared display is not a machine's own: an entry
# that fails is run once more, and both runs are in the log.
(cd "$build" && ctest --output-on-failure --repeat until-pass:2 -j "$jobs" "$@") || status=$?
t3=$(date +%s)

printf '\n[time] set-up %ds, build %ds, tests %ds, total %ds\n' \
  $((t1 - t0)) $((t2 - t1)) $((t3 - t2)) $((t3 - t0))
exit $status
