#!/usr/bin/env bash
# Builds the programs and starts the window program (it needs a display).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/dev/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"
exec build/tailmend
