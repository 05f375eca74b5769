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
# An entry that fails is run once more; both runs keep their log
# (Testing/first-run.log, Testing/rerun.log) and the entries that needed
# the second run are named at the end: a rerun hides a fault, so the list
# is meant to stay empty.
logs="$build/Testing"
mkdir -p "$logs"
rm -f "$logs/first-run.log" "$logs/rerun.log" "$logs/first-run-failed.txt"
# Entries labelled long (minutes of the program's own retry waits) run only
# with KESTRUNE_LONG_TESTS=1.
select=()
[ "${KESTRUNE_LONG_TESTS:-0}" = 1 ] || select=(-LE long)
(cd "$build" && ctest --output-on-failure -j "$jobs" --output-log "$logs/first-run.log" "${select[@]}" "$@") || status=$?
reruns=""
if [ "$status" -ne 0 ] && [ -s "$build/Testing/Temporary/LastTestsFailed.log" ]; then
  cp "$build/Testing/Temporary/LastTestsFailed.log" "$logs/first-run-failed.txt"
  reruns=$(sed 's/^[0-9]*://' "$logs/first-run-failed.txt" | tr '\n' ' ')
  status=0
  (cd "$build" && ctest --output-on-failure --rerun-failed -j "$jobs" --output-log "$logs/rerun.log") || status=$?
fi
t3=$(date +%s)

if [ -n "$reruns" ]; then
  printf '\n[rerun] entries that failed their first run: %s\n' "$reruns"
  printf '[rerun] logs: %s, %s\n' "$logs/first-run.log" "$logs/rerun.log"
else
  printf '\n[rerun] none\n'
fi

printf '\n[time] set-up %ds, build %ds, tests %ds, total %ds\n' \
  $((t1 - t0)) $((t2 - t1)) $((t3 - t2)) $((t3 - t0))
exit $status
