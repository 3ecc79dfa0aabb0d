#!/usr/bin/env bash
# Renders the main window to a PNG without a screen of its own: the program runs on a
# private virtual X server and the window is captured once New game has set up the board.
# Usage: scripts/screenshot.sh [output.png] [program]   (default docs/screenshot.png)
set -euo pipefail
cd "$(dirname "$0")/.."

output="${1:-docs/screenshot.png}"
program="${2:-build/src/app/morvantide}"
if [[ ! -x "$program" ]]; then
    scripts/setup-debian.sh --test
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DMORVANTIDE_BUILD_TESTS=OFF -DMORVANTIDE_BUILD_BENCH=OFF >/dev/null
    cmake --build build --target morvantide -j"$(nproc)"
fi
mkdir -p "$(dirname "$output")"
runtime=$(mktemp -d)
chmod 700 "$runtime"
trap 'rm -rf "$runtime"' EXIT

XDG_RUNTIME_DIR="$runtime" xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -euo pipefail
    "$1" x &
    pid=$!
    trap "kill $pid 2>/dev/null || true" EXIT
    window=$(timeout 20 xdotool search --sync --pid "$pid" --name "Шахматы" | head -n 1)
    sleep 2   # the new-game glide ends well within this
    import -window "$window" "$2"
' screenshot "$program" "$output"
echo "Wrote $output"
