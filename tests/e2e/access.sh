#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program heard through the accessibility tree: a sitting by keyboard alone in a real X
# server (Xvfb, openbox) at twice the size on a 1280x1024 screen, with the accessibility bus
# of a private D-Bus session and access.py listening on it as a screen reader would.
# Usage: access.sh PATH-TO-rinkaro [--progress]
set -euo pipefail

program=$(readlink -f "$1")
shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d /tmp/rinkaro-access.XXXXXX)
shots=${RINKARO_E2E_SHOTS:-$work}
# shellcheck source=xserver.sh
source "$here/xserver.sh"
start_x_server 1280x1024 || { echo "FAIL: Xvfb did not start" >&2; exit 1; }

export XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home"
mkdir -m 700 -p "$XDG_RUNTIME_DIR" "$HOME"
unset QT_QPA_PLATFORM
# The names looked for are the Japanese ones, whatever the desktop's language.
unset LANGUAGE LC_ALL LC_MESSAGES
export LANG=C.UTF-8
export PYTHONDONTWRITEBYTECODE=1 # nothing written into the source tree
# A learner's level 1 and no records: no welcome box to answer first.
{ echo 1; echo 0; echo 1; for _ in $(seq 26); do echo 0; done; } >"$work/RK.set"

# Inside the private session: the accessibility bus first (Qt looks for it at its start), then
# the program, made active with the pointer over it, then the listener.
# shellcheck disable=SC2016
dbus-run-session -- bash -c '
    set -e
    /usr/bin/python3 -c "import gi; gi.require_version(\"Atspi\", \"2.0\"); from gi.repository import Atspi; Atspi.get_desktop(0)"
    (cd "$1" && QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_SCALE_FACTOR=2 exec "$2" >>"$1/program.log" 2>&1) &
    program=$!
    for _ in $(seq 200); do
        main=$(xdotool search --onlyvisible --name "^Rinkaro 2\$" 2>/dev/null | head -n1 || true)
        [ -n "$main" ] && break
        sleep 0.05
    done
    [ -n "$main" ] || { echo "FAIL: the main window did not open" >&2; kill $program; exit 1; }
    sleep 1
    xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
    eval "$(xdotool getwindowgeometry --shell "$main")"
    xdotool mousemove $((X + 20)) $((Y + 60))
    status=0
    /usr/bin/python3 "$3" "$4" "${@:5}" || status=$?
    kill $program 2>/dev/null || true
    wait $program 2>/dev/null || true
    exit $status
' access "$work" "$program" "$here/access.py" "$shots" "$@" 2> >(grep -v 'dbus-daemon\|SpiRegistry' >&2) ||
    { echo "program log:" >&2; cat "$work/program.log" >&2; exit 1; }
