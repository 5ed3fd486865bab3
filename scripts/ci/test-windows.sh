#!/usr/bin/env bash
# Cross-builds Tailmend for 64-bit Windows into build-win64/ and runs its tests there under Wine,
# in a throwaway Wine prefix; the window tests get a virtual display of their own (Xvfb). Installs
# nothing; the packages it needs are
#   cmake ninja-build g++-mingw-w64-x86-64 googletest wine wine64 xvfb
# Arguments go to CTest (-R NAME runs some tests only). A machine where Wine or Xvfb cannot start
# skips the test run (exit 0), except where CI=true.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build-win64"
source "$root/scripts/lib/common.sh"
unprivileged_uid=65534  # nobody

say() { echo "test-windows: $*" >&2; }
fail() { say "FAILED: $*"; exit 1; }
cannot_run() {
  [ "${CI:-}" = true ] && fail "$*, and CI's machine must run the Windows tests"
  say "SKIPPED the Windows tests: $* (the Windows build itself was made)"
  exit 0
}

for tool in cmake ctest ninja x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-g++-posix; do
  command -v "$tool" >/dev/null || fail "$tool not found (apt-get install cmake ninja-build g++-mingw-w64-x86-64)"
done
[ -f /usr/src/googletest/CMakeLists.txt ] || fail "no GoogleTest sources in /usr/src/googletest (apt-get install googletest)"

started=$EPOCHSECONDS
cmake -S "$root" -B "$build" -G Ninja -DTAILMEND_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-w64-x86_64.cmake"
cmake --build "$build" -j "$(nproc)"
built=$EPOCHSECONDS

wine=$(command -v wine) || cannot_run "wine is not installed"
version=$("$wine" --version 2>/dev/null) || cannot_run "wine --version fails"

scratch=$(mktemp -d)
xvfb_pid=
cleanup() {
  stop_wine
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
use_wine_prefix "$scratch"
export HOME="$scratch/home"
mkdir -p "$WINEPREFIX" "$HOME"

# Wine run by root maps the read-only attribute to Unix permissions that root ignores. Where the
# build can be read by an unprivileged user, Wine runs as that user instead, through stand-ins for
# the Wine commands first on PATH (CTest starts the tests through "wine").
can_drop_root() {
  [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null &&
    setpriv --reuid=$unprivileged_uid --regid=$unprivileged_uid --clear-groups test -r "$build/cli/tailmend-cli.exe"
}
if can_drop_root; then
  chmod 755 "$scratch"
  chown "$unprivileged_uid:$unprivileged_uid" "$WINEPREFIX" "$HOME"
  mkdir "$scratch/bin"
  for tool in wine wineserver wineboot; do
    real=$(command -v "$tool") || cannot_run "$tool is not installed"
    printf '#!/bin/sh\nexec setpriv --reuid=%s --regid=%s --clear-groups %s "$@"\n' \
      "$unprivileged_uid" "$unprivileged_uid" "$real" >"$scratch/bin/$tool"
    chmod 755 "$scratch/bin/$tool"
  done
  export PATH="$scratch/bin:$PATH"
  say "running Wine as user $unprivileged_uid"
fi

# The window tests draw on a display of their own, started before Wine so that Wine's desktop
# process finds it. Any local user may connect, Wine's user included.
command -v Xvfb >/dev/null || cannot_run "Xvfb is not installed (apt-get install xvfb)"
start_xvfb "$scratch" || cannot_run "Xvfb does not start"

# One server and one set of Wine's own background programs for the whole run, with their output
# going nowhere: each test then starts in a fraction of a second instead of waiting for them.
wineserver -p >/dev/null 2>&1 || cannot_run "wineserver does not start"
# In a session of their own: a test that sends Ctrl-C to its console group must not end Wine's
# desktop process, or every later program with windows waits seconds for a new one.
timeout 300 setsid -w wineboot --init </dev/null >/dev/null 2>&1 || cannot_run "wineboot --init fails"
# With no window manager on the display, Wine would wait two seconds for one at every window it
# hides; windows Wine manages itself are hidden at once.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 ||
  cannot_run "the Wine registry cannot be written"
booted=$EPOCHSECONDS

status=0
ctest --test-dir "$build" --output-on-failure --timeout 300 "$@" || status=$?
tested=$EPOCHSECONDS
# The download, unpacked and run in this same Wine session.
"$root/scripts/ci/test-packages.sh" zip "$build" || status=$?
finished=$EPOCHSECONDS
say "$version: build $((built - started)) s, Wine start $((booted - built)) s, tests $((tested - booted)) s, zip $((finished - tested)) s"
exit $status
