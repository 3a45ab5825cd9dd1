#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default
# 60) from the seed corpus in fuzz/corpus; new inputs that reach new code are
# kept in build-fuzz/corpus, so a longer run later starts from there.
# Usage: tools/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARN_BUILD_FUZZ=ON -DTARN_BUILD_TESTS=OFF -DTARN_BUILD_BENCH=OFF
cmake --build build-fuzz -j"$(nproc)" --target mp3_fuzz time_entry_fuzz

export QT_QPA_PLATFORM=offscreen
for target in mp3:mp3_fuzz time:time_entry_fuzz; do
    corpus=${target%%:*}
    binary=${target##*:}
    mkdir -p "build-fuzz/corpus/$corpus"
    echo "== fuzz $binary for $seconds s"
    ASAN_OPTIONS=detect_leaks=1 "build-fuzz/fuzz/$binary" -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        "build-fuzz/corpus/$corpus" "fuzz/corpus/$corpus"
done
