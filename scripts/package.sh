#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package rinkaro_<version>_<arch>.deb: a build for /usr with Debian's own
# compiler and hardening flags (build type None, so CMake adds none of its own), without the
# tests and benchmarks, packed by CPack with the library dependencies found by
# dpkg-shlibdeps. The package's own build tree is the subfolder deb-build of the output
# folder, so a development build there is left alone. The same sources give the same
# package, byte for byte, in any folder: no build path is kept (-ffile-prefix-map), and
# every time stamp is SOURCE_DATE_EPOCH, by default the time of the last commit.
#   scripts/package.sh [OUTPUT-FOLDER]    default: $RINKARO_PACKAGE_DIR, else build/
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$(realpath -m "${1:-${RINKARO_PACKAGE_DIR:-$root/build}}")
tree="$out/deb-build"

missing=()
for need in cmake:cmake ninja:ninja-build g++:g++ dpkg-shlibdeps:dpkg-dev \
            rsvg-convert:librsvg2-bin; do
    command -v "${need%%:*}" >/dev/null 2>&1 || missing+=("${need#*:}")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Missing Debian packages: ${missing[*]} (scripts/setup.sh --tests installs them)" >&2
    exit 1
fi

# CPack takes the modes of the package's own members from the files it writes: the umask
# dpkg-buildpackage uses, whatever the user's.
umask 0022
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    # Outside a git clone (a source archive), the date of the change log's newest entry.
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null ||
                        dpkg-parsechangelog -l "$root/data/changelog" -STimestamp)
fi
export SOURCE_DATE_EPOCH # also read by Qt's rcc for the times of the embedded icons
# CMake reads no CPPFLAGS: the preprocessor's hardening goes with the compiler flags. The
# source and build folders become "." in file names the compiler keeps (__FILE__, debug
# information); the build folder's map comes last, which wins when it lies in the source.
flags() { (cd "$root" && dpkg-buildflags --get "$1"); }
cxxflags="$(flags CXXFLAGS) $(flags CPPFLAGS) -ffile-prefix-map=$root=. -ffile-prefix-map=$tree=."
ldflags=$(flags LDFLAGS)

# Qt's rcc writes SOURCE_DATE_EPOCH into the program, and the build cannot see it change: a
# tree built for another commit starts over.
stamp="$tree/source-date-epoch"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" != "$SOURCE_DATE_EPOCH" ]; then
    rm -rf "$tree"
fi
# The plugin is a module: the same linker flags, so that it is hardened like the program.
cmake -S "$root" -B "$tree" -G Ninja \
    -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_SKIP_INSTALL_RPATH=ON \
    -DRINKARO_BUILD_TESTS=OFF -DRINKARO_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
    -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" >/dev/null
echo "$SOURCE_DATE_EPOCH" >"$stamp"
cmake --build "$tree" -j"$(nproc)"
rm -f "$tree"/cpack/rinkaro_*.deb
(cd "$tree" && cpack --config CPackConfig.cmake -B "$tree/cpack" >/dev/null)

debs=("$tree"/cpack/rinkaro_*.deb)
[ -f "${debs[0]}" ] || { echo "CPack made no package" >&2; exit 1; }
mv -f "${debs[0]}" "$out/"
echo "$out/$(basename "${debs[0]}")"
