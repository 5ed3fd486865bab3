#!/usr/bin/env bash
# Starts the real window program under Xvfb with a window manager, walks through every window with
# xdotool and saves a PNG of each, to be checked by eye:
#   scripts/dev/screenshots.sh [BUILD_DIR [OUT_DIR]]     (defaults: build, screenshots)
# Needs xvfb, openbox, xdotool and imagemagick; BUILD_DIR must hold a built tailmend.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build}")
out=$(realpath -m "${2:-screenshots}")
mkdir -p "$out"

source scripts/dev/window-walk.sh
start_display
sleep 1

# Damaged photos to repair, in the folder the program starts in.
photos="$work/photos"
mkdir "$photos"
"$build/tests/support/make_damaged_crw" "$photos" 3 700000 4096

# The dialog opens in the current folder, where the photos are.
answer_open_dialog() {
  xdotool type "$1"
  xdotool key Return
  sleep 0.5
}

(cd "$photos" && exec "$build/tailmend") &
pids+=($!)
walk_windows
ls "$photos"
