#!/usr/bin/env bash
# Builds the settings-reader fuzz target with clang in a build tree of its own and runs it
# for a bounded time. Fails on any crash, hang, leak or sanitizer report, and fails (does
# not skip) when clang or its libFuzzer runtime is missing.
# Usage: run.sh SOURCE-DIR BUILD-DIR [SECONDS]
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
    { cat "$build_dir.configure.log" >&2; echo "FAIL: the fuzz target does not configure" >&2; exit 1; }
cmake --build "$build_dir" ||
    { echo "FAIL: the fuzz target does not build (is libclang-rt-14-dev installed?)" >&2; exit 1; }

# The seeds stay as shipped; what the fuzzer finds goes into the build tree.
corpus="$build_dir/corpus"
mkdir -p "$corpus" "$build_dir/artifacts"
cp -n "$source_dir"/tests/fuzz/corpus/* "$corpus"/
"$build_dir/fuzz_settings" "$corpus" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
    -artifact_prefix="$build_dir/artifacts/" -print_final_stats=1
