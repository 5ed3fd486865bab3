#!/usr/bin/env bash
# Times tailmend-cli on a batch of damaged files against cat reading the same files from the page
# cache. Usage: scripts/bench-cli.sh [BUILD_DIR] [COUNT]
set -euo pipefail
build=${1:-build}
count=${2:-100}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

heap=$((7 * 1024 * 1024))
junk=$((1024 * 1024))
seconds() { local start end; start=$(date +%s%N); "$@" >/dev/null; end=$(date +%s%N); awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }'; }
fresh_batch() {
  rm -f "$work"/*.CRW
  "$build/tests/support/make_damaged_crw" "$work" "$count" "$heap" "$junk"
  cat "$work"/*.CRW >/dev/null  # into the page cache
}

fresh_batch
cat_time=$(seconds cat "$work"/*.CRW)
cli_time=$(seconds "$build/cli/tailmend-cli" "$work"/*.CRW)
echo "files: $count of $(( (heap + junk) / 1024 / 1024 )) MiB, $((junk / 1024 / 1024)) MiB junk each"
echo "cat:          ${cat_time} s"
echo "tailmend-cli: ${cli_time} s"
awk -v cli="$cli_time" -v cat="$cat_time" 'BEGIN { printf "ratio:        %.1f\n", cli / cat }'
