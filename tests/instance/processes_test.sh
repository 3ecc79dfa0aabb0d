#!/usr/bin/env bash
# One copy per user and the window's place from the settings file, with real processes of the
# program under a private X server, driven and observed with xdotool.
#
# usage: processes_test.sh PROGRAM CLOSE-WINDOW-TOOL CASE [--window-manager=PATH]
#
# Every process the script starts is killed when it ends, whatever the outcome, and every wait
# is bounded. Each run has its own runtime, temporary and home folders, so it never meets a
# copy of the program that runs for real.

set -uo pipefail

if (($# < 3)); then
    echo "usage: $0 PROGRAM CLOSE-WINDOW-TOOL CASE [--window-manager=PATH]" >&2
    exit 2
fi
program=$1
close_window=$2
case_name=$3
window_manager=
if [[ ${4:-} == --window-manager=* ]]; then
    window_manager=${4#--window-manager=}
fi

readonly caption='Шахматы (альфа версия)'
readonly client_size=630x386
readonly screen_width=1280 screen_height=1024
readonly lock_name=vRUMKordelis5

work=$(mktemp -d) || exit 1
started=()

cleanup() {
    local pid
    for pid in "${started[@]}"; do
        kill -KILL "$pid" 2>/dev/null
    done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() {
    echo "FAIL ($case_name): $*" >&2
    if [[ -s $work/program.log ]]; then
        echo "--- program output:" >&2
        tail -n 20 "$work/program.log" >&2
    fi
    exit 1
}

note() {
    echo "-- $*"
}

# wait_until SECONDS COMMAND...: true as soon as the command succeeds, false after SECONDS.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# Still running: an ended child stays a zombie until it is waited for, and kill -0 would count
# it as alive.
is_running() {
    local state
    state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1) || return 1
    [[ -n $state && $state != Z ]]
}

is_ended() {
    ! is_running "$1"
}

# wait_exit PID [SECONDS]: waits (bounded) for the process to end; its exit status goes to
# `status`.
wait_exit() {
    wait_until "${2:-15}" is_ended "$1" || fail "process $1 did not end"
    wait "$1"
    status=$?
}

file_has_line() {
    [[ -s $1 ]] && [[ $(tail -c1 "$1" | od -An -c | tr -d ' ') == '\n' ]]
}

window_manager_runs() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

start_x() {
    Xvfb -displayfd 3 -noreset -screen 0 "${screen_width}x${screen_height}x24" -nolisten tcp \
        3>"$work/display" >"$work/xvfb.log" 2>&1 &
    started+=($!)
    wait_until 15 file_has_line "$work/display" || fail "the X server did not start"
    DISPLAY=":$(head -n1 "$work/display")"
    export DISPLAY
    if [[ -n $window_manager ]]; then
        "$window_manager" >"$work/window-manager.log" 2>&1 &
        started+=($!)
        wait_until 15 window_manager_runs || fail "the window manager did not start"
    fi
}

# A private world for the program: its lock lives in a runtime folder of this run only.
set_up_environment() {
    mkdir -m 700 "$work/runtime" "$work/tmp" "$work/home" || exit 1
    export XDG_RUNTIME_DIR=$work/runtime TMPDIR=$work/tmp HOME=$work/home
    unset XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME WAYLAND_DISPLAY SESSION_MANAGER
    export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
    executable=$program
}

# start_copy ARGUMENTS...: the new process's id goes to `pid`.
start_copy() {
    "$executable" "$@" >>"$work/program.log" 2>&1 &
    pid=$!
    started+=("$pid")
}

# Reads a window's size into `size` ("630x386").
read_geometry() {
    local WIDTH='' HEIGHT=''
    eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null | grep -E '^(WIDTH|HEIGHT)=[0-9]+$')"
    size=${WIDTH}x${HEIGHT}
}

# await_decision PID: waits until the copy shows its main window ("main") or another window
# ("box"), or ends ("ended"); sets `decision` and `window`.
await_decision() {
    local deadline=$((SECONDS + 20)) w
    decision=none
    window=
    while ((SECONDS < deadline)); do
        for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
            read_geometry "$w"
            window=$w
            if [[ $size == "$client_size" ]]; then
                decision=main
            else
                decision=box
            fi
            return
        done
        if ! is_running "$1"; then
            decision=ended
            return
        fi
        sleep 0.1
    done
}

visible_windows_of() {
    xdotool search --onlyvisible --pid "$1" 2>/dev/null | sort
}

has_focus() {
    [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]]
}

# press_ok PID BOX: presses Enter, as a user does, once the box has the keyboard; the copy must
# end. The exit status goes to `status`.
press_ok() {
    local _
    for _ in 1 2 3; do
        wait_until 5 has_focus "$2" || fail "the box did not get the keyboard"
        xdotool key Return
        wait_until 5 is_ended "$1" && break
        await_decision "$1"
        [[ $decision != main ]] || fail "the refused copy showed its main window"
    done
    wait_exit "$1"
}

# expect_running ARGUMENTS...: the copy starts without a message and shows its main window.
# Sets `pid` and `window`.
expect_running() {
    start_copy "$@"
    await_decision "$pid"
    [[ $decision == main ]] || fail "a start with arguments [$*] was not let run ($decision)"
    note "start with [$*] runs (pid $pid)"
}

# expect_refused ARGUMENTS...: the copy shows the refusal box before any window of its own,
# and ends after OK without ever showing its main window.
expect_refused() {
    start_copy "$@"
    local refused=$pid
    await_decision "$refused"
    [[ $decision == box ]] || fail "a start with arguments [$*] was not refused ($decision)"
    local box=$window
    local title
    title=$(xdotool getwindowname "$box")
    [[ $title == "$caption" ]] || fail "the box's caption is [$title]"
    [[ $(visible_windows_of "$refused") == "$box" ]] ||
        fail "the refused copy shows more than its box"
    press_ok "$refused" "$box"
    ((status == 0)) || fail "the refused copy ended with status $status"
    note "start with [$*] refused with the box, ended after OK"
}

# close_copy PID WINDOW [SECONDS]: closes the main window as its close button does; the copy
# must end (within SECONDS).
close_copy() {
    "$close_window" "$2" || fail "could not ask window $2 to close"
    wait_exit "$1" "${3:-15}"
    ((status == 0)) || fail "the copy ended with status $status after its window was closed"
}

expect_untouched() {
    local pid=$1 window=$2 before=$3
    is_running "$pid" || fail "the first copy stopped"
    visible_windows_of "$pid" | grep -qx "$window" || fail "the first copy's window is gone"
    [[ "$(xdotool getwindowgeometry "$window")" == "$before" ]] ||
        fail "the first copy's window changed"
}

# --- Cases -----------------------------------------------------------------------------------

case_refusal() {
    expect_running
    local first=$pid first_window=$window
    local before
    before=$(xdotool getwindowgeometry "$first_window")
    expect_refused
    expect_untouched "$first" "$first_window" "$before"
    expect_refused
    expect_untouched "$first" "$first_window" "$before"
}

case_switch_arguments() {
    expect_running
    local first=$pid first_window=$window
    local arguments
    # Only an argument that is exactly "x" counts, wherever it stands.
    for arguments in 'X' '/x' '-x' 'x1' 'xx' 'X /x'; do
        # shellcheck disable=SC2086 # each row is a list of arguments
        expect_refused $arguments
    done
    for arguments in 'x' 'a x b' 'X x'; do
        # shellcheck disable=SC2086
        expect_running $arguments
        close_copy "$pid" "$window"
    done
    is_running "$first" || fail "the first copy stopped"
}

case_copies_with_x() {
    expect_running
    local first=$pid first_window=$window
    expect_running x
    local second=$pid second_window=$window
    expect_running x
    local third=$pid third_window=$window
    for p in "$first" "$second" "$third"; do
        is_running "$p" || fail "copy $p stopped"
    done
    # Copies started with x hold the name too: without the first, a plain start is refused.
    close_copy "$first" "$first_window"
    expect_refused
    close_copy "$second" "$second_window"
    close_copy "$third" "$third_window"
    expect_running
}

case_after_end() {
    expect_running
    close_copy "$pid" "$window"
    expect_running
    close_copy "$pid" "$window"
    expect_running
}

case_after_kill() {
    local round
    for round in 1 2; do
        expect_running
        kill -KILL "$pid"
        wait_exit "$pid"
        note "first copy killed with SIGKILL"
    done
    expect_running
}

case_simultaneous() {
    local round a b
    for round in 1 2 3 4 5 6; do
        start_copy
        a=$pid
        start_copy
        b=$pid
        await_decision "$a"
        local decision_a=$decision window_a=$window
        await_decision "$b"
        local decision_b=$decision window_b=$window
        note "round $round: $decision_a, $decision_b"
        [[ "$decision_a $decision_b" == "main box" || "$decision_a $decision_b" == "box main" ]] ||
            fail "round $round: two copies started at once gave $decision_a and $decision_b"
        if [[ $decision_a == box ]]; then
            press_ok "$a" "$window_a"
            close_copy "$b" "$window_b"
        else
            press_ok "$b" "$window_b"
            close_copy "$a" "$window_a"
        fi
    done
}

# Every start shows its window and every close ends the copy, also while the processor is
# busy, which is when a start-up race shows: Qt must take the program's main thread for its
# own, or it warns and a copy may never end. Every other start has fontconfig's start made
# instant (INSTANT_FONTCONFIG, a library to preload), so that the start-up helper thread
# meets Qt as early as it can.
case_start_and_close() {
    local round
    for round in 1 2; do
        sh -c 'while :; do :; done' &
        started+=($!)
    done
    for ((round = 1; round <= 50; round++)); do
        if ((round % 2)) && [[ -n ${INSTANT_FONTCONFIG:-} ]]; then
            LD_PRELOAD=$INSTANT_FONTCONFIG expect_running
        else
            expect_running
        fi
        close_copy "$pid" "$window" 5
    done
    ! grep -F 'not created in the main() thread' "$work/program.log" ||
        fail "Qt took another thread for its main thread"
}

# The outer top-left corner of a main window: its window manager's frame when it has one.
read_outer_place() {
    local w=$1 root parent
    root=$(xwininfo -root | awk '/Window id:/ {print $4}')
    while parent=$(xwininfo -children -id "$w" | awk '/Parent window id:/ {print $4}') &&
        [[ -n $parent && $parent != "$root" ]]; do
        w=$parent
    done
    place=$(xwininfo -id "$w" |
        awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4} END {print x, y}')
}

place_is() {
    read_outer_place "$1"
    [[ $place == "$2" ]]
}

place_is_steady() {
    read_outer_place "$1"
    local first=$place
    sleep 0.3
    read_outer_place "$1"
    [[ $place == "$first" ]]
}

use_copied_executable() {
    mkdir -p "$work/bin"
    cp "$program" "$work/bin/morvantide" || exit 1
    executable=$work/bin/morvantide
    settings=$work/bin/morvantide.ini
}

case_settings() {
    use_copied_executable
    # Where the window system puts the window when no key is given.
    expect_running
    wait_until 10 place_is_steady "$window" || fail "the window did not come to rest"
    local default_left=${place% *} default_top=${place#* }
    note "default place: $place"
    close_copy "$pid" "$window"

    local h=$screen_height w=$screen_width
    # Larger than any settings file of the program: not read at all.
    local oversized
    oversized=$'[Settings]\nWindowTop=100\nWindowLeft=200\n'$(head -c $((1024 * 1024)) /dev/zero | tr '\0' ';')
    # settings file text | expected left | expected top ("default": where the system puts it) |
    # whether a window manager may honour it: a window manager keeps most of a window on the
    # screen, so a place near the right or bottom edge shows only without one.
    local rows=(
        $'[Settings]\nWindowTop=100\nWindowLeft=200' 200 100 any
        $'[Settings]\nWindowTop='$((h - 27))$'\nWindowLeft='$((w - 19)) $((w - 19)) $((h - 27)) bare
        $'[Settings]\nWindowTop='$((h - 26))$'\nWindowLeft='$((w - 18)) 0 0 any
        $'[Settings]\nWindowTop=-30\nWindowLeft=-50' -50 -30 any
        $'[Settings]\nWindowTop=0x64\nWindowLeft=$64' 100 100 any
        $'[settings]\r\nwindowtop = 120\r\nWINDOWLEFT=140\r\n' 140 120 any
        $'[Settings]\nWindowTop="150"\nWindowLeft=  160  ' 160 150 any
        $'[Settings]\nWindowTop=abc\nWindowLeft=300' 300 default any
        $'[Settings]\nWindowLeft=300' 300 default any
        $'[Settings]\nWindowTop=100' default 100 any
        $'[Other]\nWindowTop=100\nWindowLeft=200' default default any
        "$oversized" default default any
    )
    local i text shown left top
    for ((i = 0; i < ${#rows[@]}; i += 4)); do
        text=${rows[i]}
        left=${rows[i + 1]}
        top=${rows[i + 2]}
        [[ ${rows[i + 3]} == bare && -n $window_manager ]] && continue
        shown=${text:0:60}
        shown=${shown//[$'\r\n']/ }
        [[ $left == default ]] && left=$default_left
        [[ $top == default ]] && top=$default_top
        printf '%s\n' "$text" >"$settings"
        expect_running
        wait_until 10 place_is "$window" "$left $top" ||
            fail "settings [$shown] put the window at $place, not at $left $top"
        read_geometry "$window"
        [[ $size == "$client_size" ]] || fail "the window's size became $size"
        note "settings [$shown] place the window at $left $top"
        close_copy "$pid" "$window"
    done
}

# Everything in the folders a copy could write to, with sizes and times.
snapshot() {
    find "$work/bin" "$work/runtime" "$work/tmp" "$work/home" -printf '%p %s %T@ %C@\n' | sort
}

case_settings_untouched() {
    use_copied_executable
    local text
    for text in $'[Settings]\r\nWindowTop=100\r\nWindowLeft=120\r\n' ''; do
        rm -f "$settings"
        local bytes_before='' times_before=''
        if [[ -n $text ]]; then
            printf '%s' "$text" >"$settings"
            bytes_before=$(sha256sum <"$settings")
            times_before=$(stat -c '%s %y %z' "$settings")
        fi
        expect_running
        local first=$pid first_window=$window
        expect_running x
        close_copy "$pid" "$window"
        # A refused copy writes nothing anywhere.
        local before
        before=$(snapshot)
        expect_refused
        [[ $(snapshot) == "$before" ]] ||
            fail "the refused copy wrote: $(diff <(echo "$before") <(snapshot))"
        close_copy "$first" "$first_window"
        if [[ -n $text ]]; then
            [[ $(sha256sum <"$settings") == "$bytes_before" ]] || fail "the settings file changed"
            [[ $(stat -c '%s %y %z' "$settings") == "$times_before" ]] ||
                fail "the settings file's times changed"
            note "the settings file's bytes and times are unchanged"
        else
            [[ ! -e $settings ]] || fail "a settings file was created"
            note "no settings file was created"
        fi
    done
}

lock_file_is_private() {
    local file=$1
    [[ -f $file && ! -L $file ]] || fail "no lock file $file"
    [[ $(stat -c '%u %a' "$file") == "$(id -u) 600" ]] ||
        fail "the lock file $file is $(stat -c 'owned by %u with mode %a' "$file")"
}

case_lock_folder() {
    local fallback=$HOME/.cache/morvantide

    expect_running
    lock_file_is_private "$XDG_RUNTIME_DIR/$lock_name.lock"
    [[ -z $(ls -A "$TMPDIR") && ! -e $fallback ]] ||
        fail "files were made outside the runtime folder"
    note "the lock is in the runtime folder"
    close_copy "$pid" "$window"

    # A runtime folder that others can write to is not used; neither is a missing one. What
    # another user made in the shared temporary folder has no say.
    mkdir -m 777 "$TMPDIR/morvantide-$(id -u)"
    local shared=$work/shared
    mkdir "$shared" && chmod 1777 "$shared"
    local runtime
    for runtime in "$shared" ''; do
        if [[ -n $runtime ]]; then
            export XDG_RUNTIME_DIR=$runtime
        else
            unset XDG_RUNTIME_DIR
        fi
        expect_running
        local running=$pid running_window=$window
        [[ -d $fallback && ! -L $fallback ]] || fail "no fallback folder $fallback"
        [[ $(stat -c '%u %a' "$fallback") == "$(id -u) 700" ]] ||
            fail "the fallback folder is $(stat -c 'owned by %u with mode %a' "$fallback")"
        lock_file_is_private "$fallback/$lock_name.lock"
        [[ -z $(ls -A "$shared") ]] || fail "files were made in the shared folder"
        expect_refused
        close_copy "$running" "$running_window"
        note "runtime folder [${runtime}]: the lock is in the private folder in the home"
    done
}

# --- Main ------------------------------------------------------------------------------------

[[ -x $program ]] || fail "no program at $program"
[[ -x $close_window ]] || fail "no close tool at $close_window"
declare -F "case_$case_name" >/dev/null || fail "no such case"
set_up_environment
start_x
"case_$case_name"
echo "PASS ($case_name)"
