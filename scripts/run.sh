#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds the program and starts it. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh
# The tests and benchmarks need more packages; scripts/test.sh turns them back on.
cmake --preset default -DMORVANTIDE_BUILD_TESTS=OFF -DMORVANTIDE_BUILD_BENCH=OFF >/dev/null
cmake --build build --target morvantide -j"$(nproc)"
exec build/src/app/morvantide "$@"
