#!/usr/bin/env bash
# Runs clang-tidy, with the checks of .clang-tidy, over the sources of the given folders as the
# build compiles them (BUILD_DIR/compile_commands.json: on Linux, the POSIX sources of the file
# layer), and fails on any finding:
#   scripts/ci/clang-tidy.sh [BUILD_DIR [FOLDER...]]     (defaults: build; engine platform cli)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
shift || true
folders=("$@")
[ ${#folders[@]} -gt 0 ] || folders=(engine platform cli)

say() { echo "clang-tidy: $*" >&2; }
command -v run-clang-tidy-14 >/dev/null || { say "run-clang-tidy-14 not found (apt-get install clang-tidy)"; exit 1; }
commands="$build/compile_commands.json"
[ -f "$commands" ] || { say "no $commands: configure $build first"; exit 1; }

# The compile commands name each source by its absolute path.
sources="$(pwd)/($(IFS='|'; echo "${folders[*]}"))/"
count=$(grep -cE "\"file\": \"$sources" "$commands" || true)
[ "$count" -gt 0 ] || { say "$commands compiles no source of ${folders[*]}"; exit 1; }

log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! run-clang-tidy-14 -p "$build" -quiet -j "$(nproc)" "^$sources" >"$log" 2>&1; then
  # The findings, without the runner's command lines, counts and colours.
  sed 's/\x1b\[[0-9;]*m//g' "$log" |
    grep -vE '^(clang-tidy-14 |[0-9]+ warnings? (generated|treated as errors)|Suppressed [0-9]+ warnings)' >&2
  say "FAILED: findings in ${folders[*]} (checks in .clang-tidy)"
  exit 1
fi
say "$count sources of ${folders[*]}, no finding"
