#!/usr/bin/env bash
# One end-to-end update run: the driver executable inside a stand-in
# instance of its own, then the checker on the target it updated.
#   run_update.sh <driver.exe> <build> <region> <locale> <drive|folder> [gtest filter]
set -euo pipefail
exe=$1 build=$2 region=$3 locale=$4 target=$5 filter=${6:-UpdateRun.MainRoad}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
python=/usr/bin/python3
work=$(dirname "$exe")/runs/$locale-$target
state=$work/standin
downloads=$work/downloads
rm -rf "$work"
mkdir -p "$work"
start=$(date +%s)
E2E_REGION=$region E2E_LANGUAGE=$locale E2E_TARGET=$target E2E_DOWNLOADS=$(winepath -w "$downloads" 2>/dev/null) \
  "$python" "$root/tools/standin" run --root "$build/standin" --state "$state" --package-size 16K \
  --config-out "$(dirname "$exe")/config.json" -- wine "$exe" --gtest_color=no --gtest_filter="$filter"
echo "driver done in $(( $(date +%s) - start )) s"
case "$target" in
  drive) checked=$build/drives/r; mode=medium ;;
  folder) checked=$downloads; mode=folder ;;
esac
"$python" "$here/check_medium.py" --state "$state" --vehicle ts-corvin --target "$checked" --mode "$mode"
echo "run $locale $target: $(( $(date +%s) - start )) s"
