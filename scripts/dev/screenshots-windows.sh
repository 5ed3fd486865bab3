#!/usr/bin/env bash
# Starts the real Tailmend.exe under Wine on Xvfb with a window manager, walks through every window
# with xdotool and saves a PNG of each, to be checked by eye:
#   scripts/dev/screenshots-windows.sh [BUILD_DIR [OUT_DIR [SCALE_PERCENT]]]
# (defaults: build-win64, screenshots/windows, 100; 150 is a screen of 144 dots per inch)
# Needs wine, xvfb, openbox, xdotool and imagemagick; BUILD_DIR must hold a built Tailmend.exe
# (scripts/ci/test-windows.sh makes one). Uses a throwaway Wine prefix.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build-win64}")
out=$(realpath -m "${2:-screenshots/windows}")
scale_percent=${3:-100}
mkdir -p "$out"

source scripts/dev/window-walk.sh
use_wine_prefix "$work"
start_display
wineboot --init >/dev/null 2>&1
# Wine's screen density, which each program reads when it starts.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $((96 * scale_percent / 100)) /f >/dev/null 2>&1

# Damaged photos to repair, in the folder the program starts in.
photos="$work/photos"
mkdir "$photos"
wine "$build/tests/support/make_damaged_crw.exe" "$(winepath -w "$photos")" 3 700000 4096 ff \
  "$(winepath -w "$(pwd)/assets/main_picture.jpg")" 2>/dev/null
photos_win=$(winepath -w "$photos")
card="$work/card"
mkdir "$card"
wine "$build/tests/support/make_damaged_crw.exe" "$(winepath -w "$card")" 30 700000 4096 zero 2>/dev/null

# Wine draws a little later than the window appears.
settle_seconds=0.7
# Types into the file dialog's name box: first the folder (the dialog goes there), then the names.
answer_open_dialog() {
  xdotool type --delay 5 "$photos_win"
  xdotool key Return
  sleep 0.7
  xdotool type --delay 5 "$1"
  xdotool key Return
  sleep 0.7
}

start_program() {
  local named=()
  for path in "$@"; do named+=("$(winepath -w "$path")"); done
  (cd "$photos" && exec wine "$build/Tailmend.exe" "${named[@]}" 2>/dev/null) &
  pids+=($!)
}
walk_windows
ls "$photos"
