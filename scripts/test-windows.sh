#!/usr/bin/env bash
# Cross-builds Tailmend for 64-bit Windows into build-win64/ and runs its tests there under Wine,
# headless, in a throwaway Wine prefix. Installs nothing; the packages it needs are
#   cmake ninja-build g++-mingw-w64-x86-64 googletest wine wine64
# A machine where Wine cannot start skips the test run (exit 0), except where CI=true.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-win64"
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

started=$(date +%s)
cmake -S "$root" -B "$build" -G Ninja -DTAILMEND_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-w64-x86_64.cmake"
cmake --build "$build" -j "$(nproc)"
built=$(date +%s)

wine=$(command -v wine) || cannot_run "wine is not installed"
version=$("$wine" --version 2>/dev/null) || cannot_run "wine --version fails"

scratch=$(mktemp -d)
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$scratch"
}
trap cleanup EXIT
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
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

# One server and one set of Wine's own background programs for the whole run, with their output
# going nowhere: each test then starts in a fraction of a second instead of waiting for them.
wineserver -p >/dev/null 2>&1 || cannot_run "wineserver does not start"
timeout 300 wineboot --init </dev/null >/dev/null 2>&1 || cannot_run "wineboot --init fails"
booted=$(date +%s)

status=0
ctest --test-dir "$build" --output-on-failure --timeout 300 || status=$?
tested=$(date +%s)
# The download, unpacked and run in this same Wine session.
"$root/scripts/test-packages.sh" zip "$build" || status=$?
finished=$(date +%s)
say "$version: build $((built - started)) s, Wine start $((booted - built)) s, tests $((tested - booted)) s, zip $((finished - tested)) s"
exit $status
