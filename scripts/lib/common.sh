# shellcheck shell=bash
# Sourced by the scripts that need a virtual display, a Wine session or a clock: one way to start
# each, shared by the test steps, the screenshots and the benchmarks.

# Starts Xvfb on a free display, with the display's number written to FOLDER/display, and exports
# DISPLAY; its process id is left in xvfb_pid. Any local user may connect. Fails, with the server
# ended and xvfb_pid empty, when the display is not up within ten seconds.
#   start_xvfb FOLDER
start_xvfb() {
  local number="$1/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$number" ] && break; sleep 0.1; done
  if [ ! -s "$number" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
    return 1
  fi
  DISPLAY=":$(cat "$number")"
  export DISPLAY
}

# A throwaway Wine prefix in FOLDER/prefix, made at Wine's first start, with Wine's debug output off
# and no .NET or web engine, which Wine would otherwise offer to download.
#   use_wine_prefix FOLDER
use_wine_prefix() {
  export WINEPREFIX="$1/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

# Ends every program of the Wine prefix in use, and its server.
stop_wine() { wineserver -k >/dev/null 2>&1 || true; }

# Wall time of a command in seconds, its output discarded; the command's exit status is returned,
# so that a run that failed is not taken for a figure. Bash's own clock: starting a date process
# before and after would be timed too.
#   seconds COMMAND [ARGUMENT...]
seconds() {
  local start=$EPOCHREALTIME status=0
  "$@" >/dev/null || status=$?
  awk -v start="$start" -v end="$EPOCHREALTIME" 'BEGIN { printf "%.4f", end - start }'
  return $status
}

# Whole seconds since START, a value of $EPOCHSECONDS.
#   seconds_since START
seconds_since() { echo $((EPOCHSECONDS - $1)); }
