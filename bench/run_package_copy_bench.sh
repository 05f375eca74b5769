#!/usr/bin/env bash
# The package route of the copy (a package folder of many small files,
# each copied and read back) against the bare write-through loop with an
# unbuffered read-back, on the removable test drive R:; then what each of
# the per-file calls a package copy can make costs alone (microseconds per
# file).
#   bench/run_package_copy_bench.sh [files, default 20000] [bytes per file, default 2048]
# Needs a build tree made by scripts/test.sh (compilers, Wine prefix).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTRUNE_BUILD:-$root/build}
files=${1:-20000}
size=${2:-2048}
cmake --build "$build" --target bench_engine >/dev/null
source "$root/scripts/wine-session.sh"
wine_session_start "$build"
trap wine_session_stop EXIT
work="$build/bench/package_copy"
rm -rf "$work"
mkdir -p "$work/source"
source_win=$(winepath -w "$work/source")
wine "$build/bench/bench_engine.exe" tree "$source_win" 'R:\' "$files" "$size" | tee "$work/result.txt"
awk '{ for (i = 1; i <= NF; ++i) { split($i, kv, "="); f[kv[1]] = kv[2] }
       printf "[package copy] files=%s engine=%ss bare=%ss ratio=%.2f (goal: 1.5 or less)\n",
              f["files"], f["engine"], f["bare"], f["engine"] / f["bare"] }' "$work/result.txt"
wine "$build/bench/bench_engine.exe" treecost "$source_win" 'R:\' "$files" "$size" | tee "$work/cost.txt"
