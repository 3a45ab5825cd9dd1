#!/usr/bin/env bash
# From a fresh Debian 12 machine to the running window: installs the packages,
# builds and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh --run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARN_BUILD_TESTS=OFF -DTARN_BUILD_BENCH=OFF
cmake --build build --target tarnwick -j"$(nproc)"
exec build/app/tarnwick
