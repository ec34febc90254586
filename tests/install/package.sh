#!/usr/bin/env bash
# Builds the Debian package with scripts/package.sh in a folder of its own and checks it:
# the control fields, exactly the files of files.txt under /usr, a stripped program, and no
# lintian error or warning.
# Usage: package.sh SOURCE-FOLDER OUTPUT-FOLDER
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$2"
bash "$1/scripts/package.sh" "$2" >"$2/package.log" 2>&1 || {
    cat "$2/package.log" >&2; fail "scripts/package.sh failed"; }
deb=$(tail -n1 "$2/package.log")
[ -f "$deb" ] || { cat "$2/package.log" >&2; fail "no package built"; }
[ "$(basename "$deb")" = "rinkaro_$(dpkg-deb --field "$deb" Version)_$(dpkg --print-architecture).deb" ] ||
    fail "package file named $(basename "$deb")"
dpkg-deb --info "$deb"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = rinkaro ] || fail "Package: $(field Package)"
[ "$(field Section)" = education ] || fail "Section: $(field Section)"
for dependency in "libqt6widgets6 " "libqt6charts6 " "libc6 " "fonts-ipafont-gothic," "fonts-bebas-neue | fonts-liberation," \
                  "fonts-liberation2 | fonts-liberation," "qt6-translations-l10n,"; do
    [[ "$(field Depends), " == *"$dependency"* ]] || fail "Depends lacks '$dependency': $(field Depends)"
done

# A /usr build puts the private lib folder under the multiarch triplet; files.txt names it
# as a build for any other prefix does.
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
diff -u <(sed 's|^|usr/|' "$here/files.txt") \
    <(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' |
      sed "s|^usr/lib/$multiarch/|usr/lib/|" | LC_ALL=C sort) ||
    fail "the package's files differ from files.txt"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/bin/rinkaro >"$2/rinkaro.unpacked"
file -b "$2/rinkaro.unpacked" | grep -q ', stripped$' || fail "the program is not stripped"

lintian --fail-on error,warning --display-info "$deb" || fail "lintian reports problems"
echo "package: all checks passed"
