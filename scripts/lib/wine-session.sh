# Shared by the scripts that run Windows programs: an X server, and one persistent
# wineserver per prefix so that each program starts in a fraction of a second.

start_x_server() {
  # Our own server, whatever DISPLAY says: the tests must not depend on a desktop.
  local n
  for n in $(seq 90 199); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    PELORA_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    trap 'kill $PELORA_XVFB_PID 2>/dev/null' EXIT
    return 0
  done
  echo "no free X display" >&2
  return 1
}

wine_prefix_of() { sed -n 's/^export WINEPREFIX=//p' "$1/wine-run"; }

# Wine's own background processes (services, the desktop) start with the first program and
# inherit its output; started here, with output to nowhere, they never hold a test's pipe open.
start_wineserver() {
  WINEPREFIX=$(wine_prefix_of "$1") /usr/lib/wine/wineserver -p
  "$1/wine-run" cmd /c exit </dev/null >/dev/null 2>&1
}

stop_wineserver() { WINEPREFIX=$(wine_prefix_of "$1") /usr/lib/wine/wineserver -k 2>/dev/null || true; }
