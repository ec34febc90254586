#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets (settings reader, history reader, reading splitter) with clang in
# a build tree of their own and runs them one after the other, sharing a bounded time. Fails on any crash,
# hang, leak or sanitizer report, and fails (does not skip) when clang or its libFuzzer
# runtime is missing.
# Usage: run.sh SOURCE-DIR BUILD-DIR [SECONDS-IN-ALL]
set -euo pipefail

source_dir=$(cd "$1" && pwd)
build_dir=$2
seconds=${3:-25}

clang=$(command -v clang++ || true)
if [ -z "$clang" ]; then
    echo "FAIL: clang++ not found; install the Debian packages clang and libclang-rt-14-dev" >&2
    exit 1
fi

cmake -S "$source_dir/tests/fuzz" -B "$build_dir" -G Ninja \
    -DCMAKE_CXX_COMPILER="$clang" -DCMAKE_BUILD_TYPE=Debug \
    -DRINKARO_SOURCE_DIR="$source_dir" >"$build_dir.configure.log" 2>&1 ||
    { cat "$build_dir.configure.log" >&2; echo "FAIL: the fuzz targets do not configure" >&2; exit 1; }
cmake --build "$build_dir" ||
    { echo "FAIL: the fuzz targets do not build (is libclang-rt-14-dev installed?)" >&2; exit 1; }

# target, seed folder, longest input: the history reader gets more, as its lines are longer
targets=(
    "fuzz_settings corpus 8192"
    "fuzz_runlog corpus-runlog 65536"
    "fuzz_reading corpus-reading 4096"
)
share=$(( seconds / ${#targets[@]} ))
(( share > 0 )) || share=1
for target in "${targets[@]}"; do
    read -r name seeds max_len <<<"$target"
    # The seeds stay as shipped; what the fuzzer finds goes into the build tree.
    corpus="$build_dir/$seeds"
    mkdir -p "$corpus" "$build_dir/artifacts/$name"
    cp -n "$source_dir/tests/fuzz/$seeds"/* "$corpus"/
    echo "== $name for ${share}s"
    "$build_dir/$name" "$corpus" \
        -max_total_time="$share" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
        -artifact_prefix="$build_dir/artifacts/$name/" -print_final_stats=1
done
