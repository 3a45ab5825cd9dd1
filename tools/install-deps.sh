#!/usr/bin/env bash
# Installs the Debian 12 packages the program needs, and with --test those its
# tests, benchmarks, fuzzing and Debian package check add.
#   tools/install-deps.sh          building and running (tools/run.sh), and
#                                  building the Debian package (tools/package.sh)
#   tools/install-deps.sh --test   the same and the rest (tools/test.sh)
# It never replaces the machine's sound server: the program needs only the
# servers' client libraries; a server is added for the benchmark that plays
# through a private one only of the kind already installed, or PipeWire where
# none is. The install is simulated first and refused if it would remove a
# package.
set -euo pipefail

case "${1:---run}" in
--run) with_tests=false ;;
--test) with_tests=true ;;
*)
    echo "usage: $0 [--run | --test]" >&2
    exit 2
    ;;
esac

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-qpa-plugins libmpg123-dev
    libpipewire-0.3-dev libpulse-dev libasound2-dev libsdl2-dev
    fonts-wqy-microhei fonts-dejavu-extra
    dpkg-dev file
)

if $with_tests; then
    packages+=(
        libgtest-dev qt6-base-private-dev
        xvfb xauth x11-utils
        desktop-file-utils appstream lintian man-db
        lame sox libsox-fmt-mp3 mpg123
        clang-format clang-14 libclang-rt-14-dev
        dbus pulseaudio-utils
    )
    # server_bench starts a private server of the kind the machine has. Where
    # pulseaudio is installed nothing is added: PipeWire's PulseAudio and ALSA
    # pieces would take its place (or remove it). Elsewhere PipeWire serves,
    # or nothing does, and the missing PipeWire pieces are added: Debian 12's
    # desktop default.
    if ! installed pulseaudio; then
        packages+=(pipewire pipewire-bin pipewire-pulse)
        # wireplumber would replace the older session manager.
        installed pipewire-media-session || packages+=(wireplumber)
    fi
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    "${as_root[@]}" apt-get update
    removed=$(apt-get -s install "${missing[@]}" | sed -n 's/^Remv \([^ ]*\).*/\1/p')
    if [ -n "$removed" ]; then
        echo "install-deps: installing ${missing[*]} would remove: $removed; nothing installed" >&2
        exit 1
    fi
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi
