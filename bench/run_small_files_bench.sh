#!/usr/bin/env bash
# Many small files: the zip reader against a bare create/write/close loop and
# Info-ZIP unzip (packages kept in <build>/bench/smallfiles/).
#   bench/run_small_files_bench.sh [--files N] [--runs N] [--kind both|nested|flat]
# Needs a build tree made by scripts/test.sh (compilers, Wine prefix).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTRUNE_BUILD:-$root/build}
cmake --build "$build" --target bench_ziparchive >/dev/null
source "$root/scripts/wine-session.sh"
wine_session_start "$build"
trap wine_session_stop EXIT
/usr/bin/python3 "$root/bench/small_files_bench.py" --build "$build" "$@"
