# shellcheck shell=bash
# Sourced by scripts/dev/screenshots.sh and scripts/dev/screenshots-windows.sh, which show the same
# five windows drawn by two front ends: a display with a window manager, and one walk through every
# window that clicks at the places of the windows' design and saves a PNG of each into $out.
# The sourcing script sets $out, $photos (damaged photos the program starts beside) and $card (a
# folder of damaged photos with little junk), and defines start_program [FILE|FOLDER]... (starts the
# program in $photos and adds it to pids) and answer_open_dialog NAMES (types the names into the
# file dialog, accepts). On a screen scaled to $scale_percent (100 unless set) the clicks land at
# the design's places scaled alike.
source "$(dirname "${BASH_SOURCE[0]}")/../lib/common.sh"

# A scratch folder, and at the end every process started ended (a Wine session in the scratch
# folder first) and the folder removed.
work=$(mktemp -d)
pids=()
end_walk() {
  [[ "${WINEPREFIX:-}" != "$work"/* ]] || stop_wine
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap end_walk EXIT

start_display() {
  start_xvfb "$work" || { echo "Xvfb does not start" >&2; exit 1; }
  pids+=("$xvfb_pid")
  openbox >/dev/null 2>&1 &
  pids+=($!)
}

wait_window() { xdotool search --sync --onlyvisible --name "$1" | head -n1; }
# Clicks a point given in the client coordinates of the window's design.
click_at() {
  local percent=${scale_percent:-100}
  xdotool mousemove --window "$1" $(($2 * percent / 100)) $(($3 * percent / 100)) click "${4:-1}"
}
# Rests the mouse at a point of the window's design.
rest_at() {
  local percent=${scale_percent:-100}
  xdotool mousemove --window "$1" $(($2 * percent / 100)) $(($3 * percent / 100))
}
shot() {
  sleep "${settle_seconds:-0.5}"
  import -window "$1" -frame "$out/$2.png"
  echo "saved $out/$2.png"
}
close_dialog() { xdotool windowactivate --sync "$1" key Escape; sleep 0.3; }
# The screen where a window lies, its frame included, with whatever lies over it.
shot_screen() {
  sleep "${settle_seconds:-0.5}"
  local left right top bottom x y width height
  read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  read -r x y width height < <(xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 }
    /Absolute upper-left Y/ { y = $4 } /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }')
  import -window root -crop "$((width + left + right))x$((height + top + bottom))+$((x - left))+$((y - top))" \
    +repage "$out/$2.png"
  echo "saved $out/$2.png"
}

# Walks through every window of the program started last (its process is the last of pids) and
# waits until "Close" has ended it.
walk_windows() {
  local main dialog box
  start_program
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

  # A photo that vanishes after its selection: its row "Failed", and the error box once the run is over.
  click_at "$main" 243 104   # Browse
  wait_window '^Open$' >/dev/null
  answer_open_dialog 'IMG_0002.CRW'
  rm "$photos/IMG_0002.CRW"
  click_at "$main" 156 135   # Fix Now
  until box=$(xdotool search --onlyvisible --name '^Tailmend$' | grep -vx "$main"); do sleep 0.2; done
  shot "$box" error-box
  xdotool windowactivate --sync "$box" key Return
  dialog=$(wait_window '^Processing 1 of 1$')
  shot "$dialog" processing-failed
  close_dialog "$dialog"
  walk_the_event_list "$main"

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
  walk_a_run
}

# The event list after the two runs (its first column holds the rows' state icons): a row's tip under
# the resting mouse, the list's menu, and the first row's details with its photo's preview.
walk_the_event_list() {
  local main=$1 dialog
  shot "$main" main-list
  rest_at "$main" 48 131     # away from the list
  sleep 0.5
  rest_at "$main" 140 232    # the third row, the photo that vanished
  sleep 2
  shot_screen "$main" main-tooltip
  click_at "$main" 140 198 3 # the first row's menu
  sleep 1
  shot_screen "$main" main-menu
  xdotool key Escape
  sleep 0.5
  xdotool mousemove --window "$main" $((140 * ${scale_percent:-100} / 100)) $((198 * ${scale_percent:-100} / 100)) \
    click --repeat 2 --delay 80 1
  dialog=$(wait_window '^Details$')
  shot "$dialog" details
  close_dialog "$dialog"
}

# The card's folder from the command line, each photo's junk grown into a hole of 256 MiB that the
# scan reads through, so that the run lasts: the dialog over the main window while it goes on,
# then stopped.
walk_a_run() {
  local main dialog
  truncate -s 256M "$card"/*.CRW
  start_program "$card"
  main=$(wait_window '^Tailmend$')
  sleep 2                    # the selection is taken
  click_at "$main" 156 135   # Fix Now
  dialog=$(wait_window '^Processing ')
  sleep 1
  shot_screen "$main" run
  shot "$dialog" processing-running
  click_at "$dialog" 253 131 # Stop
  sleep 1
  shot "$dialog" processing-stopped
  close_dialog "$dialog"
  click_at "$main" 401 276   # Close
  wait "${pids[-1]}"
}
