#!/usr/bin/env bash
# Measures tailmend-cli on big batches and prints seven figures beside their goals:
#   (a) COUNT damaged 8 MiB files (1 MiB of junk each) repaired without backups, against cat of the
#       same files from the page cache, as a ratio of the two times;
#   (b) the bytes it reads per file of that batch, from the kernel's I/O accounting (rchar);
#   (c) its scan speed on a 64 MiB file of image-like noise with no tail, scanned down to the floor;
#   (d) its peak memory (maximum resident set size) repairing an 8 MiB and a sparse 1 GiB file;
#   (e) (a) from a cold cache: each file dropped from the page cache before each of the two programs
#       reads it, as where photos usually are (a card, a recovery disk); with the bytes the disk
#       then read per file for tailmend-cli (the kernel's read_bytes);
#   (f) the whole verdict of each file of that batch against the locator's answer alone, both
#       without cutting (judge_files: tailmend-cli always judges);
#   (g) tailmend-cli --check --json on that batch against its tab-separated report.
# Times are the best of ROUNDS runs. Use a release build (RelWithDebInfo or Release).
# Usage: scripts/bench/cli.sh [BUILD_DIR] [COUNT] [ROUNDS]
set -euo pipefail
source "$(dirname "$0")/../lib/common.sh"
build=${1:-build}
count=${2:-100}
rounds=${3:-3}
cli="$build/cli/tailmend-cli"
make_crw="$build/tests/support/make_damaged_crw"
judge="$build/tests/support/judge_files"
for tool in "$cli" "$make_crw" "$judge" /usr/bin/time; do
  [ -x "$tool" ] || { echo "bench-cli: $tool not found (build the project; apt-get install time)" >&2; exit 1; }
done
# The summary each run prints on stderr is no part of what is measured.
quiet() { "$@" 2>/dev/null; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mib=$((1024 * 1024))
heap=$((7 * mib))
junk=$mib

smaller() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }
# Stores in the variable named $1 the bytes this shell and the children it has waited for have
# read, as the kernel counts them (rchar: what the programs asked for; read_bytes, given as $2:
# what the disk delivered for them); no subshell, which would count only itself.
rchar_into() {
  local key value
  while read -r key value; do [ "$key" = "${2:-rchar}:" ] && printf -v "$1" %s "$value"; done </proc/$BASHPID/io
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
# Drops the batch from the page cache, file by file, with posix_fadvise(POSIX_FADV_DONTNEED) (dd's
# nocache); what is still being written back is written first, as dirty pages are not dropped.
drop_batch() {
  sync
  for file in "$batch"/*.CRW; do dd if="$file" iflag=nocache count=0 status=none; done
}
# The time of a command run on the cold batch.
cold_seconds() {
  drop_batch
  seconds "$@"
}

# (a) and (b)
cat_time="" cli_time=""
# The fresh files are still being written back to disk meanwhile, which slows cat unevenly: it
# gets three tries per round.
for _ in $(seq "$rounds"); do
  fresh_batch
  for _ in 1 2 3; do cat_time=$(smaller "$(seconds cat "$batch"/*.CRW)" "$cat_time"); done
  cli_time=$(smaller "$(seconds quiet "$cli" "$batch"/*.CRW)" "$cli_time")
done
fresh_batch
read_per_file=$(($(bytes_read quiet "$cli" "$batch"/*.CRW) / count))

# (e) cold: every file leaves the page cache before cat, and again before tailmend-cli
cold_cat="" cold_cli=""
for _ in $(seq "$rounds"); do
  fresh_batch
  cold_cat=$(smaller "$(cold_seconds cat "$batch"/*.CRW)" "$cold_cat")
  cold_cli=$(smaller "$(cold_seconds quiet "$cli" "$batch"/*.CRW)" "$cold_cli")
done
fresh_batch
drop_batch
disk_per_file=$(
  rchar_into before read_bytes; "$cli" "$batch"/*.CRW >/dev/null 2>&1; rchar_into after read_bytes
  echo $(((after - before) / count))
)

# (f) from the page cache, as (a); the batch ten times over in each run, so that a run lasts long
# enough for its time to mean something
fresh_batch
files=()
for _ in $(seq 10); do files+=("$batch"/*.CRW); done
plain_time="" verdict_time=""
for _ in $(seq $((3 * rounds))); do
  plain_time=$(smaller "$(seconds "$judge" "${files[@]}")" "$plain_time")
  verdict_time=$(smaller "$(seconds "$judge" --verdict "${files[@]}")" "$verdict_time")
done
# (g) on the same files
table_time="" json_time=""
for _ in $(seq $((3 * rounds))); do
  table_time=$(smaller "$(seconds quiet "$cli" --check "${files[@]}")" "$table_time")
  json_time=$(smaller "$(seconds quiet "$cli" --check --json "${files[@]}")" "$json_time")
done

# (c) a heap ending below the scan floor, so that no position of the noise above it passes
scan="$work/scan"
mkdir "$scan"
"$make_crw" "$scan" 1 600000 $((64 * mib - 600000)) noise
scan_file="$scan/IMG_0000.CRW"
scan_result=$("$cli" --check "$scan_file" 2>/dev/null | cut -f 3 || true)
scan_time=""
for _ in $(seq "$rounds"); do scan_time=$(smaller "$(seconds quiet "$cli" --check "$scan_file")" "$scan_time"); done

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
  -v small="$peak_small" -v big="$peak_big" -v cold_cat="$cold_cat" -v cold_cli="$cold_cli" \
  -v disk="$disk_per_file" -v plain="$plain_time" -v verdict="$verdict_time" \
  -v table="$table_time" -v json="$json_time" 'BEGIN {
  printf "%-54s %-26s %s\n", "figure", "measured", "goal"
  printf "%-54s %-26s %s\n", "(a) " count " x 8 MiB repaired / cat of them", \
    sprintf("%.3f (%.3f s / %.3f s)", cli / cat, cli, cat), "<= 0.25"
  printf "%-54s %-26s %s\n", "(b) bytes read per file (1 MiB junk)", \
    sprintf("%d (junk + %d)", read, read - junk), "<= junk + 131072"
  printf "%-54s %-26s %s\n", "(c) scan of a 64 MiB file with no tail (" scan_result ")", \
    sprintf("%.2f GB/s (%.4f s)", scan_bytes / scan_time / 1e9, scan_time), ">= 2 GB/s"
  printf "%-54s %-26s %s\n", "(d) peak memory, 8 MiB file / 1 GiB file", \
    sprintf("%.1f / %.1f MiB", small / 1024, big / 1024), "<= 16 MiB"
  printf "%-54s %-26s %s\n", "(e) (a) from a cold cache / cat of them cold", \
    sprintf("%.3f (%.3f s / %.3f s)", cold_cli / cold_cat, cold_cli, cold_cat), "<= 0.2"
  printf "%-54s %-26s %s\n", "     bytes the disk read per file, cold", sprintf("%d (junk + %d)", disk, disk - junk), ""
  printf "%-54s %-26s %s\n", "(f) verdicts of (a) / the locator alone", \
    sprintf("%.3f (%.3f s / %.3f s)", verdict / plain, verdict, plain), "<= 1.05"
  printf "%-54s %-26s %s\n", "(g) --check --json on the files of (f) / --check", \
    sprintf("%.3f (%.3f s / %.3f s)", json / table, json, table), "<= 1.05"
}'
