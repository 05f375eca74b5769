#!/usr/bin/env bash
# The engine's tests under Wine's heap checking (WINEDEBUG=warn+heap: freed
# blocks are filled and held back, every block handed to the heap is
# checked). First the probe shows that the mode reports each injected fault
# (a double free, a write after free, a read through a freed object) and
# stays quiet without one; otherwise a clean run would prove nothing.
#   tests/engine/heap_check.sh [gtest filter, default the whole runs]
# Needs a built tree (test_engine, heap_fault_probe) with its Wine prefix.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${KESTRUNE_BUILD:-$root/build}
filter=${1:-Pipeline.*:RunChange.*:CommandThread.*}
source "$root/scripts/wine-session.sh"
wine_session_start "$build"
trap wine_session_stop EXIT
out="$build/Testing/heap_check"
mkdir -p "$out"
probe="$build/tests/engine/heap_fault_probe.exe"
# What the mode must print for each fault (a heap message or a fault on
# the fill pattern of freed blocks).
declare -A expect=(
  [none]=''
  [double-free]=':heap:'
  [write-after-free]=':heap:'
  [read-after-free]=':heap:|Unhandled page fault'
)
status=0
for fault in none double-free write-after-free read-after-free; do
  WINEDEBUG=warn+heap wine "$probe" "$fault" >"$out/probe-$fault.txt" 2>&1 </dev/null
  if [ -z "${expect[$fault]}" ]; then
    if grep -qE ':heap:|Unhandled' "$out/probe-$fault.txt"; then
      echo "[heap] the probe without a fault is reported: the mode's messages mean nothing"; status=1
    else
      echo "[heap] probe none: quiet"
    fi
  elif grep -qE "${expect[$fault]}" "$out/probe-$fault.txt"; then
    echo "[heap] probe $fault: caught ($(grep -m1 -oE "${expect[$fault]}.{0,60}" "$out/probe-$fault.txt"))"
  else
    echo "[heap] probe $fault: NOT caught"; status=1
  fi
done
[ $status -eq 0 ] || { echo "[heap] the mode does not catch the faults: engine tests not run"; exit 1; }

# The engine's entry with the filter (GoogleTest reads it from the
# environment); its output is searched for the mode's messages.
(cd "$build" && GTEST_FILTER="$filter" WINEDEBUG=warn+heap ctest -R '^engine$' -V \
   >"$out/engine.txt" 2>&1) || status=$?
echo "[heap] engine tests ($filter): ctest exit $status, log $out/engine.txt"
grep -E '\[  PASSED  \]|\[  FAILED  \]' "$out/engine.txt" | sed 's/^[0-9]*: /[heap]   /'
if grep -E ':heap:|Unhandled' "$out/engine.txt" >"$out/engine-heap.txt"; then
  echo "[heap] heap messages in the engine tests: $(wc -l <"$out/engine-heap.txt") (see $out/engine-heap.txt)"
  head -5 "$out/engine-heap.txt"
  status=1
else
  echo "[heap] no heap message in the engine tests"
fi
exit $status
