# Sourced by the test and run commands: a display and one persistent
# wineserver for the build tree's prefix, stopped again by wine_session_stop.
#   source scripts/wine-session.sh; wine_session_start <build>; ...; wine_session_stop
wine_session_start() {
  local build
  build=$(cd "$1" && pwd)
  export WINEPREFIX=$build/wineprefix WINEARCH=win64
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree=d;mshtml=d"
  # KESTRUNE_KEEP_DISPLAY=1 with a DISPLAY shows the windows there (the run command).
  if [ -z "${KESTRUNE_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    _kestrune_xvfb=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  # A daemon that inherits our pipes keeps the caller's shell from returning.
  wineserver -p </dev/null >/dev/null 2>&1
  # First start of the prefix in this server: warm it once.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

wine_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${_kestrune_xvfb:-}" ] && kill "$_kestrune_xvfb" >/dev/null 2>&1 || true
  _kestrune_xvfb=
}
