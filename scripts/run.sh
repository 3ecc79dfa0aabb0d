#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds the program and starts it. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target morvantide -j"$(nproc)"
exec build/src/app/morvantide "$@"
