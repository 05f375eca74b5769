#!/usr/bin/env bash
# Many whole updates in a row through the transfer engine (stand-in to the
# removable test drive R:), one process each, every one checked; one log
# line per run with the machine's load, failures kept with their files.
#   bench/run_whole_runs.sh --log FILE [--size 1G] [--items 24] [--count 200]
# Needs a build tree made by scripts/test.sh (compilers, Wine prefix); it
# empties that tree's drive R: before every run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTRUNE_BUILD:-$root/build}
cmake --build "$build" --target bench_pipeline kestrune_install_ca >/dev/null
source "$root/scripts/wine-session.sh"
wine_session_start "$build"
trap wine_session_stop EXIT
/usr/bin/python3 "$root/bench/whole_runs.py" --build "$build" "$@"
