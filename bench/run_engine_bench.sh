#!/usr/bin/env bash
# The engine's copy + verify to the removable test drive R: against a bare
# write-through loop that reads the copy back once, and its unzip + verify
# against Info-ZIP unzip + cksum. About 1 GiB each by default.
#   bench/run_engine_bench.sh [--copy-large N,MiB] [--copy-small N,KiB] [--zip-mib N]
# Needs a build tree made by scripts/test.sh (compilers, Wine prefix).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTRUNE_BUILD:-$root/build}
cmake --build "$build" --target bench_engine >/dev/null
source "$root/scripts/wine-session.sh"
wine_session_start "$build"
trap wine_session_stop EXIT
/usr/bin/python3 "$root/bench/engine_bench.py" --build "$build" "$@"
