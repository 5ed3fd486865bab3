#!/usr/bin/env bash
# Starts the real window program under Xvfb with a window manager, walks through every window with
# xdotool and saves a PNG of each, to be checked by eye:
#   scripts/dev/screenshots.sh [BUILD_DIR [OUT_DIR [SCALE_PERCENT]]]     (defaults: build, screenshots, 100)
# Needs xvfb, openbox, xdotool and imagemagick; BUILD_DIR must hold a built tailmend.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build}")
out=$(realpath -m "${2:-screenshots}")
scale_percent=${3:-100}
mkdir -p "$out"

source scripts/dev/window-walk.sh
start_display
sleep 1

# Damaged photos to repair, in the folder the program starts in.
photos="$work/photos"
mkdir "$photos"
"$build/tests/support/make_damaged_crw" "$photos" 3 700000 4096 ff "$(pwd)/assets/main_picture.jpg"
card="$work/card"
mkdir "$card"
"$build/tests/support/make_damaged_crw" "$card" 30 700000 4096 zero

# The dialog opens in the current folder, where the photos are.
answer_open_dialog() {
  xdotool type "$1"
  xdotool key Return
  sleep 0.5
}

# Qt draws every window larger by its scale factor.
start_program() {
  (cd "$photos" && QT_SCALE_FACTOR=$(awk -v p="$scale_percent" 'BEGIN { print p / 100 }') exec "$build/tailmend" "$@") &
  pids+=($!)
}
walk_windows
ls "$photos"
