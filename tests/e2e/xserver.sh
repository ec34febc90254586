# SPDX-License-Identifier: GPL-3.0-or-later
# What the end-to-end scripts share, sourced by them after setting `work` (their temporary
# folder): the processes they start ended and the folder removed at the exit (kept when
# RINKARO_E2E_KEEP is set), and a real X server with a small window manager.
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    [ -n "${RINKARO_E2E_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

# Xvfb on a free display number, chosen by the server itself, and openbox on it; DISPLAY set.
# False when the server does not start.
start_x_server() { # WIDTHxHEIGHT
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || return 1
    export DISPLAY=":$(head -n1 "$work/display")"
    openbox >"$work/openbox.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
    sleep 1 # the window manager announces itself before it has finished starting
}
