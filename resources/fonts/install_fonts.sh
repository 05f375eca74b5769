#!/bin/sh
# Installs the stand-in brand fonts into $WINEPREFIX as the installer does:
# the files into the Fonts folder and their names under HKLM's Fonts key.
#   install_fonts.sh <folder of the generated fonts>
set -eu
src=$1
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
fonts=$WINEPREFIX/drive_c/windows/Fonts
mkdir -p "$fonts"
for f in KestruneTessaly-Regular.ttf KestruneTessaly-Bold.ttf KestruneLuvo-Regular.ttf \
         KestruneLuvo-Bold.ttf KestruneDravane-Regular.ttf KestruneDravane-Bold.ttf \
         DROIDSANS.TTF DejaVuSans-Bold.ttf; do
  cmp -s "$src/$f" "$fonts/$f" || cp "$src/$f" "$fonts/$f"
done
# Tahoma, the Arabic face of one brand, comes with Wine's own fonts.
for f in tahoma.ttf tahomabd.ttf; do
  [ -f "/usr/share/wine/fonts/$f" ] && ! cmp -s "/usr/share/wine/fonts/$f" "$fonts/$f" && cp "/usr/share/wine/fonts/$f" "$fonts/$f"
done
reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
cat >"$reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Fonts]
"KestruneTessaly Bold"="KestruneTessaly-Bold.ttf"
"KestruneTessaly Regular"="KestruneTessaly-Regular.ttf"
"KestruneDravane Bold"="KestruneDravane-Bold.ttf"
"KestruneDravane Regular"="KestruneDravane-Regular.ttf"
"KestruneLuvo Bold"="KestruneLuvo-Bold.ttf"
"KestruneLuvo Regular"="KestruneLuvo-Regular.ttf"
"DejaVu Sans Bold"="DejaVuSans-Bold.ttf"
"DejaVu Sans"="DROIDSANS.TTF"
"Tahoma (TrueType)"="tahoma.ttf"
"Tahoma Bold (TrueType)"="tahomabd.ttf"
REG
wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" </dev/null >/dev/null 2>&1
# Tahoma and DejaVu Sans have no Hangul (a language list shows Korean in
# every UI language): they borrow it from Nanum through font linking, as
# Windows links its own faces. Links are looked up by full face name.
link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
for face in Tahoma "DejaVu Sans"; do
  wine reg add "$link" /v "$face" /t REG_MULTI_SZ /d 'NanumGothic.ttf,NanumGothic' /f </dev/null >/dev/null 2>&1
  wine reg add "$link" /v "$face Bold" /t REG_MULTI_SZ /d 'NanumGothicBold.ttf,NanumGothic' /f </dev/null >/dev/null 2>&1
done
echo "fonts installed into $fonts"
