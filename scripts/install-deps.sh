#!/usr/bin/env bash
# Installs the Debian packages that are missing (through sudo when not root):
# without arguments only what building and running the demo and the capture
# program needs; with --tests also everything the tests, the benchmarks, the
# sanitizer builds and the package test need. Nothing happens when all are
# there.
set -eu

packages=(
    # build
    cmake g++ make pkg-config
    libx11-dev libxext-dev libxxf86vm-dev libxrandr-dev libgl-dev libglu1-mesa-dev
    libegl-dev libegl-mesa0
    libxmp-dev libsdl2-dev libpng-dev
    # the sound layer's own stream on a PulseAudio or a PipeWire server
    libpulse-dev libpipewire-0.3-dev
    # run: Mesa's GL drivers
    libgl1-mesa-dri
)
if [ "${1:-}" = "--tests" ]; then
    packages+=(
        # tests and benchmarks
        libxtst-dev libgtest-dev libgmock-dev libbenchmark-dev libstb-dev lib3ds-dev
        xvfb xauth x11-utils
        # the BMP reader's peer check decodes with ImageMagick
        imagemagick
        # the capture's MP4 encoder (ffprobe comes with it)
        ffmpeg
        # full-screen video-mode tests: a headless Xorg with XF86VidMode
        xserver-xorg-core xserver-xorg-video-dummy
        # the Debian package (cpack's dependency scan, Debian's package checks)
        dpkg-dev file lintian
        # sound sync on real sound servers: tests and bench_sound_sync start a
        # private PulseAudio, or a private PipeWire session on its own D-Bus,
        # with a null sink
        pulseaudio pipewire pipewire-pulse wireplumber dbus-daemon
        # full screen on a Wayland desktop: headless sway with Xwayland, keys
        # through the compositor (wtype), its output captured (grim); xhost
        # lets the tests' user into the Xwayland of sway's user
        sway xwayland wtype grim x11-xserver-utils
        # fuzz harnesses and sanitizer runtimes
        clang libclang-rt-14-dev
    )
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
