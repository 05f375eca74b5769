#!/usr/bin/env bash
# A full update through the transfer engine (stand-in to the removable test
# drive R:) against each of its stages alone, in interleaved rounds (medians
# printed; each whole run checked on the medium); 1 GiB in 24 items by default
# (the packages are kept in <build>/standin/cache for later runs).
#   bench/run_pipeline_bench.sh [--size SIZE] [--items N] [--rounds N]
# Needs a build tree made by scripts/test.sh (compilers, Wine prefix).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTRUNE_BUILD:-$root/build}
cmake --build "$build" --target bench_pipeline kestrune_install_ca >/dev/null
source "$root/scripts/wine-session.sh"
wine_session_start "$build"
trap wine_session_stop EXIT
/usr/bin/python3 "$root/bench/pipeline_bench.py" --build "$build" "$@"
