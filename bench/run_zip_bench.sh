#!/usr/bin/env bash
# Zip reader against Info-ZIP unzip on a ~1 GiB package (kept in
# <build>/bench/zip/ for later runs; about 3 GiB of disk while it runs).
#   bench/run_zip_bench.sh [--size-mib N] [--runs N]
# Needs a build tree made by scripts/test.sh (compilers, Wine prefix).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTRUNE_BUILD:-$root/build}
cmake --build "$build" --target bench_ziparchive >/dev/null
source "$root/scripts/wine-session.sh"
wine_session_start "$build"
trap wine_session_stop EXIT
/usr/bin/python3 "$root/bench/zip_bench.py" --build "$build" "$@"
