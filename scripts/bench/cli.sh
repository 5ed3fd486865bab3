#!/usr/bin/env bash
# Measures tailmend-cli against the least its work can cost, and prints each figure beside its goal:
#   (a) on COUNT damaged 8 MiB files (7 MiB of heap, 1 MiB of junk), from a cold cache (each file
#       dropped from the page cache before each contender reads it, as where photos usually are: a
#       card, a recovery disk) and warm (from the page cache), the median times of ROUNDS rounds in
#       which the contenders run side by side: the two floors, one forward read of each file's
#       junk + 64 KiB and the cut alone (each file cut to its heap end, nothing read), the floor of
#       a repair (that read, then the cut), --check, and the repair without backups; with the
#       ratios of --check to the read and of the repair to the read and the cut;
#   (b) the bytes tailmend-cli reads per file of that batch (the kernel's rchar), and those the disk
#       delivered for it cold (read_bytes);
#   (c) its scan speed on a 64 MiB file of image-like noise with no tail, scanned down to the floor;
#   (d) its peak memory (maximum resident set size) on an 8 MiB file, a sparse 1 GiB one and the
#       hostile file of (e);
#   (e) a hostile 16 MiB file, in which every fourth position above the scan floor passes the
#       distance test but has no readable root directory, against a 16 MiB file with 1 MiB of
#       junk (medians, warm), and the system calls it costs (strace);
#   (f) the whole verdict of each file of (a) against the locator's answer alone (judge_files:
#       tailmend-cli always judges), warm;
#   (g) tailmend-cli --check --json on that batch against its tab-separated report.
# The load average is printed before and after: figures taken on a busy machine vary.
# Use a release build (RelWithDebInfo or Release); CLI measures another tailmend-cli (an older
# build) with this build's tools. Dropping files from the page cache needs no root.
# Usage: scripts/bench/cli.sh [BUILD_DIR] [COUNT] [ROUNDS] [CLI]
set -euo pipefail
source "$(dirname "$0")/../lib/common.sh"
build=${1:-build}
count=${2:-100}
rounds=${3:-5}
cli=${4:-$build/cli/tailmend-cli}
make_crw="$build/tests/support/make_damaged_crw"
judge="$build/tests/support/judge_files"
for tool in "$cli" "$make_crw" "$judge" /usr/bin/time /usr/bin/strace; do
  [ -x "$tool" ] || { echo "bench-cli: $tool not found (build the project; apt-get install time strace)" >&2; exit 1; }
done
load() { cut -d ' ' -f 1 /proc/loadavg; }
load_before=$(load)
# The summary each run prints on stderr is no part of what is measured.
quiet() { "$@" 2>/dev/null; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mib=$((1024 * 1024))
heap=$((7 * mib))
junk=$mib
window=$((junk + 64 * 1024))

median() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# Stores in the variable named $1 the bytes this shell and the children it has waited for have
# read, as the kernel counts them (rchar: what the programs asked for; read_bytes, given as $2:
# what the disk delivered for them); no subshell, which would count only itself.
rchar_into() {
  local key value
  while read -r key value; do [ "$key" = "${2:-rchar}:" ] && printf -v "$1" %s "$value"; done </proc/$BASHPID/io
}
# Bytes a command reads (or, with read_bytes first, the disk delivers), less what a run that reads
# no file costs (loading the program).
bytes_read() {
  local counter=rchar
  [ "$1" = read_bytes ] && { counter=read_bytes; shift; }
  (
    local before after base
    rchar_into before "$counter"; "$cli" --version >/dev/null; rchar_into after "$counter"; base=$((after - before))
    rchar_into before "$counter"; "$@" >/dev/null; rchar_into after "$counter"
    echo $((after - before - base))
  )
}
peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }

batch="$work/batch"
mkdir "$batch"
"$make_crw" "$batch" "$count" "$heap" "$junk"
files=("$batch"/*.CRW)
# A cut file gets its junk back, the same bytes, so that every contender meets the same files.
junk_file="$work/junk"
head -c "$junk" /dev/zero | tr '\0' '\377' >"$junk_file"
restore_batch() {
  local file
  for file in "${files[@]}"; do [ "$(stat -c %s "$file")" -eq $((heap + junk)) ] || cat "$junk_file" >>"$file"; done
  sync
}
# Drops the batch from the page cache, file by file, with posix_fadvise(POSIX_FADV_DONTNEED) (dd's
# nocache); what is still being written back is written first, as dirty pages are not dropped.
drop_batch() {
  sync
  local file
  for file in "${files[@]}"; do dd if="$file" iflag=nocache count=0 status=none; done
}
warm_batch() { cat "${files[@]}" >/dev/null; }

# The floors, in one process for the whole batch as tailmend-cli is: each file's last BYTES read
# forwards with one read, and each file cut to LENGTH without reading anything (0: not that part).
# Perl's sysseek, sysread and truncate are the system's own calls, and perl starts as fast as a C++
# program does.
#   floor BYTES LENGTH FILE...
floor() {
  perl -e 'my ($bytes, $length) = splice @ARGV, 0, 2; my $buffer;
    for my $name (@ARGV) {
      open(my $file, $length ? "+<" : "<", $name) or die "$name: $!\n";
      if ($bytes) {
        sysseek($file, (-s $file) - $bytes, 0) or die "$name: $!\n";
        sysread($file, $buffer, $bytes) == $bytes or die "$name: short read\n";
      }
      if ($length) { truncate($file, $length) or die "$name: $!\n" }
    }' "$@"
}
# The contenders; those that cut leave the batch to be restored.
read_floor() { floor "$window" 0 "${files[@]}"; }
cut_floor() { floor 0 "$heap" "${files[@]}"; }
repair_floor() { floor "$window" "$heap" "${files[@]}"; }
check() { quiet "$cli" --check "${files[@]}"; }
repair() { quiet "$cli" "${files[@]}"; }
contenders=(read_floor check cut_floor repair_floor repair)
cutting() { [ "$1" != read_floor ] && [ "$1" != check ]; }

declare -A times
# One round: every contender once, cold or warm, each after the same preparation.
round() {
  local temperature=$1 contender
  for contender in "${contenders[@]}"; do
    if [ "$temperature" = cold ]; then drop_batch; else warm_batch; fi
    times[$temperature.$contender]+=" $(seconds "$contender")"
    if cutting "$contender"; then restore_batch; fi
  done
}
drop_batch
for _ in $(seq "$rounds"); do
  round cold
  round warm
done
declare -A med
for key in "${!times[@]}"; do med[$key]=$(echo "${times[$key]}" | median); done

# (b)
warm_batch
read_per_file=$(($(bytes_read quiet "$cli" --check "${files[@]}") / count))
drop_batch
disk_per_file=$(($(bytes_read read_bytes quiet "$cli" --check "${files[@]}") / count))

# (f) from the page cache; the batch ten times over in each run, so that a run lasts long enough
# for its time to mean something
warm_batch
many=()
for _ in $(seq 10); do many+=("${files[@]}"); done
plain_times="" verdict_times="" table_times="" json_times=""
for _ in $(seq "$rounds"); do
  plain_times+=" $(seconds "$judge" "${many[@]}")"
  verdict_times+=" $(seconds "$judge" --verdict "${many[@]}")"
  # (g) on the same files
  table_times+=" $(seconds quiet "$cli" --check "${many[@]}")"
  json_times+=" $(seconds quiet "$cli" --check --json "${many[@]}")"
done

# (c) a heap ending below the scan floor, so that no position of the noise above it passes
scan="$work/scan"
mkdir "$scan"
"$make_crw" "$scan" 1 600000 $((64 * mib - 600000)) noise
scan_file="$scan/IMG_0000.CRW"
scan_result=$("$cli" --check "$scan_file" 2>/dev/null | cut -f 3 || true)
scan_times=""
for _ in $(seq "$rounds"); do scan_times+=" $(seconds quiet "$cli" --check "$scan_file")"; done

# (e) the hostile file and a plain one of its size, side by side
hostile="$work/hostile"
plain16="$work/plain16"
mkdir "$hostile" "$plain16"
# The heap ends below the floor; after it, the four bytes before every fourth position hold the
# position minus 52, except the file's last four, which stay zero so that its end is no heap end.
"$make_crw" "$hostile" 1 600000 0
hostile_file="$hostile/IMG_0000.CRW"
perl -e 'my ($from, $to) = @ARGV; binmode STDOUT;
  for (my $at = $from; $at < $to - 4; $at += 4) { print pack("V", $at + 4 - 52) }
  print pack("V", 0)' 600000 $((16 * mib)) >>"$hostile_file"
"$make_crw" "$plain16" 1 $((15 * mib)) "$mib"
hostile_result=$("$cli" --check "$hostile_file" 2>/dev/null | cut -f 3 || true)
hostile_times="" plain16_times=""
for _ in $(seq "$rounds"); do
  hostile_times+=" $(seconds quiet "$cli" --check "$hostile_file")"
  plain16_times+=" $(seconds quiet "$cli" --check "$plain16/IMG_0000.CRW")"
done
strace -f -c -o "$work/calls" "$cli" --check "$hostile_file" >/dev/null 2>&1
hostile_calls=$(awk '$NF == "total" { print $4 }' "$work/calls")

# (d) the 1 GiB file is the 8 MiB one grown with a hole: 1016 MiB of zero junk that takes no disk
one="$work/one"
mkdir "$one"
"$make_crw" "$one" 1 "$heap" "$junk"
cp "$one/IMG_0000.CRW" "$one/big.CRW"
truncate -s $((1024 * mib)) "$one/big.CRW"
peak_small=$(peak_kib "$cli" --check "$one/IMG_0000.CRW")
peak_big=$(peak_kib "$cli" --check "$one/big.CRW")
peak_hostile=$(peak_kib "$cli" --check "$hostile_file")

echo "tailmend-cli $("$cli" --version | cut -d ' ' -f 2) ($cli), $count files, medians of $rounds rounds;" \
  "load average $load_before before, $(load) after"
awk -v count="$count" -v rounds="$rounds" \
  -v cr="${med[cold.read_floor]}" -v cc="${med[cold.cut_floor]}" -v crc="${med[cold.repair_floor]}" \
  -v ck="${med[cold.check]}" -v cp="${med[cold.repair]}" \
  -v wr="${med[warm.read_floor]}" -v wc="${med[warm.cut_floor]}" -v wrc="${med[warm.repair_floor]}" \
  -v wk="${med[warm.check]}" -v wp="${med[warm.repair]}" \
  -v read="$read_per_file" -v disk="$disk_per_file" -v junk="$junk" \
  -v scan_bytes=$((64 * mib)) -v scan_time="$(echo "$scan_times" | median)" -v scan_result="$scan_result" \
  -v small="$peak_small" -v big="$peak_big" -v hostile_peak="$peak_hostile" \
  -v hostile="$(echo "$hostile_times" | median)" -v plain16="$(echo "$plain16_times" | median)" \
  -v hostile_result="$hostile_result" -v calls="$hostile_calls" \
  -v plain="$(echo "$plain_times" | median)" -v verdict="$(echo "$verdict_times" | median)" \
  -v table="$(echo "$table_times" | median)" -v json="$(echo "$json_times" | median)" 'BEGIN {
  row = "%-52s %-24s %-24s %s\n"
  printf row, "(a) " count " x 8 MiB, 1 MiB junk", "cold", "warm", "goal"
  printf row, "    floor: read junk + 64 KiB forwards", sprintf("%.3f s", cr), sprintf("%.4f s", wr), ""
  printf row, "    floor: cut alone", sprintf("%.3f s", cc), sprintf("%.4f s", wc), ""
  printf row, "    floor of a repair: the read, then the cut", sprintf("%.3f s", crc), sprintf("%.4f s", wrc), ""
  printf row, "    --check / the read", sprintf("%.3f (%.3f s)", ck / cr, ck), sprintf("%.3f (%.4f s)", wk / wr, wk), \
    "<= 1.15"
  printf row, "    repair / the read, then the cut", sprintf("%.3f (%.3f s)", cp / crc, cp), \
    sprintf("%.3f (%.4f s)", wp / wrc, wp), "<= 1.15"
  printf row, "(b) bytes read per file: asked for / from the disk", sprintf("junk + %d", read - junk), \
    sprintf("junk + %d", disk - junk), "<= junk + 196608"
  printf row, "(c) scan of a 64 MiB file with no tail (" scan_result ")", \
    sprintf("%.2f GB/s (%.4f s)", scan_bytes / scan_time / 1e9, scan_time), "", ">= 2 GB/s"
  printf row, "(d) peak memory: 8 MiB / 1 GiB / hostile 16 MiB", \
    sprintf("%.1f / %.1f / %.1f MiB", small / 1024, big / 1024, hostile_peak / 1024), "", "<= 16 MiB"
  printf row, "(e) hostile 16 MiB (" hostile_result ") / 16 MiB, 1 MiB junk", \
    sprintf("%.2f (%.4f s / %.4f s)", hostile / plain16, hostile, plain16), "", "<= 5"
  printf row, "    system calls, hostile 16 MiB", calls, "", "< 20000"
  printf row, "(f) verdicts of (a) / the locator alone", "", sprintf("%.3f (%.3f s / %.3f s)", verdict / plain, \
    verdict, plain), "<= 1.05"
  printf row, "(g) --check --json on the files of (f) / --check", "", sprintf("%.3f (%.3f s / %.3f s)", \
    json / table, json, table), "<= 1.05"
}'
