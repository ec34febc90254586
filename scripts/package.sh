#!/usr/bin/env bash
# Builds the Debian package rinkaro_<version>_<arch>.deb: a Release build for /usr with
# Debian's hardening flags, without the tests and benchmarks, packed by CPack with the
# library dependencies found by dpkg-shlibdeps. The package's own build tree is the
# subfolder deb-build of the output folder, so a development build there is left alone.
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
    echo "Missing Debian packages: ${missing[*]} (scripts/setup.sh installs them)" >&2
    exit 1
fi

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# CMake reads no CPPFLAGS: the preprocessor's hardening goes with the compiler flags.
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)

cmake -S "$root" -B "$tree" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DRINKARO_BUILD_TESTS=OFF -DRINKARO_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$tree" -j"$(nproc)"
rm -f "$tree"/cpack/rinkaro_*.deb
(cd "$tree" && cpack --config CPackConfig.cmake -B "$tree/cpack" >/dev/null)

debs=("$tree"/cpack/rinkaro_*.deb)
[ -f "${debs[0]}" ] || { echo "CPack made no package" >&2; exit 1; }
mv -f "${debs[0]}" "$out/"
echo "$out/$(basename "${debs[0]}")"
