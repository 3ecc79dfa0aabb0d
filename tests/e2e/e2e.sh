#!/usr/bin/env bash
# End-to-end cases: the built program on its own Xvfb display under openbox, used as a person
# uses it, with the mouse and the keyboard, and judged by what appears on the screen and in the
# files it writes.
#
# Usage: e2e.sh --program PATH --assets DIR --artifacts DIR CASE
#        e2e.sh --list
# A failed case keeps its screenshots and logs in ARTIFACTS/CASE.
set -Eeuo pipefail

readonly CASES=(startup first_move black_reply illegal_moves capture castling save open flip
    about second_copy settings_place)

APP_BINARY=""
ASSETS=""
ARTIFACTS=""
CASE=""
while [[ $# -gt 0 ]]; do
    case $1 in
    --program) APP_BINARY=$2 && shift 2 ;;
    --assets) ASSETS=$2 && shift 2 ;;
    --artifacts) ARTIFACTS=$2 && shift 2 ;;
    --list) printf '%s\n' "${CASES[@]}" && exit 0 ;;
    -*) echo "unknown option $1" >&2 && exit 2 ;;
    *) CASE=$1 && shift ;;
    esac
done
if [[ -z $APP_BINARY || -z $ASSETS || -z $ARTIFACTS || -z $CASE ]]; then
    echo "usage: $0 --program PATH --assets DIR --artifacts DIR CASE" >&2
    exit 2
fi
APP_BINARY=$(realpath "$APP_BINARY")
ASSETS=$(realpath "$ASSETS")
mkdir -p "$ARTIFACTS"
ARTIFACTS=$(realpath "$ARTIFACTS")

# shellcheck source-path=SCRIPTDIR
source "$(dirname "$0")/lib.sh"

# A White move: the piece stands on its target while "Я хожу" is up, and stays there after.
white_moves() {
    drag "$1" "$2"
    expect_move "$1" "$2"
    expect_board "White's $1-$2 while the box is up"
    answer_box "$APP_PID" "Я хожу"
}

# A Black move: no box follows.
black_moves() {
    drag "$1" "$2"
    expect_move "$1" "$2"
    expect_board "Black's $1-$2"
    expect_no_box "$APP_PID"
}

case_startup() {
    start_program
    await_main_window "$APP_PID"
    local name size
    name=$(xdotool getwindowname "$MAIN_WIN")
    [[ $name == "$MAIN_CAPTION" ]] || fail "the caption is \"$name\""
    say "caption \"$name\""
    size=$(client_size "$MAIN_WIN")
    [[ $size == "630 386" ]] || fail "the client area is $size, not 630 386"
    say "client area $size"
    # The pictures stand a few pixels off their squares in the layout; only the glide of the
    # new game puts every one of them exactly on its square.
    starting_position
    expect_board "every piece on its starting square"
    expect_turn white
    expect_no_box "$APP_PID"
}

case_first_move() {
    start_and_await_new_game
    white_moves e2 e4
    expect_board "the pawn still on e4 after the box"
    expect_turn black
}

case_black_reply() {
    start_and_await_new_game
    white_moves e2 e4
    black_moves e7 e5
    expect_turn white
    white_moves g1 f3
    black_moves b8 c6
    expect_turn white
}

case_illegal_moves() {
    start_and_await_new_game
    # White: each goes back to its square, silently, and White keeps the move.
    local move
    for move in "g1 g3" "a1 a3" "c1 c3" "e1 e3" "e2 e5" "d2 e3" "d1 d3"; do
        # shellcheck disable=SC2086
        drag $move
        expect_board "the start position after the illegal ${move/ /-}"
        expect_no_box "$APP_PID"
    done
    expect_turn white
    # Black: the piece goes back and "Я хожу" comes up again; Black keeps the move.
    white_moves e2 e4
    for move in "e7 e4" "b8 b6" "f8 f6"; do
        # shellcheck disable=SC2086
        drag $move
        expect_board "Black's illegal ${move/ /-} taken back"
        answer_box "$APP_PID" "Я хожу"
    done
    expect_turn black
    black_moves e7 e5
}

case_capture() {
    start_and_await_new_game
    white_moves e2 e4
    black_moves d7 d5
    # The black pawn on d5 leaves the board.
    white_moves e4 d5
    black_moves d8 d5
    expect_turn white
}

case_castling() {
    start_and_await_new_game
    white_moves e2 e4
    black_moves e7 e5
    white_moves g1 f3
    black_moves g8 f6
    white_moves f1 c4
    black_moves f8 c5
    # The king's two-step brings the rook from h1 to f1, and Black's from h8 to f8.
    white_moves e1 g1
    black_moves e8 g8
    expect_turn white
}

case_save() {
    start_and_await_new_game
    white_moves e2 e4
    black_moves e7 e5
    local name
    for name in game.sav second; do
        local chosen="$RUN/files/$name" written="$RUN/files/${name%.sav}.sav"
        click_at 575 364
        answer_file_dialog "$APP_PID" "$chosen"
        answer_box "$APP_PID" "Партия сохранена!"
        [[ -f $written ]] || fail "Save wrote no file $written"
        saved_game_text 66 >"$RUN/expected.sav"
        cmp "$written" "$RUN/expected.sav" ||
            fail "the saved file differs from the expected 66 lines: $(od -c "$written" | head)"
        say "Save to $name wrote the 66 lines of the position"
    done
    expect_board "the position unchanged by Save"
}

case_open() {
    start_and_await_new_game
    # A position in the current layout, slot 1 included, with one piece off the board.
    SPOT[21]=$(square_point e4)
    SPOT[13]=$(square_point e5)
    SPOT[28]=$(square_point h5)
    SPOT[2]=$(square_point c6)
    SPOT[1]=$(square_point b8)
    SPOT[16]="0 0"
    saved_game_text 66 >"$RUN/files/current.sav"
    click_at 469 364
    answer_file_dialog "$APP_PID" "$RUN/files/current.sav"
    answer_box "$APP_PID" "Партия восстановлена!"
    expect_board "the opened position, the captured pawn off the board"

    # An older file has no line for slot 1: that rook stays where it is.
    SPOT[21]=$(square_point e2)
    SPOT[16]=$(square_point h7)
    SPOT[30]=$(square_point b5)
    saved_game_text 64 >"$RUN/files/older.sav"
    click_at 469 364
    answer_file_dialog "$APP_PID" "$RUN/files/older.sav"
    answer_box "$APP_PID" "Партия восстановлена!"
    expect_board "the older file's position with the rook of slot 1 left on b8"
    # Open leaves the turn alone, and play goes on from the opened position.
    expect_turn white
    white_moves g1 f3
}

case_flip() {
    start_and_await_new_game
    white_moves e2 e4
    black_moves e7 e5
    click_at 448 16
    FLIPPED=1
    expect_board "the position mirrored, White at the top"
    # Dragging works on the flipped board too.
    white_moves g1 f3
    click_at 448 16
    FLIPPED=0
    expect_board "the position back the right way up"
}

case_about() {
    start_and_await_new_game
    white_moves e2 e4
    local round about
    for round in first second; do
        click_at 412 28
        wait_until "$WAIT_S" "the About window" about_window_shown
        about=$(windows_of "$APP_PID" "О программе" | head -n 1)
        wait_until "$WAIT_S" "the focus on the About window" focused_window_is "$about"
        say "About window open ($round time)"
        press_key Return
        wait_until "$WAIT_S" "the About window to close on Enter" window_gone "$about"
        say "About window closed with Enter"
        # No new game: the pawn is still on e4 and Black is still to move.
        expect_board "the game as it was"
        expect_turn black
    done
}

about_window_shown() {
    [[ -n $(windows_of "$APP_PID" "О программе") ]]
}

case_second_copy() {
    start_and_await_new_game
    local first=$APP_PID
    start_program
    local second=$APP_PID
    wait_until "$WAIT_S" "the second copy's message" has_dialog "$second"
    # Only the message: the refused copy never shows its main window.
    ! clients_of "$second" | grep -q ' NORMAL ' || fail "the refused copy showed its main window"
    answer_box "$second" "Программа уже запущена! " "$MAIN_CAPTION"
    wait_until "$WAIT_S" "the refused copy to end" process_ended "$second"
    say "the second copy was refused and ended"

    # The first copy carries on.
    APP_PID=$first
    await_main_window "$first"
    expect_board "the first copy's board untouched"
    white_moves e2 e4

    # With the argument x a further copy starts on its own.
    start_program x
    local further=$APP_PID
    local first_window=$MAIN_WIN
    await_main_window "$further"
    [[ $MAIN_WIN != "$first_window" ]] || fail "the copy with x showed no window of its own"
    say "a copy started with x runs beside the first"
    close_window "$MAIN_WIN"
    wait_until "$WAIT_S" "the copy with x to end when closed" process_ended "$further"
    APP_PID=$first
    await_main_window "$first"
    expect_board "the first copy's game after the further copy has gone"
}

# Starts the program with a settings file beside it and checks where its window's outer
# frame ends up.
#   expect_place LEFT_SETTING TOP_SETTING WANT_LEFT WANT_TOP
expect_place() {
    local left=$1 top=$2 want="$3 $4" place
    printf '[Settings]\r\nWindowTop=%s\r\nWindowLeft=%s\r\n' "$top" "$left" \
        >"$RUN/bin/morvantide.ini"
    cp "$RUN/bin/morvantide.ini" "$RUN/settings-as-written"
    start_program
    await_main_window "$APP_PID"
    place=$(frame_place "$MAIN_WIN")
    [[ $place == "$want" ]] ||
        fail "WindowLeft=$left WindowTop=$top put the window at $place, not $want"
    say "WindowLeft=$left WindowTop=$top: window at $place"
    cmp -s "$RUN/bin/morvantide.ini" "$RUN/settings-as-written" || fail "the settings file changed"
    if [[ -n $WM_PID ]]; then
        close_window "$MAIN_WIN"
    else
        kill "$APP_PID"
    fi
    wait_until "$WAIT_S" "the program to end" process_ended "$APP_PID"
}

case_settings_place() {
    # On a 1280 x 1024 screen, values up to 1261 (left) and 997 (top) are used as they are,
    # larger ones put that edge at 0; the settings move the outer frame.
    expect_place 137 91 137 91
    # shellcheck disable=SC2016
    expect_place 0x64 '$32' 100 50
    expect_place 1262 998 0 0
    expect_place 1262 91 0 91
    # A window manager keeps windows on the screen by rules of its own; without one, the place
    # the program asks for is the place the window gets, at the limits and beyond the edge.
    stop_window_manager
    expect_place 1261 997 1261 997
    expect_place 1261 998 1261 0
    expect_place -50 -30 -50 -30
}

[[ " ${CASES[*]} " == *" $CASE "* ]] || {
    echo "no case $CASE; cases: ${CASES[*]}" >&2
    exit 2
}
e2e_begin
"case_$CASE"
