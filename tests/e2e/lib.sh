# shellcheck shell=bash
# Helpers for the end-to-end cases: the built program on a private Xvfb display with openbox,
# driven only with real X input (xdotool) and watched only from outside: window properties,
# screenshots compared pixel by pixel with a picture of the expected board made from the
# program's own artwork, the text of message boxes read back by OCR, and the files it writes.
#
# Sourced by e2e.sh and package.sh, which set APP_BINARY, ASSETS, ARTIFACTS and CASE before
# calling e2e_begin. A script may define e2e_extra_cleanup, which runs first on exit.

readonly SCREEN_W=1280
readonly SCREEN_H=1024
readonly MAIN_CAPTION="Шахматы (альфа версия)"
# Every wait is bounded by this many seconds unless a caller says otherwise.
readonly WAIT_S=15
# A whole case is stopped after this long, before ctest's own timeout.
readonly CASE_LIMIT_S=150

RUN=""
SHOTS=""
PROGRAM=""
XVFB_PID=""
WM_PID=""
WATCHDOG_PID=""
APP_PIDS=()
SHOT_COUNT=0
SHOT=""

# --- Reporting and cleanup -----------------------------------------------------------------

say() { printf '  %s\n' "$*"; }

fail() {
    printf 'FAIL [%s]: %s\n' "$CASE" "$*" >&2
    exit 1
}

on_error() {
    printf 'FAIL [%s]: command failed at line %s: %s\n' "$CASE" "$1" "$2" >&2
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

e2e_cleanup() {
    local status=$?
    trap - EXIT ERR INT TERM
    set +e
    if [[ $status -ne 0 && -n $RUN ]]; then
        [[ -n $XVFB_PID ]] && kill -0 "$XVFB_PID" 2>/dev/null && snap "at-failure"
        local keep="$ARTIFACTS/$CASE"
        mkdir -p "$keep"
        cp -r "$SHOTS/." "$keep/" 2>/dev/null
        cp "$RUN"/*.log "$keep/" 2>/dev/null
        printf 'Screenshots and logs of the failed case are kept in %s\n' "$keep" >&2
    fi
    declare -F e2e_extra_cleanup >/dev/null && e2e_extra_cleanup
    local pid
    for pid in "${APP_PIDS[@]}"; do
        stop_pid "$pid"
    done
    stop_pid "$WM_PID"
    stop_pid "$XVFB_PID"
    stop_pid "$WATCHDOG_PID"
    [[ -n $RUN ]] && rm -rf "$RUN"
    if [[ $status -eq 0 ]]; then
        printf 'PASS [%s]\n' "$CASE"
    fi
    exit "$status"
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

# --- The display, the window manager and the program ---------------------------------------

e2e_begin() {
    trap e2e_cleanup EXIT
    trap 'on_error $LINENO "$BASH_COMMAND"' ERR
    trap 'fail "stopped by a signal"' INT TERM
    for tool in Xvfb openbox xdotool xwininfo xprop import convert compare tesseract; do
        command -v "$tool" >/dev/null || fail "$tool is not installed"
    done
    [[ -x $APP_BINARY ]] || fail "no program at $APP_BINARY"

    rm -rf "${ARTIFACTS:?}/$CASE"
    RUN=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-e2e.XXXXXX")
    SHOTS="$RUN/shots"
    mkdir -p "$SHOTS" "$RUN/home" "$RUN/runtime" "$RUN/bin" "$RUN/files"
    chmod 700 "$RUN/runtime"
    export HOME="$RUN/home" XDG_RUNTIME_DIR="$RUN/runtime" LC_ALL=C.UTF-8
    export XDG_CONFIG_HOME="$RUN/home/.config"
    export QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS QT_SCALE_FACTOR \
        QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING
    # A copy of its own, so a settings file beside it concerns this case only.
    PROGRAM="$RUN/bin/morvantide"
    cp "$APP_BINARY" "$PROGRAM"

    # The watchdog ends its sleep when it is stopped itself, so nothing of it outlives the case.
    (
        sleep "$CASE_LIMIT_S" >/dev/null 2>&1 &
        sleeper=$!
        trap 'kill $sleeper 2>/dev/null; exit 0' TERM
        wait $sleeper
        printf 'FAIL [%s]: the case ran longer than %ss\n' "$CASE" "$CASE_LIMIT_S" >&2
        kill -TERM $$
    ) &
    WATCHDOG_PID=$!

    start_display
    start_window_manager
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
    # New windows go to the top left, so message boxes in the middle of the screen leave the
    # board in view; new windows take the focus, as on a desktop.
    cat >"$RUN/openbox.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy><center>no</center></placement>
  <desktops><number>1</number></desktops>
  <keyboard><keybind key="A-F4"><action name="Close"/></keybind></keyboard>
</openbox_config>
EOF
    openbox --config-file "$RUN/openbox.xml" >"$RUN/openbox.log" 2>&1 &
    WM_PID=$!
    wait_until "$WAIT_S" "the window manager" wm_running
}

# Starts the program (a private copy of the built one) and sets APP_PID.
#   start_program [ARG...]
start_program() {
    "$PROGRAM" "$@" >>"$RUN/program.log" 2>&1 &
    APP_PID=$!
    APP_PIDS+=("$APP_PID")
}

# The windows of a process that are shown, one per line: "ID TYPE TITLE", with TYPE the window
# type (NORMAL, DIALOG, ...). The window manager's list has only real windows; without one,
# every mapped window of the process counts.
clients_of() {
    local pid=$1 list win props type title
    if [[ -n $WM_PID ]]; then
        list=$(xprop -root _NET_CLIENT_LIST 2>/dev/null | sed -n 's/.*# //p' | tr -d ',')
    else
        list=$(xdotool search --all --onlyvisible --pid "$pid" --name '' 2>/dev/null || true)
    fi
    for win in $list; do
        props=$(xprop -id "$win" _NET_WM_PID _NET_WM_WINDOW_TYPE _NET_WM_NAME 2>/dev/null) ||
            continue
        grep -qx "_NET_WM_PID(CARDINAL) = $pid" <<<"$props" || continue
        type=$(sed -n 's/^_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_\([A-Z_]*\).*/\1/p' \
            <<<"$props")
        title=$(sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p' <<<"$props")
        echo "$((win)) ${type:-NORMAL} $title"
    done
}

# Windows of a process with exactly this title, one id per line.
windows_of() {
    local pid=$1 title=$2 id type name
    clients_of "$pid" | while read -r id type name; do
        [[ $name == "$title" ]] && echo "$id"
    done
    return 0
}

# The main window of a process, once mapped: sets MAIN_WIN, and ORIGIN_X/ORIGIN_Y, the screen
# place of its client area's top-left corner.
await_main_window() {
    local pid=$1
    MAIN_WIN=""
    local deadline=$((SECONDS + WAIT_S))
    while [[ -z $MAIN_WIN ]]; do
        ((SECONDS < deadline)) || fail "the main window of process $pid did not appear"
        kill -0 "$pid" 2>/dev/null || fail "process $pid ended before showing its window"
        MAIN_WIN=$(windows_of "$pid" "$MAIN_CAPTION" | head -n 1)
        [[ -n $MAIN_WIN ]] || sleep 0.1
    done
    read_origin
}

read_origin() {
    local info
    info=$(xwininfo -id "$MAIN_WIN")
    ORIGIN_X=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
    ORIGIN_Y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
}

# Width and height of a window's client area: "W H".
client_size() {
    xwininfo -id "$1" | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w, h}'
}

# The screen place of a window's outer frame: "LEFT TOP". Without a window manager there is
# no frame and this is the client area's place.
frame_place() {
    local win=$1 info x y extents
    info=$(xwininfo -id "$win")
    x=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
    y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
    # _NET_FRAME_EXTENTS: left, right, top, bottom
    extents=$(xprop -id "$win" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ' ')
    local left=0 top=0
    if [[ -n $extents ]]; then
        IFS=, read -r left _ top _ <<<"$extents"
    elif [[ -n $WM_PID ]]; then
        fail "the window manager gave no frame extents"
    fi
    echo "$((x - left)) $((y - top))"
}

process_ended() { ! kill -0 "$1" 2>/dev/null; }

window_gone() {
    local state
    state=$(xwininfo -id "$1" 2>/dev/null | awk '/Map State/ {print $NF}')
    [[ $state != IsViewable ]]
}

# Closes a window as a user does, with Alt+F4 while it has the focus.
close_window() {
    local win=$1
    wait_until "$WAIT_S" "the focus on the window to close" focused_window_is "$win"
    press_key alt+F4
}

# --- Input ---------------------------------------------------------------------------------

# Screen coordinates of a place in the main window's client area, into SX and SY.
to_screen() {
    SX=$((ORIGIN_X + $1))
    SY=$((ORIGIN_Y + $2))
}

# Where the pointer rests between actions: the window's bare background beside the board, so
# that no tooltip covers the pieces in a screenshot.
readonly REST_X=405 REST_Y=250

click_at() {
    to_screen "$1" "$2"
    local x=$SX y=$SY
    to_screen $REST_X $REST_Y
    xdotool mousemove --sync "$x" "$y" click 1 mousemove --sync "$SX" "$SY"
}

# Drags the piece on one square to another in small steps, as a hand would, and lets it go a
# few pixels off the target's centre (a hand rarely hits it exactly).
#   drag e2 e4
drag() {
    local from=$1 to=$2 fx fy tx ty step
    read -r fx fy < <(square_on_screen "$from")
    read -r tx ty < <(square_on_screen "$to")
    tx=$((tx + 3))
    ty=$((ty + 4))
    # One xdotool run for the whole gesture: starting a program per step is slow on a busy
    # machine, and a hand does not pause between the steps either.
    to_screen "$fx" "$fy"
    local -a gesture=(mousemove --sync "$SX" "$SY" mousedown 1)
    for step in 1 2 3 4 5 6 7 8; do
        to_screen $((fx + (tx - fx) * step / 8)) $((fy + (ty - fy) * step / 8))
        gesture+=(mousemove --sync "$SX" "$SY")
    done
    to_screen $REST_X $REST_Y
    gesture+=(mouseup 1 mousemove --sync "$SX" "$SY")
    xdotool "${gesture[@]}"
}

# Types into whatever has the keyboard focus.
type_text() {
    xdotool type --delay 15 -- "$1"
}

press_key() {
    xdotool key "$1"
}

# --- The board model: where the case expects each piece ------------------------------------
#
# SPOT[slot] is "x y", the centre of the piece's square in board pixels of the unflipped board,
# or "0 0" when the piece is off the board. FLIPPED is 1 while the board is shown flipped.

declare -a SPOT
FLIPPED=0

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

# Where a square's centre is drawn in the client area, honouring the flip.
square_on_screen() {
    local x y
    read -r x y < <(square_point "$1")
    if ((FLIPPED)); then
        x=$((385 - x))
        y=$((385 - y))
    fi
    echo "$x $y"
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

slot_on() {
    local point slot
    point=$(square_point "$1")
    for slot in $(seq 1 32); do
        if [[ ${SPOT[slot]} == "$point" ]]; then
            echo "$slot"
            return
        fi
    done
}

# What a legal move does to the position: the mover goes to the target, a piece there leaves
# the board, and a king's two-step along its home rank brings the rook across.
expect_move() {
    local from=$1 to=$2 mover taken
    mover=$(slot_on "$from")
    [[ -n $mover ]] || fail "the case expects a piece on $from"
    taken=$(slot_on "$to")
    [[ -n $taken ]] && SPOT[taken]="0 0"
    SPOT[mover]=$(square_point "$to")
    case "$mover:$from-$to" in
    29:e1-g1) SPOT[32]=$(square_point f1) ;;
    29:e1-c1) SPOT[25]=$(square_point d1) ;;
    5:e8-g8) SPOT[8]=$(square_point f8) ;;
    5:e8-c8) SPOT[1]=$(square_point d8) ;;
    esac
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

# --- Looking at the screen -----------------------------------------------------------------

# Takes a screenshot of the whole screen, or of a rectangle of it, into the case's folder;
# SHOT is its path.
#   snap NAME [SCREEN_X SCREEN_Y W H]
snap() {
    SHOT_COUNT=$((SHOT_COUNT + 1))
    SHOT=$(printf '%s/%02d-%s.png' "$SHOTS" "$SHOT_COUNT" "$1")
    if [[ $# -eq 5 ]]; then
        import -window root -crop "${4}x${5}+${2}+${3}" +repage "$SHOT"
    else
        import -window root "$SHOT"
    fi
}

# A screenshot of a rectangle of the main window's client area.
#   snap_client NAME X Y W H
snap_client() {
    to_screen "$2" "$3"
    snap "$1" "$SX" "$SY" "$4" "$5"
}

# The expected board for the position and flip of the moment, drawn once per position.
declare -A EXPECTED_PICTURE=()
expected_board() {
    local key="$FLIPPED ${SPOT[*]}"
    if [[ -z ${EXPECTED_PICTURE[$key]:-} ]]; then
        local path
        path=$(printf '%s/expected-%02d.png' "$SHOTS" "${#EXPECTED_PICTURE[@]}")
        render_expected "$path"
        EXPECTED_PICTURE[$key]=$path
    fi
    EXPECTED=${EXPECTED_PICTURE[$key]}
}

# Waits until the board on the screen shows exactly the expected position, pixel for pixel;
# on a timeout keeps the difference beside the screenshots.
expect_board() {
    local what=$1 seconds=${2:-$WAIT_S} diff
    expected_board
    local deadline=$((SECONDS + seconds))
    while :; do
        snap_client "board" 0 0 385 385
        diff=$(compare -metric AE "$SHOT" "$EXPECTED" null: 2>&1 || true)
        if [[ $diff == 0 ]]; then
            say "board: $what"
            return 0
        fi
        if ((SECONDS >= deadline)); then
            compare "$SHOT" "$EXPECTED" "${SHOT%.png}-difference.png" 2>/dev/null || true
            fail "board should show $what; $diff pixels differ from ${EXPECTED##*/} (see ${SHOT##*/})"
        fi
        sleep 0.1
    done
}

# The side to move, from the colours of the two turn labels: green "Ход" under the side to
# move, red "Ожидание" under the other. Counts the pixels of each exact colour left and right.
expect_turn() {
    local side=$1 counts white_green black_green white_red black_red
    # Client x 432 to 629, y 140 to 163: Label1 and Label2 with their surroundings.
    snap_client "turn" 432 140 198 24
    counts=$(convert "$SHOT" txt:- | awk -F'[,: ]+' '
        /^[0-9]/ {
            half = ($1 < 104) ? "white" : "black"
            if ($0 ~ /#008000/) green[half]++
            if ($0 ~ /#FF0000/) red[half]++
        }
        END { print green["white"]+0, green["black"]+0, red["white"]+0, red["black"]+0 }')
    read -r white_green black_green white_red black_red <<<"$counts"
    case $side in
    white) ((white_green > 10 && black_red > 10 && black_green == 0 && white_red == 0)) ;;
    black) ((black_green > 10 && white_red > 10 && white_green == 0 && black_red == 0)) ;;
    esac || fail "$side should be to move (green: $white_green/$black_green," \
        "red: $white_red/$black_red under White/Black; see ${SHOT##*/})"
    say "turn: $side to move"
}

# Reads the text of a picture, one line of output per line of text.
read_text() {
    convert "$1" -colorspace gray -resize 400% "${1%.png}-text.png"
    tesseract "${1%.png}-text.png" - -l rus --psm 6 2>/dev/null |
        sed 's/[[:space:]]\+/ /g; s/^ //; s/ $//' | grep -v '^$' || true
}

# --- Message boxes and other windows -------------------------------------------------------

# A dialog window of the process: a message box or a file dialog.
dialog_of() {
    local pid=$1 id type name
    while read -r id type name; do
        if [[ $type == DIALOG ]]; then
            echo "$id"
            return 0
        fi
    done < <(clients_of "$pid")
    return 1
}

has_dialog() { dialog_of "$1" >/dev/null; }

focused_window_is() {
    [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]]
}

# Waits for a window with the keyboard focus and the given text, and closes it with Enter.
#   answer_box PID "Я хожу" [TITLE]
answer_box() {
    local pid=$1 text=$2 title=${3:-}
    local box
    wait_until "$WAIT_S" "a message box \"$text\"" has_dialog "$pid"
    box=$(dialog_of "$pid")
    if [[ -n $title ]]; then
        local name
        name=$(xdotool getwindowname "$box")
        [[ $name == "$title" ]] || fail "the box \"$text\" has the caption \"$name\", not \"$title\""
    fi
    wait_until "$WAIT_S" "the focus on the box \"$text\"" focused_window_is "$box"
    expect_box_text "$box" "$text"
    press_key Return
    wait_until "$WAIT_S" "the box \"$text\" to close on Enter" window_gone "$box"
    say "box \"$text\" closed with Enter"
}

# The text of a message box, read off the screen: one of its lines must be the text (the
# others are the button). The box is painted a moment after it maps, so this tries a few times.
expect_box_text() {
    local box=$1 text=$2 info x y w h seen=""
    text=$(sed 's/^ *//; s/ *$//' <<<"$text")
    local deadline=$((SECONDS + 5))
    while :; do
        info=$(xwininfo -id "$box")
        x=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
        y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
        read -r w h < <(client_size "$box")
        snap "box" "$x" "$y" "$w" "$h"
        seen=$(read_text "$SHOT")
        # An icon beside the text may be read as a stray letter before it.
        local line
        while read -r line; do
            [[ $line == "$text" || $line == *" $text" ]] && return 0
        done <<<"$seen"
        ((SECONDS < deadline)) || fail "the box should say \"$text\" but reads \"${seen//$'\n'/ | }\""
        sleep 0.3
    done
}

# No message box comes up within a short while.
expect_no_box() {
    local pid=$1
    for _ in 1 2 3 4 5; do
        has_dialog "$pid" && fail "an unexpected message box came up"
        sleep 0.1
    done
}

# Enters a full path into the file dialog that is open and accepts it with Enter.
answer_file_dialog() {
    local pid=$1 path=$2 dialog
    wait_until "$WAIT_S" "the file dialog" has_dialog "$pid"
    dialog=$(dialog_of "$pid")
    wait_until "$WAIT_S" "the focus on the file dialog" focused_window_is "$dialog"
    # The name field has the focus; replace whatever name the dialog offers.
    press_key ctrl+a
    type_text "$path"
    for _ in 1 2 3; do
        press_key Return
        # The first Enter may only close the name completion's list.
        local until=$((SECONDS + 2))
        while ((SECONDS < until)); do
            window_gone "$dialog" && {
                say "file dialog accepted $path"
                return 0
            }
            sleep 0.1
        done
    done
    fail "the file dialog did not accept $path"
}

# The saved-game text of the expected position: x and y of slots 2 to 32, the spare entry
# (0, 0) and then slot 1; the older layout stops before slot 1. CR LF line ends.
#   saved_game_text [66|64]
saved_game_text() {
    local lines=${1:-66} slot x y
    for slot in $(seq 2 32); do
        read -r x y <<<"${SPOT[slot]}"
        printf '%d\r\n%d\r\n' "$x" "$y"
    done
    printf '0\r\n0\r\n'
    if ((lines == 66)); then
        read -r x y <<<"${SPOT[1]}"
        printf '%d\r\n%d\r\n' "$x" "$y"
    fi
}

# Starts the program without arguments and waits for the new game that runs on its first
# activation to put every piece on its square.
start_and_await_new_game() {
    start_program
    await_main_window "$APP_PID"
    starting_position
    FLIPPED=0
    expect_board "the starting position"
}
