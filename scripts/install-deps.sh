#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that
# are missing (through sudo when not root). Nothing happens when all are there.
set -eu

packages=(
    # build
    cmake g++ make pkg-config
    libx11-dev libxext-dev libxxf86vm-dev libxtst-dev libgl-dev libglu1-mesa-dev
    libegl-dev libegl-mesa0
    libxmp-dev libsdl2-dev libpng-dev
    # the sound layer's own stream on a PulseAudio / PipeWire-Pulse server
    libpulse-dev
    # tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev libstb-dev lib3ds-dev
    xvfb xauth x11-utils libgl1-mesa-dri
    # the BMP reader's peer check decodes with ImageMagick
    imagemagick
    # the capture's MP4 encoder (ffprobe comes with it)
    ffmpeg
    # full-screen video-mode tests: a headless Xorg with XF86VidMode
    xserver-xorg-core xserver-xorg-video-dummy
    # sound sync on a real sound server: tests and bench_sound_sync start a
    # private PulseAudio with a null sink
    pulseaudio
)
if [ "${1:-}" = "--tests" ]; then
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
