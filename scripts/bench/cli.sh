#!/usr/bin/env bash
# Measures tailmend-cli on big batches and prints four figures beside their goals:
#   (a) COUNT damaged 8 MiB files (1 MiB of junk each) repaired without backups, against cat of the
#       same files from the page cache, as a ratio of the two times;
#   (b) the bytes it reads per file of that batch, from the kernel's I/O accounting (rchar);
#   (c) its scan speed on a 64 MiB file of image-like noise with no tail, scanned down to the floor;
#   (d) its peak memory (maximum resident set size) repairing an 8 MiB and a sparse 1 GiB file.
# Times are the best of ROUNDS runs. Use a release build (RelWithDebInfo or Release).
# Usage: scripts/bench/cli.sh [BUILD_DIR] [COUNT] [ROUNDS]
set -euo pipefail
source "$(dirname "$0")/../lib/common.sh"
build=${1:-build}
count=${2:-100}
rounds=${3:-3}
cli="$build/cli/tailmend-cli"
make_crw="$build/tests/support/make_damaged_crw"
for tool in "$cli" "$make_crw" /usr/bin/time; do
  [ -x "$tool" ] || { echo "bench-cli: $tool not found (build the project; apt-get install time)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mib=$((1024 * 1024))
heap=$((7 * mib))
junk=$mib

smaller() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }
# Stores in the variable named $1 the bytes this shell and the children it has waited for have
# read, as the kernel counts them; no subshell, which would count only itself.
rchar_into() {
  local key value
  while read -r key value; do [ "$key" = rchar: ] && printf -v "$1" %s "$value"; done </proc/$BASHPID/io
}
# Bytes a command reads, less what a run that reads no file costs (loading the program).
bytes_read() {
  (
    local before after base
    rchar_into before; "$cli" --version >/dev/null; rchar_into after; base=$((after - before))
    rchar_into before; "$@" >/dev/null; rchar_into after
    echo $((after - before - base))
  )
}
peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }

batch="$work/batch"
mkdir "$batch"
fresh_batch() {
  rm -f "$batch"/*.CRW
  "$make_crw" "$batch" "$count" "$heap" "$junk"
  cat "$batch"/*.CRW >/dev/null  # into the page cache
}

# (a) and (b)
cat_time="" cli_time=""
# The fresh files are still being written back to disk meanwhile, which slows cat unevenly: it
# gets three tries per round.
for _ in $(seq "$rounds"); do
  fresh_batch
  for _ in 1 2 3; do cat_time=$(smaller "$(seconds cat "$batch"/*.CRW)" "$cat_time"); done
  cli_time=$(smaller "$(seconds "$cli" "$batch"/*.CRW)" "$cli_time")
done
fresh_batch
read_per_file=$(($(bytes_read "$cli" "$batch"/*.CRW) / count))

# (c) a heap ending below the scan floor, so that no position of the noise above it passes
scan="$work/scan"
mkdir "$scan"
"$make_crw" "$scan" 1 600000 $((64 * mib - 600000)) noise
scan_file="$scan/IMG_0000.CRW"
scan_result=$("$cli" --check "$scan_file" | cut -f 3 || true)
scan_time=""
for _ in $(seq "$rounds"); do scan_time=$(smaller "$(seconds "$cli" --check "$scan_file")" "$scan_time"); done

# (d) the 1 GiB file is the 8 MiB one grown with a hole: 1016 MiB of zero junk that takes no disk
one="$work/one"
mkdir "$one"
"$make_crw" "$one" 1 "$heap" "$junk"
cp "$one/IMG_0000.CRW" "$one/big.CRW"
truncate -s $((1024 * mib)) "$one/big.CRW"
peak_small=$(peak_kib "$cli" "$one/IMG_0000.CRW")
peak_big=$(peak_kib "$cli" "$one/big.CRW")

echo "tailmend-cli $("$cli" --version | cut -d ' ' -f 2), $build, best of $rounds"
awk -v count="$count" -v cat="$cat_time" -v cli="$cli_time" -v read="$read_per_file" -v junk="$junk" \
  -v scan_bytes=$((64 * mib)) -v scan_time="$scan_time" -v scan_result="$scan_result" \
  -v small="$peak_small" -v big="$peak_big" 'BEGIN {
  printf "%-54s %-26s %s\n", "figure", "measured", "goal"
  printf "%-54s %-26s %s\n", "(a) " count " x 8 MiB repaired / cat of them", \
    sprintf("%.3f (%.3f s / %.3f s)", cli / cat, cli, cat), "<= 0.25"
  printf "%-54s %-26s %s\n", "(b) bytes read per file (1 MiB junk)", \
    sprintf("%d (junk + %d)", read, read - junk), "<= junk + 65536"
  printf "%-54s %-26s %s\n", "(c) scan of a 64 MiB file with no tail (" scan_result ")", \
    sprintf("%.2f GB/s (%.4f s)", scan_bytes / scan_time / 1e9, scan_time), ">= 2 GB/s"
  printf "%-54s %-26s %s\n", "(d) peak memory, 8 MiB file / 1 GiB file", \
    sprintf("%.1f / %.1f MiB", small / 1024, big / 1024), "<= 16 MiB"
}'
