#!/usr/bin/env bash
# Starts the real Tailmend.exe under Wine on Xvfb with a window manager, walks through every window
# with xdotool and saves a PNG of each, to be checked by eye:
#   scripts/screenshots-windows.sh [BUILD_DIR [OUT_DIR]]     (defaults: build-win64, screenshots/windows)
# Needs wine, xvfb, openbox, xdotool and imagemagick; BUILD_DIR must hold a built Tailmend.exe
# (scripts/test-windows.sh makes one). Uses a throwaway Wine prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build-win64}")
out=$(realpath -m "${2:-screenshots/windows}")
mkdir -p "$out"

work=$(mktemp -d)
pids=()
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
openbox >/dev/null 2>&1 &
pids+=($!)
wineboot --init >/dev/null 2>&1

# Damaged photos to repair, in the folder the program starts in.
photos="$work/photos"
mkdir "$photos"
wine "$build/tests/support/make_damaged_crw.exe" "$(winepath -w "$photos")" 3 700000 4096 2>/dev/null
photos_win=$(winepath -w "$photos")

wait_window() { xdotool search --sync --onlyvisible --name "$1" | head -n1; }
# Clicks a point given in the client coordinates of the window's design.
click_at() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
shot() {
  sleep 0.7
  import -window "$1" -frame "$out/$2.png"
  echo "saved $out/$2.png"
}
close_dialog() { xdotool windowactivate --sync "$1" key Escape; sleep 0.3; }
# Types into the file dialog's name box: first the folder (the dialog goes there), then the names.
answer_open_dialog() {
  xdotool type --delay 5 "$photos_win"
  xdotool key Return
  sleep 0.7
  xdotool type --delay 5 "$1"
  xdotool key Return
  sleep 0.7
}

(cd "$photos" && exec wine "$build/Tailmend.exe" 2>/dev/null) &
pids+=($!)
main=$(wait_window '^Tailmend$')
shot "$main" main-start

click_at "$main" 243 104   # Browse
dialog=$(wait_window '^Open$')
shot "$dialog" open-dialog
answer_open_dialog '"IMG_0000.CRW" "IMG_0001.CRW"'
click_at "$main" 40 104    # Backup Source Files
click_at "$main" 156 135   # Fix Now
dialog=$(wait_window '^Processing 2 of 2$')
shot "$dialog" processing
close_dialog "$dialog"
shot "$main" main

# A photo that vanishes after its selection: the error box, then the dialog left running.
click_at "$main" 243 104   # Browse
wait_window '^Open$' >/dev/null
answer_open_dialog 'IMG_0002.CRW'
rm "$photos/IMG_0002.CRW"
click_at "$main" 156 135   # Fix Now
until box=$(xdotool search --onlyvisible --name '^Tailmend$' | grep -vx "$main"); do sleep 0.2; done
shot "$box" error-box
xdotool windowactivate --sync "$box" key Return
dialog=$(wait_window '^Processing 1 of 1$')
shot "$dialog" processing-stopped-by-error
click_at "$dialog" 253 131 # Stop
close_dialog "$dialog"

click_at "$main" 401 52    # What's this?
dialog=$(wait_window "^What's this\?$")
shot "$dialog" whatis
close_dialog "$dialog"

click_at "$main" 401 104   # How To...
dialog=$(wait_window '^How To \.\.\.$')
shot "$dialog" howto
close_dialog "$dialog"

click_at "$main" 401 196   # About
dialog=$(wait_window '^About$')
shot "$dialog" about
close_dialog "$dialog"

click_at "$main" 401 276   # Close
wait "${pids[-1]}"
ls "$photos"
