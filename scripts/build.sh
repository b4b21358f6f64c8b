#!/usr/bin/env bash
# Configures build/ once and then builds incrementally: an unchanged tree rebuilds nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ ! -f build/CMakeCache.txt ]]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build --parallel
