#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up and builds Rinkaro if needed, then opens it. The settings file RK.set is kept
# in the folder this is run from.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    echo "Rinkaro needs a graphical desktop: no X display is available (DISPLAY='${DISPLAY:-}')." >&2
    exit 1
fi
exec "$root/build/rinkaro"
