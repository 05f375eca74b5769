#!/usr/bin/env bash
# Creates the Wine prefix of a build tree and maps two removable test drives:
# R: and S:, folders under <build>/drives typed "floppy" so that
# GetDriveTypeW reports DRIVE_REMOVABLE for them.
set -euo pipefail
# Wine takes only an absolute prefix, and the drive links must resolve
# from inside it.
mkdir -p "$1"
build=$(cd "$1" && pwd)
export WINEPREFIX=$build/wineprefix WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installers: there is no network to fetch them from.
export WINEDLLOVERRIDES="mscoree=d;mshtml=d"
stamp=$WINEPREFIX/.kestrune-drives
font_stamp=$WINEPREFIX/.kestrune-fonts
# Arial is not on the machine; text drawn in it falls back to DejaVu Sans.
if [ -f "$WINEPREFIX/system.reg" ] && [ ! -f "$font_stamp" ]; then
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d "DejaVu Sans" /f </dev/null >/dev/null 2>&1
  wineserver -w || true
  touch "$font_stamp"
fi
# No window manager runs on the test display: windows Wine leaves to one
# cost a two-second wait each time they are hidden. Wine manages them itself.
if [ -f "$WINEPREFIX/system.reg" ] && [ ! -f "$WINEPREFIX/.kestrune-unmanaged" ]; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  wineserver -w || true
  touch "$WINEPREFIX/.kestrune-unmanaged"
fi
[ -f "$stamp" ] && exit 0

mkdir -p "$build"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "[setup] creating Wine prefix $WINEPREFIX"
  wineboot -i </dev/null >/dev/null 2>&1 || true
  wineserver -w
fi
for d in r s; do
  mkdir -p "$build/drives/$d"
  ln -sfn "$build/drives/$d" "$WINEPREFIX/dosdevices/$d:"
  wine reg add 'HKLM\Software\Wine\Drives' /v "$d:" /d floppy /f </dev/null >/dev/null 2>&1
done
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d "DejaVu Sans" /f </dev/null >/dev/null 2>&1
touch "$font_stamp"
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
touch "$WINEPREFIX/.kestrune-unmanaged"
# A crashing test process must never wait for a debugger dialog.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
# Drive types are read when the server starts.
wineserver -k || true
wineserver -w || true
touch "$stamp"
