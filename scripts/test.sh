#!/usr/bin/env bash
# Sets up and builds Rinkaro with everything its tests need, then runs the whole test
# suite headless: the offscreen Qt suites, the fuzz target and the real-window tests
# under Xvfb.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh" --tests

runtime=$(mktemp -d /tmp/rinkaro-runtime.XXXXXX)
chmod 700 "$runtime"
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR="$runtime"
unset DISPLAY WAYLAND_DISPLAY

ctest --test-dir "$root/build" --output-on-failure -j2
