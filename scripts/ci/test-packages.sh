#!/usr/bin/env bash
# Tests the packages the way a user installs them, from a built tree:
#   scripts/ci/test-packages.sh deb BUILD_DIR   the Debian package of a Linux build: makes it, checks
#       its files, lintian's verdict and its desktop entry, unpacks it into a throwaway root and
#       runs what it holds from another folder
#   scripts/ci/test-packages.sh zip BUILD_DIR   the zip of a Windows build: makes it, unpacks it into a
#       throwaway folder and runs its programs there under Wine
#   scripts/ci/test-packages.sh msi BUILD_DIR   the installer of a Windows build: makes it and an
#       older version of it, installs, upgrades and uninstalls them silently under Wine and checks
#       what each leaves on disk and in the registry
# The Windows kinds are called by scripts/ci/test-windows.sh inside its Wine session (WINEPREFIX
# set, wineserver running).
set -euo pipefail

kind=${1:?usage: test-packages.sh deb|zip|msi BUILD_DIR}
build=$(realpath "${2:?usage: test-packages.sh deb|zip|msi BUILD_DIR}")

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

# What the installed window program selected from the arguments it was started with, read by the
# probe that prints its main window's Edit1 (tests/packaging/selection_probe.cpp).
window_program_selection() {  # program arguments...
  QT_QPA_PLATFORM=offscreen LD_PRELOAD="$build/tests/packaging/libselection_probe.so" \
    timeout 60 "$@" 2>"$work/window-stderr" || fail "the window program with the selection probe failed: $(cat "$work/window-stderr")"
}

# The desktop entry is valid, offers the program for CRW photos, and the program started as a file
# manager starts it (%F: the chosen files, each an argument) selects them.
check_desktop_entry() {  # entry, program
  local entry=$1 program=$2 report
  report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate $entry fails: $report"
  [ -z "$report" ] || fail "desktop-file-validate reports on $entry:
$report"
  expect_equal "the entry's command" "tailmend %F" "$(sed -n 's/^Exec=//p' "$entry")"
  expect_equal "the entry's file types" "image/x-canon-crw;" "$(sed -n 's/^MimeType=//p' "$entry")"
  expect_equal "the selection with no arguments" "" "$(window_program_selection "$program")"
  mkdir -p "photos/recup_dir.1"
  cp photos/IMG_0000.CRW "photos/recup_dir.1/f0001.crw"
  expect_equal "the selection of a file and a folder" '"IMG_0000.CRW" "f0001.crw" ' \
    "$(window_program_selection "$program" "$PWD/photos/IMG_0000.CRW" "$PWD/photos/recup_dir.1")"
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

  check_desktop_entry "$package_root/usr/share/applications/tailmend.desktop" "$package_root/usr/bin/tailmend"
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

# The window program starts, shows its main window with SELECTION in Edit1 and ends when asked to
# close, as at the end of a session; ARGUMENTS are its command line's after its name. It needs the
# display of the session's window tests; without one it is not started.
check_window_program_starts() {  # program selection arguments...
  # A Unix path or a Windows one, as the verb's command line names it.
  local program=$1 selection=$2 name=${1##*[/\\]} pid window="" shown
  shift 2
  if [ -z "${DISPLAY:-}" ]; then
    say "$name not started: this Wine session has no display"
    return
  fi
  wine "$program" "$@" &
  pid=$!
  for _ in $(seq 150); do
    window=$(xdotool search --name '^Tailmend$' 2>/dev/null | head -n1 || true)
    [ -n "$window" ] || ! kill -0 "$pid" 2>/dev/null && break
    sleep 0.2
  done
  if [ -z "$window" ]; then
    kill "$pid" 2>/dev/null || true
    fail "$name showed no window titled Tailmend"
  fi
  # The window is up before it has taken its command line.
  for _ in $(seq 50); do
    shown=$(wine "$build/tests/packaging/win32/read_selection.exe" | tr -d '\r') || fail "no selection read from $name's window"
    [ "$shown" != "$selection" ] || break
    sleep 0.2
  done
  expect_equal "the selection of $name $*" "$selection" "$shown"
  wine taskkill /im "$name" >/dev/null
  if ! timeout 30 tail --pid="$pid" -f /dev/null; then
    kill "$pid"
    fail "$name did not end when asked to close"
  fi
  wait "$pid" || fail "$name ended with status $?"
  say "$name started, showed its window with the selection \"$shown\" and closed"
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
  # Started with no arguments, it selects nothing.
  [ ! -f Tailmend.exe ] || check_window_program_starts ./Tailmend.exe ""
  say "$(basename "$zip") ($(stat -c %s "$zip") bytes) checked in $(seconds_since "$started") s"
}

# The installer's fixed identity and what it puts into the registry (packaging/windows/tailmend.wxs.in).
msi_upgrade_code=B0F74A67-A172-47E4-BE59-8D746436A139
msi_uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
msi_verb_key='HKLM\Software\Classes\SystemFileAssociations\.crw\shell\Tailmend.Repair'

# The Windows name of a Unix path, through the drive Z: that a Wine prefix maps to /.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# The data of a registry value, or nothing when it is not there; "" names the key's default value.
registry_value() {  # key name
  local which=(/v "$2")
  [ -n "$2" ] || which=(/ve)
  { wine reg query "$1" "${which[@]}" 2>/dev/null || true; } | tr -d '\r' | sed -n 's/^    .*    REG_[A-Z_]*    //p'
}

# How Windows Installer writes a GUID in its own keys: each of the first three groups reversed, and
# the two characters of each byte of the last two swapped.
packed_guid() {  # GUID without braces
  local IFS=- groups
  read -ra groups <<<"$1"
  printf '%s%s%s%s%s' "$(rev <<<"${groups[0]}")" "$(rev <<<"${groups[1]}")" "$(rev <<<"${groups[2]}")" \
    "$(sed 's/\(.\)\(.\)/\2\1/g' <<<"${groups[3]}${groups[4]}")"
}

product_code() { msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductCode" { print substr($2, 2, 36) }'; }

# The products in the installed-programs list named Tailmend: their key, version and publisher, one a line.
installed_products() {
  { wine reg query "$msi_uninstall_key" /s 2>/dev/null || true; } | tr -d '\r' | awk '
    /^HKEY_/ { key = $0; name = version = publisher = "" }
    /^    DisplayName    / { sub(/^    DisplayName    REG_SZ    /, ""); name = $0 }
    /^    DisplayVersion    / { sub(/^    DisplayVersion    REG_SZ    /, ""); version = $0 }
    /^    Publisher    / { sub(/^    Publisher    REG_SZ    /, ""); publisher = $0 }
    name == "Tailmend" && version != "" && publisher != "" { print key "\t" version "\t" publisher; name = "" }'
}

msi_run() {  # msiexec option, package
  wine msiexec "$1" "$(windows_path "$2")" /qn
}

# Everything the registry and drive C: hold, to compare before an install and after the uninstall.
take_snapshot() {  # folder
  mkdir -m 755 "$1"
  chown "$(stat -c %u:%g "$WINEPREFIX")" "$1"
  for root in HKLM HKCU; do
    wine reg export "$root" "$(windows_path "$1/$root.reg")" /y >/dev/null 2>&1 || fail "cannot export $root"
    iconv -f UTF-16 -t UTF-8 "$1/$root.reg" | tr -d '\r' >"$1/$root.txt"
  done
  (cd "$WINEPREFIX/drive_c" && find . | sort) >"$1/files.txt"
}

expect_one_installed() {  # version
  local products
  products=$(installed_products)
  [ "$(wc -l <<<"$products")" = 1 ] && [ "$(cut -f2 <<<"$products")" = "$1" ] ||
    fail "the installed programs should list Tailmend $1 once:
${products:-nothing}"
}

# Explorer runs the verb's command line with %1 standing for the chosen file: the window started
# this way shows the file in its selection.
start_through_verb() {  # photo
  local command
  command=$(registry_value "$msi_verb_key\\command" "")
  [[ $command =~ ^\"([^\"]+)\"\ \"%1\"$ ]] || fail "the verb's command line is not \"PROGRAM\" \"%1\": $command"
  check_window_program_starts "${BASH_REMATCH[1]}" "\"${1##*/}\" " "$(windows_path "$1")"
  check_verb_gathers "${BASH_REMATCH[1]}" "${1%/*}"
}

# The selections of all the main windows on the display, one line each in brackets, the lines
# sorted and each line's quoted names too: which program gathers, and so the order in which the
# names arrive, is not fixed.
selections_as_sets() {
  { wine "$build/tests/packaging/win32/read_selection.exe" || true; } | tr -d '\r' | while IFS= read -r line; do
    printf '[%s]\n' "$({ grep -o '"[^"]*"' <<<"$line" || true; } | LC_ALL=C sort | tr '\n' ' ')"
  done | LC_ALL=C sort
}

wait_for_selections() {  # what, selection...
  local expected shown
  expected=$(printf '[%s]\n' "${@:2}" | LC_ALL=C sort)
  for _ in $(seq 100); do
    shown=$(selections_as_sets)
    [ "$shown" != "$expected" ] || break
    sleep 0.2
  done
  expect_equal "$1" "$expected" "$shown"
}

# Explorer starts the verb's command line once per selected file, one program right after the
# other: they gather into one window showing every file, and the others end. A window opened
# earlier without files is never joined, nor one that has had no files handed to it for a while,
# nor one of another program: a copy of the program elsewhere is another program file.
check_verb_gathers() {  # program as the verb names it, folder of photos
  local program=$1 folder=$2 empty_pid pid alive=() ended=() pids=() photo other="$2/other"
  [ -n "${DISPLAY:-}" ] || { say "the verb's gathering not tried: this Wine session has no display"; return; }
  local photos=("$folder/IMG_0000.CRW" "$folder/IMG_0001.CRW" "$folder/Фото.CRW")
  local gathered='"IMG_0000.CRW" "IMG_0001.CRW" "Фото.CRW" '
  cp "${photos[0]}" "${photos[1]}"
  cp "${photos[0]}" "${photos[2]}"
  wine "$program" &
  empty_pid=$!
  wait_for_selections "the window opened without files" ""
  for photo in "${photos[@]}"; do
    LC_ALL=C.UTF-8 wine "$program" "$(windows_path "$photo")" &
    pids+=($!)
  done
  wait_for_selections "the windows after the verb on three photos" "" "$gathered"
  for _ in $(seq 100); do
    alive=()
    for pid in "${pids[@]}"; do ! kill -0 "$pid" 2>/dev/null || alive+=("$pid"); done
    [ ${#alive[@]} -gt 1 ] || break
    sleep 0.2
  done
  [ ${#alive[@]} = 1 ] || fail "${#alive[@]} of the three programs the verb started are still running, not 1"
  for pid in "${pids[@]}"; do
    [ "$pid" = "${alive[0]}" ] || wait "$pid" || fail "a program that handed its photo over ended with status $?"
  done
  # Past the time a selection's programs take to start, the verb opens a window of its own; the
  # copy started with it takes its turn before or after it, and neither window takes the other's.
  mkdir -m 755 "$other"
  cp "$(wine winepath -u "$program" | tr -d '\r')" "$other/Tailmend.exe"
  sleep 4
  wine "$program" "$(windows_path "${photos[0]}")" &
  ended=("$empty_pid" "${alive[0]}" $!)
  wine "$(windows_path "$other/Tailmend.exe")" "$(windows_path "${photos[1]}")" &
  ended+=($!)
  wait_for_selections "the windows after the verb on a photo some seconds later, and a copy of the program on another" \
    "" "$gathered" '"IMG_0000.CRW" ' '"IMG_0001.CRW" '
  wine taskkill /im Tailmend.exe >/dev/null
  for pid in "${ended[@]}"; do
    timeout 30 tail --pid="$pid" -f /dev/null || { kill "$pid"; fail "a Tailmend.exe did not end when asked to close"; }
    wait "$pid" || fail "a Tailmend.exe ended with status $?"
  done
  rm -r "$other"
  say "the verb on three photos started programs that gathered into one window; the window opened by hand, a later one and a copy of the program elsewhere stood apart"
}

check_installed() {  # installer, version
  local folder="$WINEPREFIX/drive_c/Program Files/Tailmend" product icon
  expect_equal "the installed files" "LICENSE.txt
Tailmend.exe
howto.rtf
tailmend-cli.exe
whatis.rtf" "$(ls "$folder" | LC_ALL=C sort)"
  for file in Tailmend.exe tailmend-cli.exe; do
    cmp -s "$folder/$file" "$build/packaging/stripped/$file" || fail "the installed $file is not the build's"
  done
  # Wine puts a shortcut for all users into the user's own Start menu.
  [ -n "$(find "$WINEPREFIX/drive_c/ProgramData" "$WINEPREFIX/drive_c/users" -path '*/Start Menu/Programs/Tailmend.lnk')" ] ||
    fail "no Tailmend.lnk in a Start menu"

  expect_equal "the verb's text" "Repair with Tailmend" "$(registry_value "$msi_verb_key" "")"
  expect_equal "the verb's icon" 'C:\Program Files\Tailmend\Tailmend.exe,0' "$(registry_value "$msi_verb_key" Icon)"
  expect_equal "the verb's selection model" Player "$(registry_value "$msi_verb_key" MultiSelectModel)"
  expect_equal "the verb's command" '"C:\Program Files\Tailmend\Tailmend.exe" "%1"' \
    "$(registry_value "$msi_verb_key\\command" "")"

  expect_one_installed "$2"
  expect_equal "the publisher" "The Tailmend developers" "$(installed_products | cut -f3)"
  product=$(packed_guid "$(product_code "$1")")
  icon=$(registry_value "HKLM\\Software\\Classes\\Installer\\Products\\$product" ProductIcon)
  [[ $icon == 'C:\windows\Installer\'* ]] && [ -f "$WINEPREFIX/drive_c/$(tr '\\' / <<<"${icon#C:\\}")" ] ||
    fail "the installed programs' icon is not there: $icon"
}

# What an uninstall may leave is Windows Installer's own: its folder for cached packages.
check_nothing_left() {  # snapshot before, snapshot after, product code...
  local before=$1 after=$2 names="tailmend|\\.crw|$msi_upgrade_code|$(packed_guid "$msi_upgrade_code")" code
  shift 2
  for code in "$@"; do names+="|$code|$(packed_guid "$code")"; done
  local files keys
  files=$(comm -13 "$before/files.txt" "$after/files.txt" | grep -vx './windows/Installer' || true)
  [ -z "$files" ] || fail "the uninstall left files behind:
$files"
  keys=$(for root in HKLM HKCU; do diff "$before/$root.txt" "$after/$root.txt" || true; done | grep '^>' | grep -iE "$names" || true)
  [ -z "$keys" ] || fail "the uninstall left registry entries behind:
$keys"
}

test_msi() {
  local msi="$build/tailmend-${version}-windows-x64.msi" older same old
  local folder="$WINEPREFIX/drive_c/Program Files/Tailmend" packages="$work/packages" photos="$work/photos"
  [ -n "${WINEPREFIX:-}" ] || fail "no Wine session (run from scripts/ci/test-windows.sh)"
  [ -n "$(find "$build" -name Tailmend.exe -not -path "$build/packaging/*" -print -quit)" ] || {
    say "no installer: the build has no window program"
    return
  }
  cmake --build "$build" --target windows_msi >"$work/build.log" || fail "making the installer: $(cat "$work/build.log")"
  [ -f "$msi" ] || fail "no $msi"
  say "$(basename "$msi"): $(stat -c %s "$msi") bytes; its files:"
  msiinfo export "$msi" File | tail -n +4 | cut -f3,4 >&2
  say "its registry entries:"
  msiinfo export "$msi" Registry | tail -n +4 | cut -f2- >&2

  # Two older builds to upgrade from: an older version, and one that differs in the fourth number
  # only, which Windows Installer takes for the same version.
  older=0.9.0.0
  same=$(sed -E 's/^([0-9]+\.[0-9]+\.[0-9]+).*/\1.0/' <<<"$version")
  chmod 755 "$work"
  mkdir -m 755 "$packages"
  for old in "$older" "$same"; do
    cmake -DWIXL="$(command -v wixl)" -DVERSION="$old" -DSOURCE="$build/packaging/msi/tailmend.wxs" \
      -DOUTPUT="$packages/tailmend-$old-windows-x64.msi" -P "$(dirname "$0")/../../packaging/windows/make_msi.cmake" \
      >"$work/build.log" 2>&1 || fail "making the installer of $old: $(cat "$work/build.log")"
  done
  cp "$msi" "$packages/"

  take_snapshot "$work/before"
  msi_run /i "$packages/tailmend-$older-windows-x64.msi" || fail "installing $older: msiexec status $?"
  expect_one_installed "$older"
  msi_run /i "$packages/tailmend-$same-windows-x64.msi" || fail "upgrading to $same: msiexec status $?"
  expect_one_installed "$same"
  msi_run /i "$msi" || fail "upgrading to $version: msiexec status $?"
  check_installed "$msi" "$version"
  if msi_run /i "$packages/tailmend-$older-windows-x64.msi"; then fail "$older was installed over $version"; fi
  expect_one_installed "$version"

  mkdir -m 755 "$photos"
  mkdir "$photos/photos"
  chown "$(stat -c %u:%g "$WINEPREFIX")" "$photos/photos"
  cd "$photos"
  wine "$build/tests/support/make_damaged_crw.exe" photos 1 700000 4096
  check_cli_repairs wine "$folder/tailmend-cli.exe"
  start_through_verb "$photos/photos/IMG_0000.CRW"
  cd "$work"

  msi_run /x "$msi" || fail "uninstalling: msiexec status $?"
  [ ! -e "$folder" ] || fail "the uninstall left $folder"
  [ -z "$(installed_products)" ] || fail "the uninstall left Tailmend in the installed programs"
  take_snapshot "$work/after"
  check_nothing_left "$work/before" "$work/after" "$(product_code "$msi")" \
    "$(product_code "$packages/tailmend-$older-windows-x64.msi")" "$(product_code "$packages/tailmend-$same-windows-x64.msi")"
  say "$(basename "$msi") installed over $older and $same, refused to go back to $older, uninstalled without a trace in $(seconds_since "$started") s"
}

case $kind in
  deb) test_deb ;;
  zip) test_zip ;;
  msi) test_msi ;;
  *) fail "unknown kind $kind (deb, zip or msi)" ;;
esac
