#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each one for a while on a
# working copy of the committed seed corpus (the committed corpus is never written to).
# Usage: scripts/run-fuzz.sh [seconds per fuzzer, default 20]
# Exits non-zero when a fuzzer finds a crash; the input is kept in build-fuzz/artifacts.
set -euo pipefail

seconds="${1:-20}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || ((seconds == 0)); then
    echo "usage: $0 [seconds per fuzzer, a positive whole number]" >&2
    exit 2
fi

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"
fuzzers=(saved_game_fuzzer settings_fuzzer)

CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMORVANTIDE_BUILD_APP=OFF -DMORVANTIDE_FUZZ=ON
cmake --build "$build" -j2 --target "${fuzzers[@]}"

status=0
for fuzzer in "${fuzzers[@]}"; do
    # The working corpus keeps what earlier runs found; the seeds are added afresh each time.
    corpus="$build/corpus/$fuzzer"
    artifacts="$build/artifacts/$fuzzer"
    mkdir -p "$corpus" "$artifacts"
    cp -n "$root/tests/fuzz/corpus/$fuzzer/"* "$corpus/"

    echo "== $fuzzer: $seconds s"
    if ! "$build/tests/fuzz/$fuzzer" -max_total_time="$seconds" -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus"; then
        echo "== $fuzzer failed; crashing input in $artifacts" >&2
        status=1
    fi
done
exit "$status"
