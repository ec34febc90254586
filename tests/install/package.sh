#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package with scripts/package.sh in a folder of its own and checks it:
#  1. the control fields and exactly the files of files.txt under /usr;
#  2. the program and the plugin: stripped, no .comment, no run path, BIND_NOW, no path of
#     the source or build folders;
#  3. the licence: COPYING is the GPL 3, the copyright file is machine-readable and says
#     GPL-3+, the metadata names the licence;
#  4. lintian -I --pedantic reports nothing at all (the README's Install section would justify
#     any tag let through here);
#  5. built again in another folder, with another umask and time zone, the package is the
#     same byte for byte.
# Usage: package.sh SOURCE-FOLDER OUTPUT-FOLDER
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_folder=$(cd "$1" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$2"
out=$(cd "$2" && pwd)
# Both packages from scratch: a tree left by an earlier run could hide what a fresh build does.
rm -rf "$out/deb-build" "$out/second"
build() { # output folder: builds the package there, prints its file name
    mkdir -p "$1"
    bash "$source_folder/scripts/package.sh" "$1" >"$1/package.log" 2>&1 || {
        cat "$1/package.log" >&2; fail "scripts/package.sh failed in $1"; }
    tail -n1 "$1/package.log"
}
deb=$(build "$out")
[ -f "$deb" ] || fail "no package built"
[ "$(basename "$deb")" = "rinkaro_$(dpkg-deb --field "$deb" Version)_$(dpkg --print-architecture).deb" ] ||
    fail "package file named $(basename "$deb")"
dpkg-deb --info "$deb"

# ---- 1. Control fields and files -------------------------------------------------------------
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = rinkaro ] || fail "Package: $(field Package)"
[ "$(field Section)" = education ] || fail "Section: $(field Section)"
for dependency in "libqt6widgets6 " "libqt6charts6 " "libc6 " "fonts-ipafont-gothic," "fonts-bebas-neue | fonts-liberation," \
                  "fonts-liberation2 | fonts-liberation," "qt6-translations-l10n,"; do
    [[ "$(field Depends), " == *"$dependency"* ]] || fail "Depends lacks '$dependency': $(field Depends)"
done
ar t "$deb" | grep -qx data.tar.xz || fail "the files are not compressed with xz: $(ar t "$deb" | xargs)"

# A /usr build puts the private lib folder under the multiarch triplet; files.txt names it
# as a build for any other prefix does.
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
diff -u <(sed 's|^|usr/|' "$here/files.txt") \
    <(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' |
      sed "s|^usr/lib/$multiarch/|usr/lib/|" | LC_ALL=C sort) ||
    fail "the package's files differ from files.txt"
root="$out/unpacked"
rm -rf "$root"
dpkg-deb --extract "$deb" "$root"

# ---- 2. The two ELF files --------------------------------------------------------------------
for elf in usr/bin/rinkaro "usr/lib/$multiarch/rinkaro/librinkaro_progress.so"; do
    file=$root/$elf
    # Each tool's whole output is read before it is searched: a search that stops at the
    # first match would end the tool early, and pipefail would turn the match into a miss.
    description=$(file -b "$file") sections=$(readelf -S -W "$file") dynamic=$(readelf -d -W "$file")
    [[ "$description" == *", stripped" ]] || fail "$elf is not stripped"
    ! grep -q ' \.comment ' <<<"$sections" || fail "$elf keeps a .comment section"
    ! grep -qE '\((RPATH|RUNPATH)\)' <<<"$dynamic" ||
        fail "$elf has a run path: $(grep -E 'R(UN)?PATH' <<<"$dynamic")"
    grep -qE '\(FLAGS\).*BIND_NOW' <<<"$dynamic" || fail "$elf is not linked with BIND_NOW"
    # Qt's string literals are UTF-16: both encodings are searched.
    texts=$(strings -a "$file"; strings -a -e l "$file")
    for folder in "$source_folder" "$out"; do
        ! grep -qF "$folder" <<<"$texts" || fail "$elf names the build folder $folder"
    done
done

# ---- 3. Licence ------------------------------------------------------------------------------
# The text of Debian's /usr/share/common-licenses/GPL-3.
[ "$(sha256sum <"$source_folder/COPYING")" = "3972dc9744f6499f0f9b2dbf76696f2ae7ad8af9b23dde66d6af86c9dfb36986  -" ] ||
    fail "COPYING is not the GPL 3"
copyright=$root/usr/share/doc/rinkaro/copyright
head -n1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not machine-readable"
grep -qx 'License: GPL-3+' "$copyright" && grep -qF '/usr/share/common-licenses/GPL-3' "$copyright" ||
    fail "the copyright file does not give the GPL-3+"
grep -q '<project_license>GPL-3.0-or-later</project_license>' \
    "$root/usr/share/metainfo/io.github.rinkaro.Rinkaro.metainfo.xml" ||
    fail "the metadata names no project licence"

# ---- 4. lintian ------------------------------------------------------------------------------
lintian -I --pedantic "$deb" >"$out/lintian.log" 2>&1 || true
cat "$out/lintian.log"
! grep -qE '^[EWIPX]: rinkaro' "$out/lintian.log" || fail "lintian reports problems"

# ---- 5. Reproducible -------------------------------------------------------------------------
second=$(cd "$out" && umask 0002 && TZ=Asia/Tokyo build "$out/second")
cmp "$deb" "$second" || fail "a second build in $out/second differs from the first"

echo "package: all checks passed"
