#!/usr/bin/env bash
# Installs the Debian 12 packages the program, its tests and its benchmarks need.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev libmpg123-dev libsdl2-dev libgtest-dev
    fonts-wqy-microhei fonts-dejavu-extra
    xvfb xauth
    lame sox libsox-fmt-mp3 mpg123
    clang-format
)

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    "${as_root[@]}" apt-get update
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi
