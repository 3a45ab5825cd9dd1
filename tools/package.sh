#!/usr/bin/env bash
# Builds the program alone (no tests, no benchmarks) in build-package/ and
# makes the Debian package tarnwick_<version>_amd64.deb there; prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."

dir=build-package
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
    -DTARN_BUILD_TESTS=OFF -DTARN_BUILD_BENCH=OFF >&2
cmake --build "$dir" -j"${TARN_JOBS:-$(nproc)}" >&2
rm -f "$dir"/tarnwick_*.deb
(cd "$dir" && cpack -G DEB >&2)

debs=("$PWD/$dir"/tarnwick_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || { echo "no single .deb in $dir" >&2; exit 1; }
echo "${debs[0]}"
