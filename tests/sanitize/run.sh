#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the rules' suites (the ctest label "unit") with AddressSanitizer and
# UndefinedBehaviorSanitizer in a build tree of their own and runs them there. Fails on any
# sanitizer report, leaks included.
# Usage: run.sh SOURCE-DIR BUILD-DIR [WERROR: ON or OFF]
set -euo pipefail

source_dir=$(cd "$1" && pwd)
build_dir=$2
werror=${3:-OFF}

cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DRINKARO_SANITIZE=ON -DRINKARO_WERROR="$werror" -DRINKARO_BUILD_BENCH=OFF \
    >"$build_dir.configure.log" 2>&1 ||
    { cat "$build_dir.configure.log" >&2; echo "FAIL: the sanitizer build does not configure" >&2; exit 1; }
cmake --build "$build_dir" --target rinkaro_unit_suites ||
    { echo "FAIL: the sanitizer build of the rules' suites does not build" >&2; exit 1; }

export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1
ctest --test-dir "$build_dir" -L '^unit$' --output-on-failure -j2
