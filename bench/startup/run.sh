#!/usr/bin/env bash
# Start-up benchmark, run by hand. On a private Xvfb display with openbox it starts, in turn,
# the built program, a bare Qt window (630 x 386 with one label, built here from
# bare_window.cpp) and, when it is installed, `xboard -ncp` (apt-get install xboard), several
# times each, and reports the medians of
#   (a) the time from the start until the window is shown (mapped by the window manager),
#   (b) for the program, the time until the first New game has ended: the board at the window's
#       top-left corner equals, pixel for pixel, the starting position drawn from its artwork,
#   (c) the resident memory (VmRSS) 3 s after the start,
# with the program's figures as ratios to the bare window's and to xboard's.
# Then (d) it runs the drag-step and clip-gap benchmarks if they were built (not with
# --startup-only).
#
# Usage: bench/startup/run.sh [--build DIR] [--runs N] [--no-xboard] [--startup-only]
#   DIR defaults to build; configure it with -DCMAKE_BUILD_TYPE=Release or RelWithDebInfo.
set -Eeuo pipefail

SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
BUILD="$SOURCE/build"
RUNS=9
USE_XBOARD=1
OTHERS=1
while [[ $# -gt 0 ]]; do
    case $1 in
    --build) BUILD=$2 && shift 2 ;;
    --runs) RUNS=$2 && shift 2 ;;
    --no-xboard) USE_XBOARD=0 && shift ;;
    --startup-only) OTHERS=0 && shift ;;
    *) echo "usage: $0 [--build DIR] [--runs N] [--no-xboard] [--startup-only]" >&2 && exit 2 ;;
    esac
done
BUILD=$(realpath "$BUILD")

# --- A private display with a window manager, and the starting position drawn from the artwork

declare -a SPOT
FLIPPED=0

readonly SCREEN_W=1280
readonly SCREEN_H=1024
readonly WAIT_S=15
RUN=""
XVFB_PID=""
WM_PID=""

say() { printf '  %s\n' "$*"; }

fail() {
    printf 'FAIL [%s]: %s\n' "$CASE" "$*" >&2
    exit 1
}


stop_pid() {
    local pid=$1
    [[ -n $pid ]] || return 0
    kill -0 "$pid" 2>/dev/null || return 0
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 20); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}


# Polls a command every 0.1 s until it succeeds; fails the case after `seconds`.
#   wait_until SECONDS "what is awaited" COMMAND [ARG...]
wait_until() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        ((SECONDS < deadline)) || fail "timed out after ${seconds}s waiting for $what"
        sleep 0.1
    done
}


start_display() {
    local number_file="$RUN/display" fd
    : >"$number_file"
    exec {fd}>"$number_file"
    Xvfb -displayfd "$fd" -screen 0 "${SCREEN_W}x${SCREEN_H}x24" -nolisten tcp \
        >"$RUN/xvfb.log" 2>&1 &
    XVFB_PID=$!
    exec {fd}>&-
    wait_until "$WAIT_S" "the X server" test -s "$number_file"
    DISPLAY=":$(head -n 1 "$number_file")"
    export DISPLAY
    say "display $DISPLAY"
}

wm_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

stop_window_manager() {
    stop_pid "$WM_PID"
    WM_PID=""
}

start_window_manager() {
    # The end-to-end tests' set-up: new windows take the focus, as on a desktop.
    openbox --config-file "$SOURCE/tests/e2e/openbox.xml" >"$RUN/openbox.log" 2>&1 &
    WM_PID=$!
    wait_until "$WAIT_S" "the window manager" wm_running
}


readonly -a SLOT_PICTURE=(
    ""
    black-rook black-knight black-bishop black-queen black-king black-bishop black-knight
    black-rook
    black-pawn black-pawn black-pawn black-pawn black-pawn black-pawn black-pawn black-pawn
    white-pawn white-pawn white-pawn white-pawn white-pawn white-pawn white-pawn white-pawn
    white-rook white-knight white-bishop white-queen white-king white-bishop white-knight
    white-rook
)

# "e4" -> "212 212"
square_point() {
    local name=$1
    local file=${name:0:1} rank=${name:1:1}
    local f r
    f=$(($(printf '%d' "'$file") - 97))
    r=$((8 - rank))
    ((f >= 0 && f < 8 && r >= 0 && r < 8)) || fail "no square $name"
    echo "$((52 + 40 * f)) $((52 + 40 * r))"
}


starting_position() {
    local slot file rank
    for slot in $(seq 1 32); do
        if ((slot <= 8)); then
            file=$((slot - 1)) rank=0
        elif ((slot <= 16)); then
            file=$((slot - 9)) rank=1
        elif ((slot <= 24)); then
            file=$((slot - 17)) rank=6
        else
            file=$((slot - 25)) rank=7
        fi
        SPOT[slot]="$((52 + 40 * file)) $((52 + 40 * rank))"
    done
}


# Draws the expected board: the board picture with each piece's picture at its place, its
# background colour (the bottom-left pixel) left out, as the program draws them.
render_expected() {
    local out=$1 slot x y left top picture key
    local -a layers=()
    for slot in $(seq 1 32); do
        read -r x y <<<"${SPOT[slot]}"
        ((x == 0 && y == 0)) && continue
        if ((FLIPPED)); then
            x=$((385 - x))
            y=$((385 - y))
        fi
        left=$((x - 20))
        top=$((y - 20))
        picture="$ASSETS/images/${SLOT_PICTURE[slot]}.png"
        key=$(picture_key "$picture")
        layers+=("(" "$picture" -transparent "$key" ")" -geometry "+${left}+${top}" -composite)
    done
    convert "$ASSETS/images/board.png" "${layers[@]}" "$out"
}

declare -A PICTURE_KEY=()
picture_key() {
    if [[ -z ${PICTURE_KEY[$1]:-} ]]; then
        PICTURE_KEY[$1]=$(convert "$1" -format '%[pixel:p{0,39}]' info:)
    fi
    echo "${PICTURE_KEY[$1]}"
}

# ---------------------------------------------------------------------------------------------

PROGRAM="$BUILD/src/app/morvantide"
PROBE="$BUILD/bench/startup/startup_probe"
ASSETS="$SOURCE/assets"
CASE=bench
ARTIFACTS=""

for file in "$PROGRAM" "$PROBE"; do
    [[ -x $file ]] || fail "$file is missing: build it first (cmake --build $BUILD)"
done
for tool in Xvfb openbox convert c++ pkg-config; do
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

BARE="$RUN/bare-window"
# shellcheck disable=SC2046 # pkg-config prints several words
c++ -std=c++17 -O2 -fPIC -o "$BARE" "$SOURCE/bench/startup/bare_window.cpp" \
    $(pkg-config --cflags --libs Qt6Widgets) || fail "could not build the bare Qt window"

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
: >"$RUN/bare"
: >"$RUN/xboard"
for _ in $(seq "$RUNS"); do
    measure "$RUN/ours" --board "$RUN/start.ppm" -- "$PROGRAM"
    measure "$RUN/bare" -- "$BARE"
    [[ -n $XBOARD ]] && measure "$RUN/xboard" -- "$XBOARD" -ncp
    printf '.'
done
echo

column_median() { cut -d' ' -f"$1" "$2" | median; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# One row of the table: the program's median of a column beside the bare window's and, when
# it ran, xboard's, with the ratios and their aims.
compare_row() {
    local label=$1 column=$2 bare_aim=$3 ours bare other
    ours=$(column_median "$column" "$RUN/ours")
    bare=$(column_median "$column" "$RUN/bare")
    printf '%-34s %10s %10s %7s %6s' "$label" "$ours" "$bare" "$(ratio "$ours" "$bare")" \
        "$bare_aim"
    if [[ -n $XBOARD ]]; then
        other=$(column_median "$column" "$RUN/xboard")
        printf ' %12s %7s %6s' "$other" "$(ratio "$ours" "$other")" "<=1.00"
    fi
    echo
}

echo
echo "Medians of $RUNS runs"
printf '%-34s %10s %10s %7s %6s' "" morvantide "bare Qt" ratio aim
[[ -n $XBOARD ]] && printf ' %12s %7s %6s' "xboard -ncp" ratio aim
echo
compare_row "(a) window mapped, ms" 1 "<=1.10"
printf '%-34s %10s\n' "(b) first New game ended, ms" "$(column_median 2 "$RUN/ours")"
compare_row "(c) resident memory at 3 s, kB" 3 ""

((OTHERS)) || exit 0
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
