#!/usr/bin/env bash
# Runs the program under Wine against a local stand-in of its web service,
# installed as an installer would install it.
#   scripts/run.sh [--region CODE] [--language LOCALE]     (US and en-US by default)
#   scripts/run.sh ... --driver CMD   runs CMD against the started program (the
#     program's pid in KESTRUNE_PROGRAM_PID, its folder in KESTRUNE_INSTALL, the
#     stand-in's state in KESTRUNE_STANDIN_STATE); the exit code is CMD's. For
#     the run the test formatting library is the prefix's, in a mode that only
#     empties R: or S: (Wine has none: every format would fail).
# Build tree: ./build, or $KESTRUNE_BUILD. Uses $DISPLAY when set, else a
# display of its own (Xvfb: nothing to see, the program still runs).
# Builds only what the program needs, not the tests and benchmarks.
set -euo pipefail

# What the program knows (foundation/code_tables.cpp).
regions="US KR IN ME IR NZ BR CA EU AU VN RU TR"
locales="ko-KR en-US fr-EU fr-CA es-US pt-EU ru-EU de-EU it-EU tr-EU ar-AR en-EU es-EU"
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTRUNE_BUILD:-$root/build}
region=US
language=en-US
driver=
while [ $# -gt 0 ]; do
  case "$1" in
    --region) region=${2:?--region needs a code}; shift 2 ;;
    --language) language=${2:?--language needs a locale}; shift 2 ;;
    --driver) driver=${2:?--driver needs a command}; shift 2 ;;
    -h|--help) sed -n '2,11p' "$0"; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done
region=$(printf '%s' "$region" | tr '[:lower:]' '[:upper:]')
# An unknown code would run silently in English with language "NIL".
case " $regions " in *" $region "*) ;; *)
  echo "unknown region '$region'; the program knows: $regions" >&2; exit 2 ;; esac
case " $locales " in *" $language "*) ;; *)
  echo "unknown locale '$language'; the program knows: $locales" >&2; exit 2 ;; esac

"$root/scripts/setup.sh" "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
targets="Kestrune lang_library kestrune_install_ca brand_fonts"
[ -n "$driver" ] && targets="$targets engine_drives_fmifs"
# shellcheck disable=SC2086
cmake --build "$build" -j "$(nproc)" --target $targets
build=$(cd "$build" && pwd)

source "$root/scripts/wine-session.sh"
KESTRUNE_KEEP_DISPLAY=1 wine_session_start "$build"
standin_pid=
formatter=$WINEPREFIX/drive_c/windows/system32/fmifs.dll
cleanup() {
  [ -n "$driver" ] && rm -f "$formatter"
  [ -n "$standin_pid" ] && kill "$standin_pid" 2>/dev/null && wait "$standin_pid" 2>/dev/null || true
  wine_session_stop
  # The test drives are the tests' again: empty, as they expect them.
  rm -rf "$build/drives/r/swversion"
}
trap cleanup EXIT

python=/usr/bin/python3
standin_root=$build/standin
# Fonts and the stand-in's CA, as the tests' fixtures install them.
sh "$root/resources/fonts/install_fonts.sh" "$build/resources/fonts/files"
"$python" "$root/tools/standin" ca --root "$standin_root" --install "$build/tools/kestrune_install_ca.exe" \
  --wine wine >/dev/null

# The installed program: its folder holds the program, the language
# library, config.json and the documents folder.
install=$build/run/Kestrune
mkdir -p "$install/Eula" "$install/Info"
cp "$build/shell/program/Kestrune.exe" "$build/shell/program/Lang.dll" "$install/"
# The terms and consent documents the installer puts into "Eula".
cp "$root"/resources/documents/TermsOfUse_*.rtf "$root"/resources/documents/License_*.rtf "$install/Eula/"

state=$build/run/standin
rm -rf "$state"
mkdir -p "$state"
"$python" "$root/tools/standin" serve --root "$standin_root" --state "$state" --package-size 1M \
  --config-out "$install/config.json" >"$state/serve.json" 2>"$state/serve.log" &
standin_pid=$!
for _ in $(seq 600); do
  [ -s "$state/serve.json" ] && [ -f "$install/config.json" ] && break
  kill -0 "$standin_pid" 2>/dev/null || { cat "$state/serve.log" >&2; exit 1; }
  sleep 0.1
done
[ -f "$install/config.json" ] || { echo "the stand-in did not start" >&2; exit 1; }

# The self-update list of the stand-in: every file counts as current. The
# local list holds version and path only, and a listed file that the
# installation lacks is fetched, as a self-update would have left it.
update=$("$python" -c 'import json,sys; c=json.load(open(sys.argv[1])); print(c["LIVEUPDATE_URL"] + c["UPDATEFILE_PATH"])' \
  "$install/config.json")
if curl -sf --cacert "$standin_root/ca/ca.pem" "${update%/}/UpdateInfo.txt" -o "$state/UpdateInfo.txt"; then
  tr -d '\r' <"$state/UpdateInfo.txt" | awk -F'|' 'NF >= 2 { printf "%s|%s\r\n", $1, $2 }' \
    >"$install/Info/UpdateInfo.txt"
  tr -d '\r' <"$state/UpdateInfo.txt" | cut -d'|' -f2 | while read -r path; do
    [ -e "$install$path" ] || curl -sf --cacert "$standin_root/ca/ca.pem" --create-dirs "${update%/}$path" -o "$install$path" || true
  done
else
  echo "no self-update list" >&2
fi

# What the installer writes, and the sample vehicle on R: (S: stays empty).
win_install=$(winepath -w "$install")
key='HKCU\Software\Corvessa\Kestrune'
wine reg add "$key" /v InstallPath /t REG_SZ /d "$win_install" /f >/dev/null 2>&1
wine reg add "$key\\Settings" /v Region /t REG_SZ /d "$region" /f >/dev/null 2>&1
wine reg add "$key\\Settings" /v Language /t REG_SZ /d "$language" /f >/dev/null 2>&1
wine reg add "$key" /v LiveUpdateRunning /t REG_DWORD /d 0 /f >/dev/null 2>&1
rm -rf "$build/drives/r" "$build/drives/s"
mkdir -p "$build/drives/r/swversion" "$build/drives/s"
printf 'USA.TS.A01.000.SD.STD_240501\r\n' >"$build/drives/r/swversion/swversion.info"

if [ -n "$driver" ]; then
  cp "$build/tests/engine_drives/fmifs.dll" "$formatter"
  export KESTRUNE_FMIFS_MODE=empty
  echo "Dealer account: sign in as 'ts.road', password 'Tessaly#2024' (brand TS, any region)."
fi

# The first member account of the stand-in that lives in the chosen region.
"$python" - "$root/tools/standin/scenarios/default.json" "$region" "$state/serve.json" <<'PY'
import json, sys
scenario, region, serve = sys.argv[1:]
accounts = json.load(open(scenario, encoding="utf-8"))["accounts"]
usable = [a for a in accounts if a.get("region") == region and a.get("vehicles") and not a.get("dealer")
          and not a.get("results") and not a.get("guid")]
if usable:
    a = usable[0]
    print(f"Sign in as '{a['id']}', password '{a['password']}' (brand {a['brand']}).")
else:
    where = sorted({a["region"] for a in accounts if a.get("region") and a.get("vehicles")})
    print(f"No account of the stand-in lives in region {region}; accounts live in: {' '.join(where)}.")
described = json.load(open(serve, encoding="utf-8"))
print(f"Stand-in at {described['address']} ({described['urls']['api']}); state folder {described['state']}.")
PY
echo "Region $region, language $language."
# Wine reports every start that the Z: drive may not be read as a device;
# nothing is wrong, so that line is left out.
if [ -n "$driver" ]; then
  (cd "$install" && exec wine "$install/Kestrune.exe" </dev/null >/dev/null 2>&1) &
  program_pid=$!
  status=0
  KESTRUNE_PROGRAM_PID=$program_pid KESTRUNE_INSTALL=$install KESTRUNE_STANDIN_STATE=$state \
    bash -c "$driver" </dev/null || status=$?
  kill "$program_pid" 2>/dev/null || true
  exit "$status"
fi
(cd "$install" && wine "$install/Kestrune.exe" </dev/null 2> >(grep -v -i --line-buffered 'read access denied for device' >&2)) || true
