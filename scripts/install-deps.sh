#!/usr/bin/env bash
# Installs the Debian 12 packages that Kelvara builds, tests and benchmarks with. Idempotent:
# packages already installed are skipped, and nothing is done when all are present. Runs as root,
# or through sudo otherwise.
#   scripts/install-deps.sh          what the build, the tests and the benchmarks need
#   scripts/install-deps.sh --tsan   also the compiler of the ThreadSanitizer build
set -euo pipefail

packages=(
    # build
    g++ cmake ninja-build pkg-config git
    # GUI toolkit, wide text, locale, desktop services
    qt6-base-dev qt6-qpa-plugins libqt6dbus6
    # the script window's Pascal editor
    libqscintilla2-qt6-dev
    # demuxing, decoding, scaling, resampling
    libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev
    # JPEG writing with EXIF, audio output
    libjpeg62-turbo-dev libexif-dev libsdl2-dev
    # tests and benchmarks (exiftool reads back the EXIF of grabs)
    libgtest-dev libgmock-dev libbenchmark-dev libimage-exiftool-perl
    # the end-to-end test of the program on a real X server, with key and mouse events, and a
    # session bus of its own
    xvfb xdotool x11-apps dbus-daemon
    # reference decoder for benchmarks and test clips
    ffmpeg
    # fuzzing with libFuzzer, LeakSanitizer runtime
    clang libclang-rt-14-dev
)
# GCC 12's ThreadSanitizer reports races between accesses that hold the same std::mutex; the
# ThreadSanitizer build uses clang 16 and its runtime.
if [ "${1:-}" = "--tsan" ]; then
    packages+=(clang-16 libclang-rt-16-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all ${#packages[@]} packages present"
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
else
    echo "install-deps: missing ${missing[*]}; run as root or install sudo" >&2
    exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
