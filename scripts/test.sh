#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up and builds Rinkaro with everything its tests need, warnings as errors, then runs
# the whole test suite headless: the offscreen Qt suites, the fuzz targets, the rules'
# suites under the sanitizers, the real-window tests under Xvfb and the package.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh" --tests --werror

runtime=$(mktemp -d /tmp/rinkaro-runtime.XXXXXX)
chmod 700 "$runtime"
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR="$runtime"
unset DISPLAY WAYLAND_DISPLAY

ctest --test-dir "$root/build" --output-on-failure -j2
