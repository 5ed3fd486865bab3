#!/usr/bin/env bash
# Times a backed-up batch, `tailmend-cli --backup`, against `cp` of the same files followed by one
# `sync`: the backups are flushed one by one before each photo is cut, the copies only once at the
# end. Both start from files in the page cache and nothing dirty left to write.
#   scripts/bench/backup.sh [BUILD_DIR] [COUNT] [ROUNDS]     (defaults: build, 100, 3)
# The batch lies in a temporary folder (TMPDIR, or /tmp): that file system is what is measured.
set -euo pipefail
source "$(dirname "$0")/../lib/common.sh"
build=${1:-build}
count=${2:-100}
rounds=${3:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

heap=$((8 * 1024 * 1024))
junk=$((1024 * 1024))
fresh_batch() {
  rm -rf "$work/photos" "$work/copies"
  mkdir "$work/photos" "$work/copies"
  "$build/tests/support/make_damaged_crw" "$work/photos" "$count" "$heap" "$junk"
  cat "$work"/photos/*.CRW >/dev/null  # into the page cache
  sync
}
copy_and_sync() { cp "$work"/photos/*.CRW "$work/copies/" && sync; }

echo "files: $count of $(( (heap + junk) / 1024 / 1024 )) MiB, $((junk / 1024 / 1024)) MiB junk each, in $(df -T "$work" | awk 'NR == 2 { print $2 }')"
ratios=()
for round in $(seq "$rounds"); do
  fresh_batch
  cp_time=$(seconds copy_and_sync)
  fresh_batch
  cli_time=$(seconds "$build/cli/tailmend-cli" --backup "$work"/photos/*.CRW)
  [ "$(ls "$work"/photos/*_bak0.crw | wc -l)" -eq "$count" ] || { echo "not every photo got its backup" >&2; exit 1; }
  ratio=$(awk -v cli="$cli_time" -v cp="$cp_time" 'BEGIN { printf "%.2f", cli / cp }')
  ratios+=("$ratio")
  echo "round $round: cp + sync ${cp_time} s, tailmend-cli --backup ${cli_time} s, ratio $ratio"
done
printf '%s\n' "${ratios[@]}" | sort -n | awk '{ r[NR] = $1 } END { printf "median ratio: %s (of %d rounds)\n", r[int((NR + 1) / 2)], NR }'
