#!/usr/bin/env bash
# Measures what the window programs add to a repair. Each is started on a recovered card's folder
# (recup_dir.1..3: COUNT files of 8 MiB, four fifths with 1 MiB of zeros after the heap, the rest
# healthy, cut short or no CRW file at all), Fix Now is pressed through its real button, and it reports
#   - the time from the press to the processing dialog's first drawing on the screen;
#   - the time from the press to the end of the run (the dialog's button reads "Close"),
# beside tailmend-cli's time on the same files (less its own start, tailmend-cli --version), each
# run on the card as it was made (the junk the last run cut is put back), no backups, the two
# programs taking turns, best of ROUNDS. tailmend (Qt) runs on Xvfb with
# openbox, pressed from inside by a probe (LD_PRELOAD); Tailmend.exe and tailmend-cli.exe run under
# Wine on the same display, Tailmend.exe pressed from another program. A build folder that is
# missing is passed over. Use release builds (RelWithDebInfo or Release).
# Usage: scripts/bench/window.sh [BUILD_DIR [WINDOWS_BUILD_DIR [COUNT [ROUNDS]]]]
#        (defaults: build, build-win64, 500, 5)
# Needs xvfb, openbox, wine, pkg-config, Qt 6's development files and g++-mingw-w64-x86-64.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/common.sh"
build=$(realpath -m "${1:-build}")
windows_build=$(realpath -m "${2:-build-win64}")
count=${3:-500}
rounds=${4:-5}
make_crw="$build/tests/support/make_damaged_crw"
[ -x "$make_crw" ] || { echo "bench-window: $make_crw not found (build the project)" >&2; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
  [ -z "${WINEPREFIX:-}" ] || stop_wine
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb "$work" || { echo "bench-window: Xvfb does not start" >&2; exit 1; }
pids+=("$xvfb_pid")
openbox >/dev/null 2>&1 &
pids+=($!)

mib=$((1024 * 1024))
card="$work/card"
# The card as a recovery tool leaves it.
make_card() {
  local damaged=$((count * 4 / 5)) healthy=$((count * 12 / 100)) short=$((count / 20))
  local other=$((count - damaged - healthy - short)) k
  mkdir -p "$card"/recup_dir.{1,2,3} "$work/short"
  "$make_crw" "$card/recup_dir.1" "$damaged" $((7 * mib)) "$mib" zero
  "$make_crw" "$card/recup_dir.2" "$healthy" $((8 * mib)) 0
  "$make_crw" "$work/short" "$short" $((7 * mib)) "$mib"
  for file in "$work/short"/*.CRW; do
    truncate -s $((4 * mib)) "$file"
    mv "$file" "$card/recup_dir.2/short_$(basename "$file")"
  done
  for k in $(seq "$other"); do head -c $((8 * mib)) /dev/urandom >"$card/recup_dir.3/f$k.crw"; done
}
# A run cuts the damaged photos: their zeros are put back (as a hole), rather than 4 GiB written again.
fresh_card() { truncate -s $((8 * mib)) "$card"/recup_dir.1/*.CRW; }
smaller() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }
larger() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a > b) ? a : b }'; }
# compare NAME WINDOW_RUN CARD_AS_NAMED CLI_COMMAND...: each round runs the window program
# (WINDOW_RUN prints "FIRST_DRAWING_MS<TAB>RUN_SECONDS<TAB>LONGEST_WAIT_MS") and then tailmend-cli on
# the card, so that both meet the same load on a busy machine; the best of the rounds of each is
# kept, and the longest wait of all.
compare() {
  local name=$1 window=$2 named=$3 drawing="" run="" wait="" cli="" start="" line
  shift 3
  for _ in $(seq "$rounds"); do
    fresh_card
    line=$("$window")
    drawing=$(smaller "$(cut -f 1 <<<"$line")" "$drawing")
    run=$(smaller "$(cut -f 2 <<<"$line")" "$run")
    wait=$(larger "$(cut -f 3 <<<"$line")" "$wait")
    fresh_card
    cli=$(smaller "$(seconds "$@" "$named" 2>/dev/null || true)" "$cli")
    start=$(smaller "$(seconds "$@" --version)" "$start")
  done
  row "$name" "$drawing" "$run" "$wait" "$(awk -v cli="$cli" -v start="$start" 'BEGIN { printf "%.3f", cli - start }')"
}
row() {
  awk -v name="$1" -v drawing="$2" -v run="$3" -v wait="$4" -v cli="$5" -v count="$count" 'BEGIN {
    printf "%-38s %8s ms %9.3f s %8s ms %9.3f s %7.2f %8.2f ms\n", name, drawing, run, wait, cli, run / cli,
      (run - cli) * 1000 / count }'
}

load_before=$(cut -d ' ' -f 1-3 /proc/loadavg)
make_card
echo "card: $count files of 8 MiB in recup_dir.1..3, best of $rounds; load average $load_before"
printf "%-38s %11s %11s %11s %11s %7s %11s\n" "window program" "to drawing" "run" "longest wait" "cli" "ratio" \
  "per file"

if [ -x "$build/tailmend" ]; then
  g++ -std=c++20 -O2 -Wall -Wextra -Werror -shared -fPIC $(pkg-config --cflags Qt6Widgets) \
    "$root/scripts/bench/window_probe_qt.cpp" -o "$work/probe.so" $(pkg-config --libs Qt6Widgets)
  qt() { LD_PRELOAD="$work/probe.so" QT_QPA_PLATFORM=xcb "$build/tailmend" "$card" 2>/dev/null; }
  compare "tailmend (Qt) / tailmend-cli" qt "$card" "$build/cli/tailmend-cli"
fi

if [ -x "$windows_build/Tailmend.exe" ]; then
  x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -Wall -Wextra -Werror -static \
    "$root/scripts/bench/window_driver_win32.cpp" -o "$work/driver.exe" -lgdi32
  use_wine_prefix "$work"
  wineboot --init >/dev/null 2>&1
  win32() {
    wine "$windows_build/Tailmend.exe" "$(winepath -w "$card")" >/dev/null 2>&1 &
    wine "$work/driver.exe"
    wait $!
  }
  compare "Tailmend.exe / tailmend-cli.exe (Wine)" win32 "$(winepath -w "$card")" wine "$windows_build/cli/tailmend-cli.exe"
fi
echo "load average after: $(cut -d ' ' -f 1-3 /proc/loadavg)"
