#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds everything and runs every test: the core and platform
# tests (rules, formats, files, links, the lock) under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short fuzzing run of the file readers, the layout and naming
# checks, then the whole suite (core, platform, widgets, voice, processes, end-to-end, package).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh --test
jobs=$(nproc)

echo "== Core and platform tests with sanitizers"
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$jobs"
ctest --preset asan -j"$jobs"

echo "== Fuzzing the saved-game and settings readers"
scripts/run-fuzz.sh 15

echo "== All tests"
cmake --preset default -DMORVANTIDE_BUILD_TESTS=ON -DMORVANTIDE_BUILD_BENCH=ON >/dev/null
cmake --build --preset default -j"$jobs"

echo "== Layout and names (.clang-format, .clang-tidy)"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
run-clang-tidy -quiet -p build -j"$jobs" "$PWD/(src|tests|bench)/" >build/clang-tidy.log 2>&1 ||
    { grep -E 'warning:|error:' -A2 build/clang-tidy.log; exit 1; }

ctest --preset default
