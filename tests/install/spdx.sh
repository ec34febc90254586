#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that every source, build and script file names its licence in an SPDX line among
# its first three lines (after a #! line): "// SPDX-License-Identifier: GPL-3.0-or-later" in
# C++ and "# SPDX-License-Identifier: GPL-3.0-or-later" in CMake and shell files. Data files
# (fuzz corpora, lists, metadata, the manual page, icons) are covered by data/copyright.
# Usage: spdx.sh SOURCE-FOLDER
set -euo pipefail

cd "$1"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    files=$(git ls-files)
else
    files=$(find . -path ./build -prune -o -type f -print | sed 's|^\./||')
fi
missing=()
while IFS= read -r file; do
    case "$file" in
        *.cpp | *.h | *.h.in) marker='// SPDX-License-Identifier: GPL-3.0-or-later' ;;
        *.sh | *.cmake | */CMakeLists.txt | CMakeLists.txt | .ci/run)
            marker='# SPDX-License-Identifier: GPL-3.0-or-later' ;;
        *) continue ;;
    esac
    top=$(head -n 4 "$file" | grep -v '^#!' | head -n 3 || true)
    grep -qxF "$marker" <<<"$top" || missing+=("$file")
done <<<"$files"
if [ ${#missing[@]} -gt 0 ]; then
    printf 'no SPDX line: %s\n' "${missing[@]}" >&2
    exit 1
fi
echo "spdx: every source file names its licence"
