#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix and checks what a desktop gets from it:
#  1. exactly the files listed in files.txt (no test or benchmark binaries);
#  2. a valid desktop entry and AppStream component under one application id, and an icon
#     of every size the size its folder says;
#  3. one version everywhere: the program, the metadata's newest release, the manual, the
#     change log;
#  4. the command line: --help, --version and errors for anything unknown without a display;
#     the program holds no path of the build tree it was built in;
#  5. the working folder: the menu's Exec line runs the program in $XDG_DATA_HOME/rinkaro,
#     made private when missing; a plain start stays where it was started.
# Usage: run.sh BUILD-FOLDER
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d /tmp/rinkaro-install.XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$work/usr"
cmake --install "$1" --prefix "$prefix" >/dev/null
id=io.github.rinkaro.Rinkaro
desktop="$prefix/share/applications/$id.desktop"
metainfo="$prefix/share/metainfo/$id.metainfo.xml"
rinkaro="$prefix/bin/rinkaro"

# ---- 1. Files ------------------------------------------------------------------------------
diff -u "$here/files.txt" <(cd "$prefix" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort) ||
    fail "the installed files differ from files.txt"

# ---- 2. Desktop entry, metadata, icons -----------------------------------------------------
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
appstreamcli validate --no-net --pedantic "$metainfo" >"$work/appstream.log" 2>&1 || {
    cat "$work/appstream.log" >&2; fail "appstreamcli rejects the metadata"; }
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Icon)" = "$id" ] || fail "desktop entry's Icon is $(key Icon), not $id"
grep -q "<id>$id</id>" "$metainfo" || fail "metadata's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "metadata does not launch $id.desktop"
for size in 16 22 24 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
    file -b "$png" | grep -q "^PNG image data, $size x $size," ||
        fail "$png: $(file -b "$png"), not a $size px PNG"
done

# ---- 3. Version ----------------------------------------------------------------------------
version=$(env -u DISPLAY -u QT_QPA_PLATFORM "$rinkaro" --version) || fail "--version failed"
version=${version#rinkaro }
release=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n1 | cut -d'"' -f2)
manual=$(zcat "$prefix/share/man/man1/rinkaro.1.gz" | sed -n 's/^\.TH .*"Rinkaro \([^"]*\)".*/\1/p')
changes=$(zcat "$prefix/share/doc/rinkaro/changelog.gz" | sed -n '1s/^rinkaro (\([^)]*\)).*/\1/p')
[ "$release|$manual|$changes" = "$version|$version|$version" ] ||
    fail "program $version, metadata $release, manual $manual, change log $changes"

# ---- 4. Command line -----------------------------------------------------------------------
help=$(env -u DISPLAY -u QT_QPA_PLATFORM "$rinkaro" --help) || fail "--help failed"
grep -q -- "--data-folder" <<<"$help" || fail "--help does not mention --data-folder"
rejects() { # expected message, arguments...: status 1 and the message, with or without display
    local expected=$1 status; shift
    for display in none offscreen; do
        status=0
        if [ $display = none ]; then
            env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$rinkaro" "$@" >/dev/null 2>"$work/stderr" || status=$?
        else
            QT_QPA_PLATFORM=offscreen "$rinkaro" "$@" >/dev/null 2>"$work/stderr" || status=$?
        fi
        [ "$status" = 1 ] || fail "'$*' ended with status $status ($display display), not 1"
        grep -qF "$expected" "$work/stderr" || fail "'$*' did not say \"$expected\": $(cat "$work/stderr")"
    done
}
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
rejects "Unknown option 'bogus'" --bogus
rejects "Unknown option 'bogus'" -style fusion --bogus
rejects "Unexpected argument 'extra'" text.txt extra
rejects "Choose either" --data-folder --working-folder "$work"
export QT_QPA_PLATFORM=offscreen
status=0
"$rinkaro" --working-folder "$work/missing" >/dev/null 2>"$work/stderr" || status=$?
[ "$status" = 1 ] && grep -qF "Cannot work in the folder $work/missing" "$work/stderr" ||
    fail "a missing working folder gave status $status: $(cat "$work/stderr")"
# Qt's own options are left for Qt to take.
[ "$("$rinkaro" -platform offscreen --version 2>/dev/null)" = "rinkaro $version" ] ||
    fail "-platform offscreen --version did not print the version"

# The plugin is looked for where the build installs it and beside the program, never in the
# build tree: no path of it in the data the program reads (debug information may name it).
build=$(cd "$1" && pwd)
objcopy -O binary --only-section=.rodata "$rinkaro" "$work/rodata"
texts=$(strings -a "$work/rodata"; strings -a -e l "$work/rodata")
! grep -qF "$build" <<<"$texts" || fail "the installed program names its build tree $build"

# ---- 5. Working folder ---------------------------------------------------------------------
started_in() { # expected folder, command...: started in $work/start, where does it run?
    local expected=$1; shift
    (cd "$work/start" && exec "$@" >>"$work/program.log" 2>&1) &
    local pid=$! cwd=""
    pids+=("$pid")
    # Wait for the folder, and for the fonts, which are loaded after the folder is chosen.
    for _ in $(seq 400); do
        kill -0 "$pid" 2>/dev/null || { cat "$work/program.log" >&2; fail "'$*' ended early"; }
        cwd=$(readlink "/proc/$pid/cwd" || true)
        [ "$cwd" = "$expected" ] && grep -q /fontconfig/ "/proc/$pid/maps" && break
        sleep 0.05
    done
    kill "$pid"
    [ "$cwd" = "$expected" ] || fail "'$*' runs in '$cwd', not in $expected"
}
mkdir "$work/start" "$work/chosen"
read -r -a exec_line <<<"$(key Exec)"
[ "${exec_line[0]}" = rinkaro ] || fail "Exec line starts with ${exec_line[0]}"
# The menu's way, with a data folder whose parents are missing too.
PATH="$prefix/bin:$PATH" XDG_DATA_HOME="$work/data/home" started_in "$work/data/home/rinkaro" "${exec_line[@]}"
[ "$(stat -c %a "$work/data/home/rinkaro")" = 700 ] || fail "the data folder is not private"
# A relative XDG_DATA_HOME is ignored, as the base directory rules say.
HOME="$work/home" XDG_DATA_HOME=relative started_in "$work/home/.local/share/rinkaro" "$rinkaro" --data-folder
started_in "$work/chosen" "$rinkaro" --working-folder "$work/chosen"
started_in "$work/start" "$rinkaro"
[ ! -e "$work/start/RK.set" ] || fail "RK.set written into the start folder"

echo "install: all checks passed"
