#!/usr/bin/env bash
# The HTTP download worker against curl: one large file over HTTP and HTTPS from a
# local stand-in service on loopback (1 GiB by default; the package is kept
# in <build>/standin/cache for later runs).
#   bench/run_download_bench.sh [--size SIZE] [--runs N] [--schemes http,https] [--rate BYTES_PER_S]
# Needs a build tree made by scripts/test.sh (compilers, Wine prefix).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTRUNE_BUILD:-$root/build}
cmake --build "$build" --target bench_download kestrune_install_ca >/dev/null
source "$root/scripts/wine-session.sh"
wine_session_start "$build"
trap wine_session_stop EXIT
/usr/bin/python3 "$root/bench/download_bench.py" --build "$build" "$@"
