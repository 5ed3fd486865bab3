#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer
# into build-fuzz/ and runs each for SECONDS, starting from its seed corpus in fuzz/corpus/:
#   scripts/ci/fuzz.sh [SECONDS] [TARGET...]   (defaults: 10 seconds, every target:
#                                              tail_locator heap_reader rtf_reader command_line)
# New inputs go to a scratch folder, never into the committed corpus. A finding (crash, sanitizer
# report, hang or leak) stops the script with its input saved under build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-10}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(tail_locator heap_reader rtf_reader command_line)
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAILMEND_WERROR=ON \
  -DTAILMEND_BUILD_FUZZERS=ON -DTAILMEND_BUILD_TESTS=OFF -DTAILMEND_BUILD_QT_UI=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build/findings"
for target in "${targets[@]}"; do
  mkdir "$scratch/$target"
  log="$scratch/$target.log"
  status=0
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$target-" "$scratch/$target" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  runs=$(awk '/stat::number_of_executed_units/ { print $2 }' "$log")
  speed=$(awk '/stat::average_exec_per_sec/ { print $2 }' "$log")
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log" >&2
    echo "fuzz: $target FOUND A PROBLEM after ${runs:-?} runs; input in $build/findings/" >&2
    exit 1
  fi
  echo "fuzz: $target: ${runs} runs in ${seconds} s (${speed}/s), corpus $(ls "$scratch/$target" | wc -l) new + $(ls "fuzz/corpus/$target" | wc -l) seeds, no finding"
done
