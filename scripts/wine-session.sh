# Sourced by the test and run commands: a display and one persistent
# wineserver for the build tree's prefix, stopped again by wine_session_stop.
#   source scripts/wine-session.sh; wine_session_start <build>; ...; wine_session_stop
wine_session_start() {
  local build
  build=$(cd "$1" && pwd)
  export WINEPREFIX=$build/wineprefix WINEARCH=win64
  # Loader errors (a DLL that is not found or fails to start) stay visible:
  # without them a process that never ran shows nothing but its exit code.
  export WINEDEBUG=${WINEDEBUG:--all,err+module}
  export WINEDLLOVERRIDES="mscoree=d;mshtml=d"
  # KESTRUNE_KEEP_DISPLAY=1 with a DISPLAY shows the windows there (the run command).
  if [ -z "${KESTRUNE_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
    # Xvfb takes the first free display itself and writes its number once it
    # accepts connections: sessions of several build trees started at the
    # same moment never end up on one display.
    local numbers n=""
    numbers=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 3>"$numbers" &
    _kestrune_xvfb=$!
    for _ in $(seq 100); do
      n=$(head -n 1 "$numbers")
      [ -n "$n" ] && break
      sleep 0.1
    done
    rm -f "$numbers"
    if [ -z "$n" ]; then
      echo "wine session: Xvfb named no display" >&2
      wine_session_stop
      return 1
    fi
    export DISPLAY=":$n"
  fi
  # The session's server must be the persistent one. A server an earlier
  # command left ends a few seconds after its last program, and a test that
  # starts in that moment meets it going away: wait for it to end first.
  # A daemon that inherits our pipes keeps the caller's shell from returning.
  local status=0
  wineserver -p </dev/null >/dev/null 2>&1 || status=$?
  if [ "$status" -eq 2 ]; then
    timeout 15 wineserver -w </dev/null >/dev/null 2>&1 || true
    status=0
    wineserver -p </dev/null >/dev/null 2>&1 || status=$?
  fi
  if [ "$status" -ne 0 ]; then
    echo "wine session: no persistent wineserver for $WINEPREFIX (status $status; a program still runs in it?)" >&2
    # That server is not ours to stop: only the display goes.
    kill "${_kestrune_xvfb:-}" >/dev/null 2>&1 || true
    _kestrune_xvfb=
    return 1
  fi
  # First start of the prefix in this server: warm it once. A prefix that
  # cannot start a program says so here, not as a test that failed.
  status=0
  wine cmd /c exit </dev/null >/dev/null 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    echo "wine session: the first program in $WINEPREFIX ended with status $status" >&2
    wine_session_stop
    return 1
  fi
}

wine_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${_kestrune_xvfb:-}" ] && kill "$_kestrune_xvfb" >/dev/null 2>&1 || true
  _kestrune_xvfb=
}
