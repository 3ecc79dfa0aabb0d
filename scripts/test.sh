#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds everything and runs every test: the core and platform
# tests (rules, formats, files, links, the lock) under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short fuzzing run of the file readers, then the whole suite
# (core, platform, widgets, voice, processes, end-to-end, package).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh --test
jobs=$(nproc)

echo "== Core and platform tests with sanitizers"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVANTIDE_SANITIZE=ON \
    -DMORVANTIDE_BUILD_APP=OFF >/dev/null
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== Fuzzing the saved-game and settings readers"
scripts/run-fuzz.sh 15

echo "== All tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMORVANTIDE_BUILD_TESTS=ON -DMORVANTIDE_BUILD_BENCH=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure
