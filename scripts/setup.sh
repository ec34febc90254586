#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs whatever Debian packages are missing, then configures and builds Rinkaro in
# build/. Idempotent: with everything in place it only lets the build check for changes.
#   scripts/setup.sh          what the program needs to build and run
#   scripts/setup.sh --tests  also what the test suite needs (X server, xdotool, clang ...)
#   scripts/setup.sh --werror treats compiler warnings as errors from now on (CI does)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

tests=false
werror=false
for argument in "$@"; do
    case "$argument" in
        --tests) tests=true ;;
        --werror) werror=true ;;
        *) echo "usage: scripts/setup.sh [--tests] [--werror]" >&2; exit 2 ;;
    esac
done

# Debian's qt6-charts-dev needs Qt OpenGL's CMake files without depending on them; the
# translations need lupdate and lrelease (qt6-l10n-tools) and their CMake files (qt6-tools-dev).
packages=(cmake ninja-build g++ qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev x11-utils
          qt6-tools-dev qt6-l10n-tools
          libxcb1-dev librsvg2-bin qt6-translations-l10n fonts-ipafont-gothic fonts-bebas-neue fonts-liberation
          libmecab-dev mecab-ipadic-utf8) # word readings for the learner's own texts
if $tests; then
    packages+=(xvfb xauth xdotool openbox wmctrl imagemagick
               clang libclang-rt-14-dev libbenchmark-dev
               desktop-file-utils appstream lintian dpkg-dev file
               fonts-wqy-zenhei # a Chinese face beside the Japanese one, as many desktops have
               dbus-daemon at-spi2-core gir1.2-atspi-2.0 python3-gi) # the screen reader's view
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -eq 0 ]; then
        sudo=()
    elif command -v sudo >/dev/null 2>&1; then
        sudo=(sudo)
    else
        echo "These Debian packages are missing and there is no sudo to install them: ${missing[*]}" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A build tree that exists keeps its own settings; --werror turns the option on in it too.
options=()
if $werror; then
    options+=(-DRINKARO_WERROR=ON)
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}"
elif $werror && ! grep -qx 'RINKARO_WERROR:BOOL=ON' "$build/CMakeCache.txt"; then
    cmake -S "$root" -B "$build" "${options[@]}"
fi
cmake --build "$build" -j"$(nproc)"
