#!/usr/bin/env bash
# Start-up benchmark, run by hand. On a private Xvfb display with openbox it starts the built
# program several times and reports the median of
#   (a) the time from the start until its window is shown (mapped by the window manager),
#   (b) the time until the first New game has ended: the board at the window's top-left corner
#       equals, pixel for pixel, the starting position drawn from the program's artwork,
#   (c) its resident memory (VmRSS) 3 s after the start;
# and when xboard is installed (Debian package xboard) it measures `xboard -ncp` the same way
# for (a) and (c), alternating the runs, and prints our figures as ratios to xboard's.
# Then (d) it runs the drag-step and clip-gap benchmarks if they were built.
#
# Usage: bench/startup/run.sh [--build DIR] [--runs N] [--no-xboard]
#   DIR defaults to build; configure it with -DCMAKE_BUILD_TYPE=Release or RelWithDebInfo.
set -Eeuo pipefail

SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
BUILD="$SOURCE/build"
RUNS=7
USE_XBOARD=1
while [[ $# -gt 0 ]]; do
    case $1 in
    --build) BUILD=$2 && shift 2 ;;
    --runs) RUNS=$2 && shift 2 ;;
    --no-xboard) USE_XBOARD=0 && shift ;;
    *) echo "usage: $0 [--build DIR] [--runs N] [--no-xboard]" >&2 && exit 2 ;;
    esac
done
BUILD=$(realpath "$BUILD")

# The display, window manager and expected-board helpers of the end-to-end tests.
# shellcheck source=tests/e2e/lib.sh
source "$SOURCE/tests/e2e/lib.sh"

PROGRAM="$BUILD/src/app/morvantide"
PROBE="$BUILD/bench/startup/startup_probe"
ASSETS="$SOURCE/assets"
CASE=bench
ARTIFACTS=""

for file in "$PROGRAM" "$PROBE"; do
    [[ -x $file ]] || fail "$file is missing: build it first (cmake --build $BUILD)"
done
for tool in Xvfb openbox convert; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done
XBOARD=""
if ((USE_XBOARD)); then
    XBOARD=$(command -v xboard || true)
    [[ -n $XBOARD || ! -x /usr/games/xboard ]] || XBOARD=/usr/games/xboard
    [[ -n $XBOARD ]] || say "xboard is not installed (apt-get install xboard): no comparison"
fi

bench_cleanup() {
    local status=$?
    trap - EXIT
    set +e
    stop_pid "$WM_PID"
    stop_pid "$XVFB_PID"
    [[ -n $RUN ]] && rm -rf "$RUN"
    exit "$status"
}
trap bench_cleanup EXIT
trap 'fail "stopped by a signal"' INT TERM

RUN=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-bench.XXXXXX")
SHOTS="$RUN"
mkdir -p "$RUN/home" "$RUN/runtime"
chmod 700 "$RUN/runtime"
export HOME="$RUN/home" XDG_RUNTIME_DIR="$RUN/runtime" LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS

start_display
start_window_manager

starting_position
FLIPPED=0
render_expected "$RUN/start.png"
convert "$RUN/start.png" "$RUN/start.ppm"

# Runs the probe once; appends "mapped settled rss" to the named file.
measure() {
    local into=$1
    shift
    local line
    line=$("$PROBE" --rss-after 3 --timeout 30 "$@") || fail "a run failed: $line"
    sed -n 's/mapped_ms=\([^ ]*\) settled_ms=\([^ ]*\) rss_kb=\([^ ]*\)/\1 \2 \3/p' \
        <<<"$line" >>"$into"
}

median() {
    sort -n | awk '{v[NR] = $1} END {
        if (NR == 0) { print "-"; exit }
        print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

say "$RUNS runs each, alternating; screen ${SCREEN_W}x${SCREEN_H}, openbox"
: >"$RUN/ours"
: >"$RUN/xboard"
for _ in $(seq "$RUNS"); do
    measure "$RUN/ours" --board "$RUN/start.ppm" -- "$PROGRAM"
    [[ -n $XBOARD ]] && measure "$RUN/xboard" -- "$XBOARD" -ncp
    printf '.'
done
echo

ours_mapped=$(cut -d' ' -f1 "$RUN/ours" | median)
ours_settled=$(cut -d' ' -f2 "$RUN/ours" | median)
ours_rss=$(cut -d' ' -f3 "$RUN/ours" | median)

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo
echo "Medians of $RUNS runs"
printf '%-36s %12s' "" "morvantide"
[[ -n $XBOARD ]] && printf ' %14s %8s %10s' "xboard -ncp" "ratio" "aim"
echo
if [[ -n $XBOARD ]]; then
    xboard_mapped=$(cut -d' ' -f1 "$RUN/xboard" | median)
    xboard_rss=$(cut -d' ' -f3 "$RUN/xboard" | median)
    printf '%-36s %12s %14s %8s %10s\n' "(a) window mapped, ms" "$ours_mapped" "$xboard_mapped" \
        "$(ratio "$ours_mapped" "$xboard_mapped")" "<= 0.75"
    printf '%-36s %12s\n' "(b) first New game ended, ms" "$ours_settled"
    printf '%-36s %12s %14s %8s %10s\n' "(c) resident memory at 3 s, kB" "$ours_rss" "$xboard_rss" \
        "$(ratio "$ours_rss" "$xboard_rss")" "<= 1.00"
else
    printf '%-36s %12s\n' "(a) window mapped, ms" "$ours_mapped"
    printf '%-36s %12s\n' "(b) first New game ended, ms" "$ours_settled"
    printf '%-36s %12s\n' "(c) resident memory at 3 s, kB" "$ours_rss"
fi

echo
echo "(d) the benchmarks of dragging and of the gaps between clips"
stop_window_manager
drag_step=$(find "$BUILD" -name bench_drag_step -type f -perm -u+x | head -n 1)
if [[ -n $drag_step ]]; then
    "$drag_step"
else
    echo "bench_drag_step is not built (it needs Google Benchmark, libbenchmark-dev): skipped"
fi
clip_gap=$(find "$BUILD" -name bench_clip_gap -type f -perm -u+x | head -n 1)
if [[ -z $clip_gap ]]; then
    echo "bench_clip_gap is not built: skipped"
elif ! command -v pulseaudio >/dev/null; then
    echo "bench_clip_gap needs pulseaudio (apt-get install pulseaudio): skipped"
else
    "$SOURCE/tests/app/voice/with-pulse.sh" "$clip_gap"
fi
