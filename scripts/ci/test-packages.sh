#!/usr/bin/env bash
# Tests the packages the way a user installs them, from a built tree:
#   scripts/ci/test-packages.sh deb BUILD_DIR   the Debian package of a Linux build: makes it, checks
#       its files and lintian's verdict, unpacks it into a throwaway root and runs what it holds
#       from another folder
#   scripts/ci/test-packages.sh zip BUILD_DIR   the zip of a Windows build: makes it, unpacks it into a
#       throwaway folder and runs its programs there under Wine; called by scripts/ci/test-windows.sh
#       inside its Wine session (WINEPREFIX set, wineserver running)
set -euo pipefail

kind=${1:?usage: test-packages.sh deb|zip BUILD_DIR}
build=$(realpath "${2:?usage: test-packages.sh deb|zip BUILD_DIR}")

say() { echo "test-packages: $*" >&2; }
fail() {
  say "FAILED: $*"
  exit 1
}
expect_equal() {  # what, expected, actual
  [ "$2" = "$3" ] || fail "$1: expected
$2
got
$3"
}

source "$(dirname "$0")/../lib/common.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
started=$EPOCHSECONDS
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"

# Repairs a damaged photo with the given tailmend-cli command line, run in the current folder on
# photos/: --check finds the tail, --backup cuts there after a complete copy, a second run finds
# nothing to cut. Carriage returns (Windows) are dropped from the output.
check_cli_repairs() {
  local photo=photos/IMG_0000.CRW backup=photos/IMG_0000_bak0.crw heap=700000 junk=4096
  local run=("$@")
  expect_equal "--version" "tailmend-cli $version" "$("${run[@]}" --version | tr -d '\r')"
  expect_equal "--check" "1	$photo	Tail at $heap" "$("${run[@]}" --check "$photo" | tr -d '\r')"
  expect_equal "size after --check" $((heap + junk)) "$(stat -c %s "$photo")"
  expect_equal "the repair" "1	$photo	Done" "$("${run[@]}" --backup "$photo" | tr -d '\r')"
  expect_equal "size after the repair" "$heap" "$(stat -c %s "$photo")"
  expect_equal "size of the backup" $((heap + junk)) "$(stat -c %s "$backup")"
  expect_equal "a second run" "1	$photo	No file tail" "$("${run[@]}" "$photo" | tr -d '\r')"
}

# The manual page renders, with no warning from groff or man.
check_manual_page() {
  local page=$1 name=$2 text
  text=$(MANWIDTH=80 man --warnings -l "$page" 2>"$work/man-warnings")
  [ ! -s "$work/man-warnings" ] || fail "man -l $page warns: $(cat "$work/man-warnings")"
  grep -q "^ *$name - " <<<"$text" || fail "man -l $page shows no NAME line for $name:
$text"
}

# What the installed window program shows for its two help documents, read by the probe that
# presses the buttons (tests/packaging/window_probe.cpp): one line per window, caption TAB first line.
window_program_documents() {
  QT_QPA_PLATFORM=offscreen LD_PRELOAD="$build/tests/packaging/libwindow_probe.so" \
    timeout 60 "$1" 2>"$work/window-stderr" || fail "the window program with the probe failed: $(cat "$work/window-stderr")"
}

test_deb() {
  local deb="$work/package/tailmend_${version}_amd64.deb" package_root="$work/root" data elsewhere
  (cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) || fail "cpack: $(cat "$work/cpack.log")"
  [ -f "$deb" ] || fail "cpack made no $(basename "$deb"): $(ls "$work/package")"

  expect_equal "the package's files" "./usr/bin/tailmend
./usr/bin/tailmend-cli
./usr/share/applications/tailmend.desktop
./usr/share/doc/tailmend/changelog.gz
./usr/share/doc/tailmend/copyright
./usr/share/icons/hicolor/32x32/apps/tailmend.png
./usr/share/man/man1/tailmend-cli.1.gz
./usr/share/man/man1/tailmend.1.gz
./usr/share/tailmend/howto.rtf
./usr/share/tailmend/whatis.rtf" "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)"
  expect_equal "the package's version" "$version" "$(dpkg-deb -f "$deb" Version)"
  # dpkg-shlibdeps wrote the dependencies from what the programs link.
  dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6.*libstdc++6\|libstdc++6.*libqt6widgets6' ||
    fail "dependencies not from the linked libraries: $(dpkg-deb -f "$deb" Depends)"

  lintian --info "$deb" >"$work/lintian.log" 2>&1 || true
  grep -q '^E: ' "$work/lintian.log" && fail "lintian reports errors:
$(cat "$work/lintian.log")"
  grep '^W: ' "$work/lintian.log" >&2 || true

  dpkg-deb -x "$deb" "$package_root"
  elsewhere="$work/elsewhere"
  mkdir -p "$elsewhere/photos"
  cd "$elsewhere"
  "$build/tests/support/make_damaged_crw" photos 1 700000 4096
  check_cli_repairs "$package_root/usr/bin/tailmend-cli"

  # Beside the unpacked program and in this folder there are no help documents: what the viewer
  # shows comes from the package's data folder, and without that folder it shows nothing.
  data="$package_root/usr/share/tailmend"
  local shown whatis howto
  shown=$(window_program_documents "$package_root/usr/bin/tailmend")
  whatis=$(sed -n "1s/^What's this?\t//p" <<<"$shown")
  howto=$(sed -n "2s/^How To ...\t//p" <<<"$shown")
  [ "$(wc -l <<<"$shown")" = 2 ] && [ -n "$whatis" ] && [ -n "$howto" ] ||
    fail "the window program did not show its two documents:
$shown"
  grep -qF "$whatis" "$data/whatis.rtf" || fail "\"What's this?\" showed \"$whatis\", not from $data/whatis.rtf"
  grep -qF "$howto" "$data/howto.rtf" || fail "\"How To...\" showed \"$howto\", not from $data/howto.rtf"
  mv "$data" "$work/data-away"
  expect_equal "the documents without the data folder" "What's this?	Document file doesn't exist.
How To ...	Document file doesn't exist." "$(window_program_documents "$package_root/usr/bin/tailmend")"
  mv "$work/data-away" "$data"

  check_manual_page "$package_root/usr/share/man/man1/tailmend-cli.1.gz" tailmend-cli
  check_manual_page "$package_root/usr/share/man/man1/tailmend.1.gz" tailmend
  say "$(basename "$deb") ($(stat -c %s "$deb") bytes) checked in $(seconds_since "$started") s"
}

# Every DLL a program imports is one the system has: Wine's system folder holds a stand-in for each
# DLL of Windows itself and for nothing else (no compiler runtime).
check_system_imports() {
  local program=$1 dll system32="$WINEPREFIX/drive_c/windows/system32"
  local imports
  imports=$(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^\tDLL Name: //p')
  [ -n "$imports" ] || fail "no imports read from $program"
  for dll in $imports; do
    [ -n "$(find "$system32" -maxdepth 1 -iname "$dll")" ] || fail "$(basename "$program") imports $dll, not a system DLL"
  done
  say "$(basename "$program") imports $(tr '\n' ' ' <<<"$imports")"
}

# The window program starts, shows its main window and ends when asked to close, as at the end of
# a session. It needs the display of the session's window tests; without one it is not started.
check_window_program_starts() {
  local program=$1 pid window=""
  if [ -z "${DISPLAY:-}" ]; then
    say "$(basename "$program") not started: this Wine session has no display"
    return
  fi
  wine "$program" &
  pid=$!
  for _ in $(seq 150); do
    window=$(xdotool search --name '^Tailmend$' 2>/dev/null | head -n1 || true)
    [ -n "$window" ] || ! kill -0 "$pid" 2>/dev/null && break
    sleep 0.2
  done
  if [ -z "$window" ]; then
    kill "$pid" 2>/dev/null || true
    fail "$(basename "$program") showed no window titled Tailmend"
  fi
  wine taskkill /im "$(basename "$program")" >/dev/null
  if ! timeout 30 tail --pid="$pid" -f /dev/null; then
    kill "$pid"
    fail "$(basename "$program") did not end when asked to close"
  fi
  wait "$pid" || fail "$(basename "$program") ended with status $?"
  say "$(basename "$program") started, showed its window and closed"
}

test_zip() {
  local name="tailmend-${version}-windows-x64" folder listing expected program
  local zip="$build/$name.zip"
  [ -n "${WINEPREFIX:-}" ] || fail "no Wine session (run from scripts/ci/test-windows.sh)"
  cmake --build "$build" --target windows_zip >"$work/build.log" || fail "making the zip: $(cat "$work/build.log")"
  [ -f "$zip" ] || fail "no $zip"

  # The window program belongs in the zip whenever the build made one.
  expected="$name/tailmend-cli.exe"
  if [ -n "$(find "$build" -name Tailmend.exe -not -path "$build/packaging/*" -print -quit)" ]; then
    expected+=$'\n'"$name/Tailmend.exe"
  fi
  expected+=$'\n'"$name/whatis.rtf"$'\n'"$name/howto.rtf"$'\n'"$name/README.txt"
  listing=$(unzip -Z1 "$zip" | grep -v '/$')
  expect_equal "the zip's files" "$(sort <<<"$expected")" "$(sort <<<"$listing")"
  unzip -l "$zip" >&2

  unzip -q "$zip" -d "$work/unpacked"
  folder="$work/unpacked/$name"
  file -b "$folder/README.txt" | grep -q 'with CRLF line terminators' || fail "README.txt: $(file -b "$folder/README.txt")"
  grep -q "Tailmend $version" "$folder/README.txt" || fail "README.txt does not name version $version"
  for program in "$folder"/*.exe; do check_system_imports "$program"; done

  # Wine may run as another user than this script (scripts/ci/test-windows.sh): the photos belong to
  # whoever owns the Wine prefix.
  chmod 755 "$work" "$work/unpacked" "$folder"
  mkdir "$folder/photos"
  chown "$(stat -c %u:%g "$WINEPREFIX")" "$folder/photos"
  cd "$folder"
  wine "$build/tests/support/make_damaged_crw.exe" photos 1 700000 4096
  check_cli_repairs wine ./tailmend-cli.exe
  [ ! -f Tailmend.exe ] || check_window_program_starts ./Tailmend.exe
  say "$(basename "$zip") ($(stat -c %s "$zip") bytes) checked in $(seconds_since "$started") s"
}

case $kind in
  deb) test_deb ;;
  zip) test_zip ;;
  *) fail "unknown kind $kind (deb or zip)" ;;
esac
