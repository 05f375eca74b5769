#!/usr/bin/env bash
# End-to-end update runs: for each profile the driver executable inside a
# stand-in instance of its own, then the checker on the target it updated.
#   run_update.sh <driver.exe> <build> <drive|folder|untouched> <gtest filter> <REGION:locale>...
# "untouched": runs on R: that must stay as it was (the driver checks it;
# the checker has no update to compare).
set -euo pipefail
exe=$1 build=$2 target=$3 filter=$4
shift 4
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
python=/usr/bin/python3
status=0
for profile in "$@"; do
  region=${profile%%:*} locale=${profile#*:}
  work=$(dirname "$exe")/runs/$locale-$target
  state=$work/standin
  downloads=$work/downloads
  rm -rf "$work"
  mkdir -p "$work"
  start=$(date +%s)
  echo "==== $region $locale $target ($filter)"
  snapshot=$work/at_fault
  if ! E2E_REGION=$region E2E_LANGUAGE=$locale E2E_TARGET=${target/untouched/drive} E2E_DOWNLOADS=$(winepath -w "$downloads" 2>/dev/null) \
      E2E_SNAPSHOT=$(winepath -w "$snapshot" 2>/dev/null) \
      "$python" "$root/tools/standin" run --root "$build/standin" --state "$state" --package-size 16K \
      --config-out "$(dirname "$exe")/config.json" -- wine "$exe" --gtest_color=no --gtest_filter="$filter"; then
    echo "[  FAILED  ] driver of $region $locale $target"
    status=1
    continue
  fi
  case "$target" in
    drive) checked=$build/drives/r mode=medium ;;
    folder) checked=$downloads mode=folder ;;
    untouched) checked= ;;
  esac
  if [ -n "$checked" ] && ! "$python" "$here/check_medium.py" --state "$state" --vehicle ts-corvin --target "$checked" --mode "$mode"; then
    echo "[  FAILED  ] checker of $region $locale $target"
    status=1
  fi
  # A fault's copies of the medium and the download folder: no version file
  # claimed a completion its files did not bear out.
  for kept in medium:medium downloads:folder; do
    [ -d "$snapshot" ] || break
    if ! "$python" "$here/check_medium.py" --state "$state" --vehicle ts-corvin --target "$snapshot/${kept%%:*}" \
        --mode "${kept#*:}" --versions-only; then
      echo "[  FAILED  ] version files at the fault, $region $locale ${kept%%:*}"
      status=1
    fi
  done
  echo "run $region $locale $target: $(( $(date +%s) - start )) s"
done
exit $status
