#!/usr/bin/env bash
# Installs the Debian 12 packages the program, its tests, its benchmarks and
# its Debian package (tools/package.sh, tools/check-package.sh) need.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-private-dev qt6-qpa-plugins libmpg123-dev libsdl2-dev libgtest-dev
    fonts-wqy-microhei fonts-dejavu-extra
    xvfb xauth x11-utils
    dpkg-dev file desktop-file-utils appstream lintian man-db
    lame sox libsox-fmt-mp3 mpg123
    pulseaudio pulseaudio-utils libpulse-dev
    clang-format clang-14 libclang-rt-14-dev
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
