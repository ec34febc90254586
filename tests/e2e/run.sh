#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program in a real X server (Xvfb with a small window manager), typed at with
# real X key events through xdotool:
#  1. the first start greets the user and shows level 1 in a window that cannot be resized;
#  2. a whole level-1 run typed with one wrong key ends in the typing-time dialog, and the
#     record written at close is that run's time plus one error: a key delivered twice
#     would have counted as a second error, one lost would have left the run unfinished;
#  3. the record survives a restart;
#  4. a record is on disk as soon as it is set: kill -9 right after it loses nothing, and
#     each run is in the history RK.log as it ends;
#  5. SIGTERM (a logout) closes politely: the settings saved, exit status 0, also while
#     the welcome box of a first start is up, and after free romaji was switched on beside a
#     folder named RK.ini.lock;
#  6. two copies in one folder: the one closing last keeps the other's record;
#  7. three copies given SIGTERM at the same instant keep all three records;
#  8. special files: RK.set a named pipe still opens the window and stays a pipe; RK.log a
#     link to a private zero device still lets the progress window open and SIGTERM end
#     the program; a data folder that cannot be made is said in a box, status 1.
#  9. the typing-time dialog, shown 30 times, is centred every time and closes with Return
#     or space; neither it nor the welcome box can be minimised or maximised (checked on
#     the way, as are the main window's icon and Alt and Super letters not judged).
# 10. the progress window opened in the middle of a run leaves the keys to the drill: the
#     rest of the run is judged, and the run reaches RK.log with its times and no error.
# 11. LANGUAGE=en starts in English (the welcome box and the typing-time dialog), and RK.ini's
#     language=ja wins over it at the next start.
# Usage: run.sh PATH-TO-rinkaro
set -euo pipefail

program=$(readlink -f "$1")
work=$(mktemp -d /tmp/rinkaro-e2e.XXXXXX)
shots=${RINKARO_E2E_SHOTS:-$work}
# shellcheck source=xserver.sh
source "$(dirname "${BASH_SOURCE[0]}")/xserver.sh"

fail() {
    echo "FAIL: $*" >&2
    import -window root "$shots/failure.png" 2>/dev/null && echo "screenshot: $shots/failure.png" >&2
    [ -f "$work/RK.set" ] && { echo "RK.set:" >&2; cat "$work/RK.set" >&2; }
    echo "windows: $(xdotool search --onlyvisible --name . 2>/dev/null | while read -r w; do xdotool getwindowname "$w"; done | tr '\n' '|')" >&2
    if kill -0 "${program_pid:-0}" 2>/dev/null; then echo "program running" >&2; else
        wait "${program_pid:-0}" 2>/dev/null; echo "program ended with status $?" >&2; fi
    echo "program log:" >&2; cat "$work/program.log" >&2 2>/dev/null || true
    exit 1
}

start_x_server 1024x768 || fail "Xvfb did not start"

mkdir -p "$work/home"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
# The captions looked for are the Japanese ones, whatever the desktop's language (step 11
# chooses English itself).
unset LANGUAGE LC_ALL LC_MESSAGES
export LANG=C.UTF-8

wait_window() { # name, seconds -> window id
    local id=""
    for _ in $(seq $(( $2 * 20 ))); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.05
    done
    return 1
}
gone() { # pid, seconds
    for _ in $(seq $(( $2 * 20 ))); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.05; done
    return 1
}
focus() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
    xdotool windowfocus --sync "$1" >/dev/null 2>&1 || true
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + 20)) $((Y + 40))
}
line() { sed -n "${1}p" "${2:-$work}/RK.set" | tr -d '\r'; } # line, [folder]
# Whether a window's frame (as the window manager draws it) sits in the middle of the
# 1024x768 screen, within 2 pixels; the window is re-centred once its frame is known.
centred() { # window id
    local cx cy cw ch l r t b
    for _ in $(seq 40); do
        read -r cx cy cw ch < <(xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4}
            /Absolute upper-left Y/ {y=$4} /  Width:/ {w=$2} /  Height:/ {h=$2}
            END {print x, y, w, h}')
        read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
        local dx=$(( (cx - l) + (cw + l + r) / 2 - 512 )) dy=$(( (cy - t) + (ch + t + b) / 2 - 384 ))
        [ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] && return 0
        sleep 0.05
    done
    echo "frame off centre by $dx, $dy" >&2
    return 1
}

# Whether a window asks for no minimise or maximise (Motif functions 8, 16), with "no-close"
# no close either (32), and the window manager offers neither minimise nor maximise.
plain_frame() { # window id, close|no-close
    local flags functions unwanted=24 allowed
    [ "$2" = no-close ] && unwanted=56
    read -r flags functions _ < <(xprop -id "$1" _MOTIF_WM_HINTS | sed 's/.*= //; s/,/ /g')
    allowed=$(xprop -id "$1" _NET_WM_ALLOWED_ACTIONS)
    (( (flags & 1) && !(functions & unwanted) )) &&
        [[ $allowed == *MOVE* && $allowed != *MINIMIZE* && $allowed != *MAXIMIZE* ]]
}
frame_hints() { xprop -id "$1" _MOTIF_WM_HINTS _NET_WM_ALLOWED_ACTIONS | tr '\n' ' '; }

start_program() { # [folder]
    (cd "${1:-$work}" && exec "$program" >>"$work/program.log" 2>&1) &
    program_pid=$!
    pids+=("$program_pid")
}
# The main window of one process (several may be open).
window_of() { # pid
    local id=""
    for _ in $(seq 400); do
        id=$(xdotool search --all --onlyvisible --pid "$1" --name '^Rinkaro 2$' 2>/dev/null | head -n1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.05
    done
    return 1
}
# Greets a first start, then types a whole level-1 run without a wrong key in the given
# main window and dismisses its typing-time dialog: a record whenever no faster run is kept.
clean_run() { # window id, [the level's keys: level 1's by default], [Return or space]
    focus "$1"
    xdotool key space
    sleep 0.2
    xdotool type --delay 15 "${2:-fjfjasdfgfjfj;lkjhfdfsfafgjkjlj;jh}"
    local dialog
    dialog=$(wait_window "タイピング時間" 20) || fail "no typing-time dialog after a clean run"
    centred "$dialog" || fail "the typing-time dialog is not centred"
    focus "$dialog"
    xdotool key "${3:-Return}"
    for _ in $(seq 100); do xdotool search --onlyvisible --name "^タイピング時間\$" >/dev/null 2>&1 || return 0; sleep 0.05; done
    fail "the typing-time dialog did not close with ${3:-Return}"
}
greet() { # folder: the welcome of a first start there
    local welcome
    welcome=$(wait_window "ようこそ" 20) || fail "no welcome message in $1"
    focus "$welcome"
    xdotool key Return
}
exit_status() { # pid: waits for it
    local status=0
    wait "$1" || status=$?
    echo "$status"
}

# ---- 1. First start ----------------------------------------------------------------------
start_program
welcome=$(wait_window "ようこそ" 20) || fail "no welcome message on the first start"
plain_frame "$welcome" close || fail "the welcome box's frame: $(frame_hints "$welcome")"
focus "$welcome"
xdotool key Return
main=$(wait_window "Rinkaro 2" 20) || fail "the main window did not open"
centred "$main" || fail "the main window is not centred"
[[ $(xprop -id "$main" _NET_WM_ICON) == *"Icon (32 x 32)"* ]] || fail "the main window has no icon"
focus "$main"
eval "$(xdotool getwindowgeometry --shell "$main")"
before="${WIDTH}x${HEIGHT}"
xdotool windowsize "$main" 1000 700
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$main")"
[ "${WIDTH}x${HEIGHT}" = "$before" ] || fail "the window was resized to ${WIDTH}x${HEIGHT} (was $before)"
import -window root "$shots/first-start.png"

# ---- 2. A whole level-1 run with one wrong key ---------------------------------------------
focus "$main"
started=$(date +%s.%N)
xdotool key space          # the Start button has the focus
import -window root "$shots/started.png"
sleep 0.2
xdotool type --delay 15 "fjfjasdfgf"
xdotool key alt+j super+j                   # commands, not typed letters: not judged
xdotool type --delay 15 "jfj;lkjhfdfsfa"
xdotool type --delay 15 "q"                 # the wrong key: f is expected
xdotool type --delay 15 "fgjkjlj;jh"
dialog=$(wait_window "タイピング時間" 20) || fail "no typing-time dialog after the run"
centred "$dialog" || fail "the typing-time dialog is not centred"
plain_frame "$dialog" no-close || fail "the typing-time dialog's frame: $(frame_hints "$dialog")"
ended=$(date +%s.%N)
import -window root "$shots/result.png"
focus "$dialog"
xdotool key Return
for _ in $(seq 100); do xdotool search --onlyvisible --name "^タイピング時間\$" >/dev/null 2>&1 || break; sleep 0.05; done

# After the run typing is no longer judged: these keys must not change the record.
focus "$main"
xdotool type --delay 15 "zzz"
wmctrl -c "Rinkaro 2"
gone "$program_pid" 20 || fail "the program did not close"
[ -f "$work/RK.set" ] || fail "no RK.set written at close"
[ "$(wc -l <"$work/RK.set")" -eq 29 ] || fail "RK.set has $(wc -l <"$work/RK.set") lines, not 29"
[ "$(line 1)" = 1 ] || fail "stored level $(line 1), expected 1"
record=$(line 12 | tr ',' '.')
elapsed=$(awk -v a="$started" -v b="$ended" 'BEGIN { printf "%.3f", b - a }')
# One error, plus a time no longer than the script saw pass.
echo "record $record, elapsed seen by the script $elapsed"
awk -v r="$record" -v e="$elapsed" 'BEGIN { exit !(r >= 1 && r <= 1 + e + 0.1) }' ||
    fail "record $record is not one error plus the run's time (at most $elapsed s)"
for n in $(seq 13 29); do [ "$(line "$n")" = 0 ] || fail "line $n is $(line "$n"), expected 0"; done

# ---- 3. The record survives a restart ------------------------------------------------------
start_program
main=$(wait_window "Rinkaro 2" 20) || fail "the main window did not open again"
xdotool search --onlyvisible --name "^ようこそ\$" >/dev/null 2>&1 && fail "welcome message despite RK.set"
focus "$main"
wmctrl -c "Rinkaro 2"
gone "$program_pid" 20 || fail "the program did not close the second time"
[ "$(line 12 | tr ',' '.')" = "$record" ] || fail "record changed across a restart: $(line 12)"

# ---- 4. A record survives a crash right after it was set ----------------------------------
start_program
main=$(window_of "$program_pid") || fail "the main window did not open for the crash test"
clean_run "$main"
kill -9 "$program_pid"
gone "$program_pid" 20 || fail "the program did not die"
crashed=$(line 12 | tr ',' '.')
echo "record after kill -9: $crashed (before: $record)"
awk -v n="$crashed" -v o="$record" 'BEGIN { exit !(n > 0 && n < o) }' ||
    fail "the record set before kill -9 is not in RK.set: $crashed (before: $record)"

# Both runs in this folder are in the history, each appended as it ended (the second just
# before kill -9): the first with its wrong key (f expected, q typed), the second a record.
[ "$(wc -l <"$work/RK.log")" -eq 2 ] || fail "RK.log has $(wc -l <"$work/RK.log") lines, not 2"
IFS=$'\t' read -r -a first < <(sed -n 1p "$work/RK.log")
IFS=$'\t' read -r -a second < <(sed -n 2p "$work/RK.log")
[ "${first[1]} ${first[2]} ${first[4]} ${first[7]}" = "1 o 1 f>q" ] ||
    fail "first history line: ${first[*]}"
[ "${second[4]} ${second[6]}" = "0 1" ] || fail "second history line: ${second[*]}"

# ---- 5. SIGTERM (a logout) closes politely: everything saved, exit status 0 ------------------
mkdir -p "$work/term"
start_program "$work/term"
greet "$work/term"
main=$(window_of "$program_pid") || fail "the main window did not open for the SIGTERM test"
clean_run "$main"
# Untick the hint: only the close saves that.
focus "$main"
read -r ax ay ah < <(xwininfo -id "$main" | awk '/Absolute upper-left X/ {x=$4}
    /Absolute upper-left Y/ {y=$4} /  Height:/ {h=$2} END {print x, y, h}')
# CheckBox1 at 568, 0 in the drill area (354 high at level 1), below the menu bar.
xdotool mousemove $((ax + 575)) $((ay + ah - 354 + 8)) click 1
sleep 0.3
kill -TERM "$program_pid"
gone "$program_pid" 20 || fail "the program did not end on SIGTERM"
status=$(exit_status "$program_pid")
[ "$status" = 0 ] || fail "exit status $status after SIGTERM, expected 0"
[ "$(line 3 "$work/term")" = 0 ] || fail "the hint unticked before SIGTERM was not saved: $(line 3 "$work/term")"
awk -v r="$(line 12 "$work/term" | tr ',' '.')" 'BEGIN { exit !(r > 0) }' || fail "no record after SIGTERM"

# A signal while the welcome box of a first start is up ends the program too.
mkdir -p "$work/early"
start_program "$work/early"
wait_window "ようこそ" 20 >/dev/null || fail "no welcome message in $work/early"
kill -TERM "$program_pid"
gone "$program_pid" 20 || fail "the program did not end on SIGTERM during its welcome"
status=$(exit_status "$program_pid")
[ "$status" = 0 ] || fail "exit status $status after SIGTERM during the welcome, expected 0"

# A folder named RK.ini.lock once froze the window for good at the free romaji item, and
# signals no longer ended it: the item is saved at once and SIGTERM closes as usual.
mkdir -p "$work/inilock/RK.ini.lock"
start_program "$work/inilock"
greet "$work/inilock"
main=$(window_of "$program_pid") || fail "the main window did not open beside RK.ini.lock"
focus "$main"
read -r ax ay < <(xwininfo -id "$main" | awk '/Absolute upper-left X/ {x=$4}
    /Absolute upper-left Y/ {y=$4} END {print x, y}')
# The "オプション" menu: its third item from the end is ローマ字を自由に入力.
xdotool mousemove $((ax + 75)) $((ay + 10)) click 1
sleep 0.5
xdotool key Up Up Up Return
sleep 0.5
grep -qx "freeRomaji=true" "$work/inilock/RK.ini" || fail "free romaji not saved beside RK.ini.lock"
kill -TERM "$program_pid"
gone "$program_pid" 20 || fail "the program did not end on SIGTERM beside RK.ini.lock"
status=$(exit_status "$program_pid")
[ "$status" = 0 ] || fail "exit status $status after SIGTERM beside RK.ini.lock, expected 0"
[ -d "$work/inilock/RK.ini.lock" ] || fail "the folder RK.ini.lock was not left alone"

# ---- 6. Two copies in one folder keep each other's records ---------------------------------
mkdir -p "$work/two"
start_program "$work/two"
pid_a=$program_pid
greet "$work/two"
main_a=$(window_of "$pid_a") || fail "copy A did not open"
start_program "$work/two"
pid_b=$program_pid
greet "$work/two"
main_b=$(window_of "$pid_b") || fail "copy B did not open"
clean_run "$main_a"
wmctrl -i -c "$main_a"
gone "$pid_a" 20 || fail "copy A did not close"
kept=$(line 12 "$work/two")
wmctrl -i -c "$main_b"
gone "$pid_b" 20 || fail "copy B did not close"
[ "$(line 12 "$work/two")" = "$kept" ] && [ "$kept" != 0 ] ||
    fail "copy B's close lost copy A's record $kept: $(line 12 "$work/two")"

# ---- 7. Three copies ended at the same instant keep each other's records -----------------
# Each copy holds a record that is not on disk yet: RK.set is a folder while the records are
# set, so their saves write nothing, and is gone when the signal comes.
mkdir -p "$work/three"
level_keys=("fjfjasdfgfjfj;lkjhfdfsfafgjkjlj;jh" "frdeswaqgtjukilo;phyfrfefwfqftjujijojpjy"
            "fvdcsxazgbjmk,l.;/hnfvfcfxfzfbjmj,j.j/jn")
three=()
for level in 1 2 3; do
    { echo "$level"; echo 0; echo 1; for _ in $(seq 26); do echo 0; done; } >"$work/three/RK.set"
    start_program "$work/three"
    three+=("$program_pid")
    window_of "$program_pid" >/dev/null || fail "copy $level did not open" # RK.set read
done
rm "$work/three/RK.set"
mkdir "$work/three/RK.set"
for level in 1 2 3; do
    clean_run "$(window_of "${three[level - 1]}")" "${level_keys[level - 1]}"
done
rmdir "$work/three/RK.set"
kill -TERM "${three[@]}"
for pid in "${three[@]}"; do
    gone "$pid" 20 || fail "a copy did not end on SIGTERM"
    status=$(exit_status "$pid")
    [ "$status" = 0 ] || fail "exit status $status of a copy after SIGTERM"
done
for line_number in 12 13 14; do
    awk -v r="$(line "$line_number" "$work/three" | tr ',' '.')" 'BEGIN { exit !(r > 0) }' ||
        fail "the record of level $((line_number - 11)) was lost: $(paste -sd' ' "$work/three/RK.set")"
done

# ---- 8. Special files in place of RK.set and RK.log ---------------------------------------
mkdir -p "$work/pipe"
mkfifo "$work/pipe/RK.set"
start_program "$work/pipe"
greet "$work/pipe" # cannot be read: a first start
main=$(window_of "$program_pid") || fail "the main window did not open with RK.set a pipe"
wmctrl -i -c "$main"
gone "$program_pid" 20 || fail "the program did not close with RK.set a pipe"
[ -p "$work/pipe/RK.set" ] || fail "RK.set, a named pipe, was replaced: $(ls -l "$work/pipe")"

# A history that never ends, as a link to a private node (a pipe when not root).
mkdir -p "$work/zero"
if [ "$(id -u)" = 0 ]; then mknod "$work/zero/node" c 1 5; else mkfifo "$work/zero/node"; fi
ln -s node "$work/zero/RK.log"
start_program "$work/zero"
greet "$work/zero"
main=$(window_of "$program_pid") || fail "the main window did not open for the history test"
focus "$main"
read -r ax ay ah < <(xwininfo -id "$main" | awk '/Absolute upper-left X/ {x=$4}
    /Absolute upper-left Y/ {y=$4} /  Height:/ {h=$2} END {print x, y, h}')
# The "オプション" menu, second in the menu bar; its last item opens the progress window.
xdotool mousemove $((ax + 75)) $((ay + 10)) click 1
sleep 0.5
xdotool key Up Return
progress=$(wait_window "成績グラフ" 20) || fail "the progress window did not open over a device"
sleep 0.5
import -window root "$shots/history-device.png"
kill -TERM "$program_pid"
gone "$program_pid" 20 || fail "the program did not end on SIGTERM with RK.log a device"
status=$(exit_status "$program_pid")
[ "$status" = 0 ] || fail "exit status $status after SIGTERM with RK.log a device"
[ -c "$work/zero/node" ] || [ -p "$work/zero/node" ] || fail "the node behind RK.log was replaced"

# A data folder that cannot be had is said in a box (the menu's start has no terminal),
# then the program ends with status 1.
no_data_folder() { # what it is about, environment assignments...
    local about=$1; shift
    (cd "$work" && env "$@" ${runner[@]+"${runner[@]}"} "$program" --data-folder \
        >>"$work/program.log" 2>&1) &
    program_pid=$!
    pids+=("$program_pid")
    box=$(wait_window "Rinkaro 2" 20) || fail "no message box for $about"
    import -window root "$shots/no-data-folder.png"
    focus "$box"
    xdotool key Return
    gone "$program_pid" 20 || fail "the program did not end after its box for $about"
    status=$(exit_status "$program_pid")
    [ "$status" = 1 ] || fail "exit status $status for $about, expected 1"
}
touch "$work/not-a-folder"
no_data_folder "a file where the folder should be" XDG_DATA_HOME="$work/not-a-folder"
# Run as root, a program that took the root for a home would make a folder there: it runs
# with the root read-only (a private mount namespace), and its own words say whether it tried.
runner=()
if [ "$(id -u)" = 0 ]; then
    if unshare --mount --propagation private true 2>/dev/null; then
        runner=(unshare --mount --propagation private
                sh -c 'mount -o remount,bind,ro / && exec "$@"' read-only-root)
    else
        runner=(skip)
    fi
fi
if [ "${runner[0]-}" = skip ]; then
    echo "note: no private mount namespace here; the HOME=/ case is passed over as root"
else
    no_data_folder "HOME=/" HOME=/ XDG_DATA_HOME=
    ! grep -q "folder /.local/share" "$work/program.log" ||
        fail "the program tried to make a data folder under the root folder"
fi
runner=()
[ ! -e /.local/share/rinkaro ] || fail "a data folder was made under the root folder"

# ---- 9. The typing-time dialog is centred at every showing --------------------------------
# The window manager frames it anew each time; clean_run checks it.
mkdir -p "$work/centre"
cp "$work/RK.set" "$work/centre/"
start_program "$work/centre"
main=$(window_of "$program_pid") || fail "the main window did not open for the centring test"
for _ in $(seq 15); do clean_run "$main" "" Return; clean_run "$main" "" space; done
wmctrl -i -c "$main"
gone "$program_pid" 20 || fail "the program did not close after the centring test"

# ---- 10. The progress window opened during a run leaves the keys to the drill ----------------
mkdir -p "$work/during"
start_program "$work/during"
greet "$work/during"
main=$(window_of "$program_pid") || fail "the main window did not open for the run with the window"
focus "$main"
xdotool key space # Start
sleep 0.2
xdotool type --delay 15 "fjfjasdfgfjfj;lkj"
read -r ax ay < <(xwininfo -id "$main" | awk '/Absolute upper-left X/ {x=$4}
    /Absolute upper-left Y/ {y=$4} END {print x, y}')
xdotool mousemove $((ax + 75)) $((ay + 10)) click 1
sleep 0.5
xdotool key Up Return
wait_window "成績グラフ" 20 >/dev/null || fail "the progress window did not open during a run"
sleep 0.5
import -window root "$shots/progress-during-run.png"
xdotool type --delay 15 "hfdfsfafgjkjlj;jh"
dialog=$(wait_window "タイピング時間" 20) ||
    fail "the keys typed after opening the progress window were not judged"
focus "$dialog"
xdotool key Return
# Twelve fields (an empty one collapses in a shell array), no error.
during=$(awk -F'\t' 'NR == 1 {print NF, $5}' "$work/during/RK.log")
[ "$during" = "12 0" ] ||
    fail "the run typed beside the progress window: $(head -n1 "$work/during/RK.log")"
kill -TERM "$program_pid"
gone "$program_pid" 20 || fail "the program did not end after the run beside the progress window"

# ---- 11. The interface's language ----------------------------------------------------------
start_in_english() { # folder
    (cd "$1" && LANGUAGE=en exec "$program" >>"$work/program.log" 2>&1) &
    program_pid=$!
    pids+=("$program_pid")
}
mkdir -p "$work/english"
start_in_english "$work/english"
welcome=$(wait_window "Welcome" 20) || fail "LANGUAGE=en did not greet in English"
focus "$welcome"
xdotool key Return
main=$(window_of "$program_pid") || fail "the main window did not open in English"
focus "$main"
xdotool key space
sleep 0.2
xdotool type --delay 15 "fjfjasdfgfjfj;lkjhfdfsfafgjkjlj;jh"
dialog=$(wait_window "Typing time" 20) || fail "no English typing-time dialog"
import -window root "$shots/english.png"
focus "$dialog"
xdotool key Return
kill -TERM "$program_pid"
gone "$program_pid" 20 || fail "the English program did not end"
printf '[interface]\nlanguage=ja\n' >"$work/english/RK.ini"
start_in_english "$work/english"
main=$(window_of "$program_pid") || fail "the main window did not open again"
clean_run "$main" # waits for タイピング時間
kill -TERM "$program_pid"
gone "$program_pid" 20 || fail "the program did not end after RK.ini chose Japanese"

echo "1 passed, 0 failed"
