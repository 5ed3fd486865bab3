#!/usr/bin/env bash
# Kills `tailmend-cli --backup` with SIGKILL at random moments of a batch and checks after each
# kill that nothing was lost: every photo is its original or cut to its heap with a whole backup
# beside it, every file under a backup name is a whole copy, and anything else left is a
# temporary of the backup.
#   scripts/ci/crash-test.sh [BUILD_DIR] [KILLS]     (defaults: build, 30)
set -euo pipefail
source "$(dirname "$0")/../lib/common.sh"
build=${1:-build}
kills=${2:-30}
cli="$build/cli/tailmend-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

count=4
heap=$((8 * 1024 * 1024))
junk=$((1024 * 1024))
mkdir "$work/reference"
"$build/tests/support/make_damaged_crw" "$work/reference" 1 "$heap" "$junk"
original="$work/reference/IMG_0000.CRW"
repaired="$work/reference/repaired"
head -c "$heap" "$original" >"$repaired"

fresh_batch() {
  rm -rf "$work/batch"
  mkdir "$work/batch"
  for i in $(seq 0 $((count - 1))); do cp "$original" "$work/batch/IMG_000$i.CRW"; done
}

# One undisturbed run tells how long a run lasts; the kills fall anywhere within it.
fresh_batch
run_seconds=$(seconds "$cli" --backup "$work"/batch/*.CRW)

problems=0
complain() { echo "crash-test: kill $kill: $*" >&2; problems=$((problems + 1)); }
check_batch() {
  local file name photo
  for file in "$work"/batch/*; do
    name=${file##*/}
    case $name in
      IMG_000?.CRW) ;;
      IMG_000?_bak*.crw) cmp -s "$file" "$original" || complain "$name is not a whole backup ($(stat -c %s "$file") bytes)" ;;
      IMG_000?~????.tmp) temporaries=$((temporaries + 1)) ;;
      *) complain "unexpected file $name" ;;
    esac
  done
  for photo in "$work"/batch/IMG_000?.CRW; do
    cmp -s "$photo" "$original" && continue
    if ! cmp -s "$photo" "$repaired"; then
      complain "${photo##*/} is neither its original nor repaired"
    elif ! compgen -G "${photo%.CRW}_bak*.crw" >/dev/null; then
      complain "${photo##*/} was cut without a backup"
    fi
  done
}

during=0
temporaries=0
for kill in $(seq "$kills"); do
  fresh_batch
  delay=$(awk -v run="$run_seconds" -v r="$RANDOM$RANDOM" 'BEGIN { srand(r); printf "%.4f", rand() * 0.9 * run }')
  "$cli" --backup "$work"/batch/*.CRW >/dev/null &
  pid=$!
  sleep "$delay"
  kill -KILL "$pid" 2>/dev/null || true
  status=0
  { wait "$pid"; } 2>/dev/null || status=$?
  [ "$status" -eq 137 ] && during=$((during + 1))
  check_batch
done

echo "crash-test: $kills kills ($during during a run of $(awk -v run="$run_seconds" 'BEGIN { printf "%d", run * 1000 }') ms, $count photos of $(((heap + junk) / 1048576)) MiB), $temporaries temporaries left behind, $problems problems"
[ "$problems" -eq 0 ]
