#!/usr/bin/python3
"""End-to-end cases: the built program used with the mouse and the keyboard, and judged by what
a screen reader reads from it, the files it writes and, where pixels are the point, the screen.

Usage: cases.py --program PATH --assets DIR --artifacts DIR CASE
A failed case keeps its screenshots and logs in ARTIFACTS/CASE. The case "installed" is the
package's own test of the installed program (debian/tests); ctest runs every other case.
"""

import os
import sys
import time

import pyatspi

from desktop import (MAIN_CAPTION, SCREEN, Failure, descendants, extents, piece_name, role, run,
                     say, showing, square_point, starting_square, wait_until, press_key,
                     read_picture, main)


class Game:
    """A program and the position, columns and turn the case expects of it."""

    def __init__(self, desktop, program=None):
        self.desktop = desktop
        self.program = program or desktop.start_new_game()
        self.position = {s: starting_square(s) for s in range(1, 33)}
        self.white_column = ""
        self.black_column = ""

    def slot_on(self, square):
        return next((s for s, q in self.position.items() if q == square), None)

    def expect_move(self, source, target):
        """What a legal move does: the mover goes to the target, a piece there leaves the
        board, and a king's two-step along its home rank brings the rook across."""
        mover = self.slot_on(source)
        if mover is None:
            raise Failure(f"the case expects a piece on {source}")
        taken = self.slot_on(target)
        if taken:
            self.position[taken] = None
        self.position[mover] = target
        rook = {(29, "g1"): (32, "f1"), (29, "c1"): (25, "d1"),
                (5, "g8"): (8, "f8"), (5, "c8"): (1, "d8")}.get((mover, target))
        if rook and source in ("e1", "e8"):
            self.position[rook[0]] = rook[1]
        text = f"{source}-{target} "
        if mover > 16:
            self.white_column += text
        else:
            self.black_column += text

    def white_moves(self, source, target):
        """The piece stands on its target while "Я хожу" is up, and stays there after."""
        self.program.drag(source, target)
        self.expect_move(source, target)
        self.program.expect_position(self.position, f"White's {source}-{target} under the box")
        self.program.answer_box("Я хожу")
        self.expect_state("black")

    def black_moves(self, source, target):
        """No box follows a Black move."""
        self.program.drag(source, target)
        self.expect_move(source, target)
        self.program.expect_position(self.position, f"Black's {source}-{target}")
        self.program.expect_no_box()
        self.expect_state("white")

    def expect_state(self, side):
        self.program.expect_turn(side)
        self.program.expect_columns(self.white_column, self.black_column)


def case_startup(desktop):
    program = desktop.start()
    window = desktop.x_window(program)
    size = run("xwininfo", "-id", window)
    width = next(l.split()[-1] for l in size.splitlines() if l.strip().startswith("Width:"))
    height = next(l.split()[-1] for l in size.splitlines() if l.strip().startswith("Height:"))
    if (width, height) != ("630", "386"):
        raise Failure(f"the client area is {width} x {height}, not 630 x 386")
    say(f"caption \"{MAIN_CAPTION}\", client area 630 x 386")
    # The pictures stand a few pixels off their squares in the layout; only the glide of the
    # new game puts every one of them exactly on its square.
    game = Game(desktop, program)
    program.expect_position(game.position, "every piece on its starting square")
    game.expect_state("white")
    program.expect_no_box()
    # "?" is read by what it opens; the columns and the turn labels say whose they are.
    for node_role, name in [("push button", "Новая игра"), ("push button", "О программе"),
                            ("text", "Ходы белых"), ("text", "Ходы черных")]:
        program.find(node_role, name)
    descriptions = sorted(n.description for n in descendants(program.main())
                          if role(n) == "label" and n.description)
    if descriptions != ["Метка белых", "Метка черных"]:
        raise Failure(f"the turn labels are described as {descriptions}")
    if program.checked("Перевернуть доску") or program.checked("Голос"):
        raise Failure("the flip or the voice box is ticked at start")
    expect_board_pixels(desktop, program, game.position)


def expect_board_pixels(desktop, program, position):
    """The board picture drawn unscaled, and every piece drawn without its background colour:
    an empty square shows the board's pixels exactly, an occupied one shows the board at its
    corners (around the piece) and something else in its middle."""
    board = read_picture(os.path.join(desktop.assets, "images", "board.png"))
    bx, by = program.board_origin()
    shot = desktop.snap("board", bx, by, 385, 385)
    key = (246, 25, 12)
    keyed = sum(row.count(key) for row in shot)
    if keyed:
        raise Failure(f"{keyed} pixels of the pieces' background colour are on the screen")
    occupied = set(q for q in position.values() if q)
    for file in "abcdefgh":
        for rank in "12345678":
            square = file + rank
            cx, cy = square_point(square)
            area = [(x, y) for y in range(cy - 19, cy + 19) for x in range(cx - 19, cx + 19)]
            differ = [(x, y) for x, y in area if shot[y][x] != board[y][x]]
            if square not in occupied and differ:
                raise Failure(f"the empty square {square} differs from the board picture "
                              f"in {len(differ)} pixels")
            if square in occupied:
                corners = [(cx - 19, cy - 19), (cx + 18, cy - 19), (cx - 19, cy + 18)]
                if any(shot[y][x] != board[y][x] for x, y in corners):
                    raise Failure(f"the piece on {square} is drawn with its background")
                if len(differ) < 100:
                    raise Failure(f"no piece is drawn on {square}")
    say("pixels: the board unscaled, the pieces without their background colour")


def case_crisp_art(desktop):
    """On a screen of twice the density the board and the pieces come from the double-size
    pictures, not from the single ones scaled up."""
    program = desktop.start(env={"QT_SCALE_FACTOR": "2"})
    position = {s: starting_square(s) for s in range(1, 33)}
    program.expect_position(position, "the starting position at double size", places=False)
    info = run("xwininfo", "-id", desktop.x_window(program))
    x = int(next(l.split()[-1] for l in info.splitlines() if "Absolute upper-left X" in l))
    y = int(next(l.split()[-1] for l in info.splitlines() if "Absolute upper-left Y" in l))
    board = read_picture(os.path.join(desktop.assets, "images", "board@2x.png"))
    shot = desktop.snap("board-2x", x, y, 770, 770)
    if any((246, 25, 12) in row for row in shot):
        raise Failure("the pieces' background colour is on the screen")
    # Ranks 6 to 3 are empty at the start: there the screen shows the double-size board itself.
    differ = sum(1 for r in range(2 * 112, 2 * 272) for c in range(2 * 32, 2 * 352)
                 if shot[r][c] != board[r][c])
    if differ:
        raise Failure(f"{differ} pixels of the empty ranks differ from board@2x.png")
    say("pixels: the double-size board drawn 1:1, no background colour")


def case_first_move(desktop):
    game = Game(desktop)
    game.white_moves("e2", "e4")
    game.program.expect_position(game.position, "the pawn still on e4 after the box")


def case_first_drag_unactivated(desktop):
    """Without a window manager nothing activates the new window: the first press on a piece
    starts the game, and a2-a4 as the very first action is played."""
    desktop.stop_window_manager()
    program = desktop.start()
    program.main()
    game = Game(desktop, program)
    game.white_moves("a2", "a4")


def case_illegal_moves(desktop):
    game = Game(desktop)
    program = game.program
    # White: each goes back to its square, silently, and White keeps the move.
    for source, target in [("g1", "g3"), ("a1", "a3"), ("c1", "c3"), ("e1", "e3"), ("e2", "e5"),
                           ("d2", "e3"), ("d1", "d3")]:
        program.drag(source, target)
        program.expect_position(game.position, f"the start position after {source}-{target}")
        program.expect_no_box()
    game.expect_state("white")
    # Black: the piece goes back and "Я хожу" comes up again; Black keeps the move.
    game.white_moves("e2", "e4")
    for source, target in [("e7", "e4"), ("b8", "b6"), ("f8", "f6")]:
        program.drag(source, target)
        program.expect_position(game.position, f"Black's {source}-{target} taken back")
        program.answer_box("Я хожу")
    game.expect_state("black")
    game.black_moves("e7", "e5")


def play(moves):
    """A case that plays legal moves, White first, checking the board, the boxes, the turn
    and the columns after each one."""
    def case(desktop):
        game = Game(desktop)
        for number, move in enumerate(moves.split()):
            (game.black_moves if number % 2 else game.white_moves)(*move.split("-"))
    return case


case_black_reply = play("e2-e4 e7-e5 g1-f3 b8-c6")
# The pawn on d5 leaves the board, then White's pawn that took it.
case_capture = play("e2-e4 d7-d5 e4-d5 d8-d5")
# The king's two-step brings the rook from h1 to f1, and Black's from h8 to f8.
case_castling = play("e2-e4 e7-e5 g1-f3 g8-f6 f1-c4 f8-c5 e1-g1 e8-g8")


def saved_game_text(position, lines=66):
    """x and y of slots 2 to 32, the spare entry (0, 0), then slot 1; older files stop before
    slot 1. CR LF line ends."""
    def point(slot):
        return square_point(position[slot]) if position[slot] else (0, 0)
    values = [v for slot in range(2, 33) for v in point(slot)] + [0, 0]
    if lines == 66:
        values += list(point(1))
    return "".join(f"{v}\r\n" for v in values).encode()


def save_game(game, name):
    """Saves through the file dialog and checks that the file holds the position."""
    chosen = os.path.join(game.desktop.files, name)
    written = os.path.join(game.desktop.files, name.removesuffix(".sav") + ".sav")
    game.program.click("push button", "Сохранить")
    game.program.answer_file_dialog(chosen)
    game.program.answer_box("Партия сохранена!")
    if not os.path.isfile(written):
        raise Failure(f"Save wrote no file {written}")
    with open(written, "rb") as saved:
        content = saved.read()
    if content != saved_game_text(game.position):
        raise Failure(f"the saved file differs from the expected 66 lines: {content[:80]!r}")
    say(f"Save to {name} wrote the 66 lines of the position")
    return written


def open_game(program, path, position, what):
    program.click("push button", "Открыть")
    program.answer_file_dialog(path)
    program.answer_box("Партия восстановлена!")
    program.expect_position(position, what)


def case_save(desktop):
    game = Game(desktop)
    game.white_moves("e2", "e4")
    game.black_moves("e7", "e5")
    for name in ("game.sav", "second"):
        save_game(game, name)
    game.program.expect_position(game.position, "the position unchanged by Save")
    game.expect_state("white")


def case_open(desktop):
    game = Game(desktop)
    program = game.program
    # A position in the current layout, slot 1 included, with one piece off the board.
    game.position.update({21: "e4", 13: "e5", 28: "h5", 2: "c6", 1: "b8", 16: None})
    path = os.path.join(desktop.files, "current.sav")
    with open(path, "wb") as out:
        out.write(saved_game_text(game.position))
    open_game(program, path, game.position, "the opened position, the captured pawn off the board")
    # An older file has no line for slot 1: that rook stays where it is.
    game.position.update({21: "e2", 16: "h7", 30: "b5"})
    path = os.path.join(desktop.files, "older.sav")
    with open(path, "wb") as out:
        out.write(saved_game_text(game.position, 64))
    open_game(program, path, game.position, "the older file's position, slot 1 left on b8")
    # Open leaves the turn alone, and play goes on from the opened position.
    game.expect_state("white")
    game.white_moves("g1", "f3")


def case_flip(desktop):
    game = Game(desktop)
    program = game.program
    game.white_moves("e2", "e4")
    game.black_moves("e7", "e5")
    program.click("check box", "Перевернуть доску")
    wait_until("the flip box ticked", lambda: program.checked("Перевернуть доску"))
    program.flipped = True
    program.expect_position(game.position, "the position mirrored, White at the top")
    # Dragging works on the flipped board too.
    game.white_moves("g1", "f3")
    program.click("check box", "Перевернуть доску")
    wait_until("the flip box cleared", lambda: not program.checked("Перевернуть доску"))
    program.flipped = False
    program.expect_position(game.position, "the position back the right way up")


def case_about(desktop):
    game = Game(desktop)
    program = game.program
    game.white_moves("e2", "e4")
    for round in ("first", "second"):
        program.click("push button", "О программе")
        about = wait_until("the About window", lambda: program.window("О программе"))
        texts = [n.name for n in descendants(about)
                 if n.getRoleName() == "label"]
        for text in ("ШАХМАТЫ", "(кодовое имя Morvantide)"):
            if text not in texts:
                raise Failure(f"the About window lacks \"{text}\": {texts}")
        wait_until("the focus on the About window",
                   lambda: about.getState().contains(pyatspi.STATE_ACTIVE))
        say(f"About window open ({round} time): {texts}")
        press_key("Return")
        wait_until("the About window to close on Enter", lambda: not program.window("О программе"))
        say("About window closed with Enter")
        # No new game: the pawn is still on e4 and Black is still to move.
        program.expect_position(game.position, "the game as it was")
        game.expect_state("black")


def case_second_copy(desktop):
    game = Game(desktop)
    first = game.program
    second = desktop.start()
    wait_until("the second copy's message", second.alert)
    # Only the message: the refused copy never shows its main window.
    if second.window(MAIN_CAPTION, {"filler", "frame"}):
        raise Failure("the refused copy showed its main window")
    second.answer_box("Программа уже запущена! ", MAIN_CAPTION)
    wait_until("the refused copy to end", second.ended)
    say("the second copy was refused and ended")
    # The first copy carries on.
    first.expect_position(game.position, "the first copy's board untouched")
    game.white_moves("e2", "e4")
    # With the argument x a further copy starts on its own, and closes on its own.
    further = desktop.start("x")
    further.expect_position({s: starting_square(s) for s in range(1, 33)},
                            "the further copy's own new game")
    further.close()
    say("the copy with x ended when closed")
    first.expect_position(game.position, "the first copy's game after the further copy has gone")
    game.expect_state("black")


def case_settings_place(desktop):
    def expect_place(left, top, want):
        ini = os.path.join(desktop.bin, "morvantide.ini")
        text = f"[Settings]\r\nWindowTop={top}\r\nWindowLeft={left}\r\n".encode()
        with open(ini, "wb") as out:
            out.write(text)
        program = desktop.start()
        window = desktop.x_window(program)
        info = run("xwininfo", "-id", window)
        x = int(next(l.split()[-1] for l in info.splitlines() if "Absolute upper-left X" in l))
        y = int(next(l.split()[-1] for l in info.splitlines() if "Absolute upper-left Y" in l))
        extents = run("xprop", "-id", window, "_NET_FRAME_EXTENTS").partition("=")[2].strip()
        if extents:
            frame_left, _, frame_top, _ = (int(v) for v in extents.split(","))
            x, y = x - frame_left, y - frame_top
        elif desktop.wm:
            raise Failure("the window manager gave no frame extents")
        if (x, y) != want:
            raise Failure(f"WindowLeft={left} WindowTop={top} put the window at {(x, y)}, "
                          f"not {want}")
        say(f"WindowLeft={left} WindowTop={top}: window at {(x, y)}")
        with open(ini, "rb") as kept:
            if kept.read() != text:
                raise Failure("the settings file changed")
        if desktop.wm:
            program.close()
        else:
            program.process.terminate()
            wait_until("the program to end", program.ended)

    # On a 1280 x 1024 screen, values up to 1261 (left) and 997 (top) are used as they are,
    # larger ones put that edge at 0; the settings move the outer frame.
    assert SCREEN == (1280, 1024)
    expect_place(137, 91, (137, 91))
    expect_place("0x64", "$32", (100, 50))
    expect_place(1262, 998, (0, 0))
    expect_place(1262, 91, (0, 91))
    # A window manager keeps windows on the screen by rules of its own; without one, the place
    # the program asks for is the place the window gets, at the limits and beyond the edge.
    desktop.stop_window_manager()
    expect_place(1261, 997, (1261, 997))
    expect_place(1261, 998, (1261, 0))
    expect_place(-50, -30, (-50, -30))


def case_piece_names(desktop):
    """A screen reader names each piece and its square, and reads the boxes."""
    game = Game(desktop)
    program = game.program
    names = [name for name, _ in program.pieces()]
    for name in ("Белая пешка, e2", "Черный конь, g8", "Белый ферзь, d1", "Черная ладья, a8"):
        if name not in names:
            raise Failure(f"no piece is named \"{name}\": {sorted(names)}")
    program.drag("e2", "e4")
    wait_until("a piece named \"Белая пешка, e4\"",
               lambda: piece_name(21, "e4") in [n for n, _ in program.pieces()])
    say("read \"Белая пешка, e4\"")
    caption, box = wait_until("the box after White's move", program.alert)
    if program.box_text(box) != "Я хожу":
        raise Failure(f"the box reads \"{program.box_text(box)}\", not \"Я хожу\"")
    say(f"read the box \"Я хожу\" (caption \"{caption}\")")
    # The caption is the application title: the executable's name up to its first ".".
    program.answer_box("Я хожу", "morvantide")
    # A taken piece is named off the board.
    game.expect_move("e2", "e4")
    game.black_moves("d7", "d5")
    game.white_moves("e4", "d5")
    taken = [name for name, _ in program.pieces() if name.endswith("вне доски")]
    if taken != [piece_name(12, None)]:
        raise Failure(f"off the board: {taken}, not only the pawn from d7")
    say(f"read \"{taken[0]}\"")


def case_box_captions(desktop):
    """Every box the program shows is wide enough for the window manager to draw its whole
    caption beside the frame's buttons: the caption's letters in the box's title bar are those
    the window manager draws for the same caption on the wide main window."""
    game = Game(desktop)
    program = game.program
    seen = []

    def measure(owner, text):
        caption, box = wait_until(f"the box \"{text}\"", owner.alert)
        if owner.box_text(box) != text:
            raise Failure(f"the box should say \"{text}\" but says \"{owner.box_text(box)}\"")
        wait_until("the focus on the box", lambda: box.getState().contains(pyatspi.STATE_ACTIVE))
        letters = desktop.caption_letters(desktop.x_window(owner, caption))
        seen.append((text, caption, extents(box)[2], letters))
        press_key("Return")
        # Another box may follow at once.
        wait_until(f"the box \"{text}\" to close on Enter",
                   lambda: text not in [owner.box_text(n) for _, n in owner.alerts()])

    def choose(button, path):
        program.click("push button", button)
        program.answer_file_dialog(path)

    choose("Открыть", os.path.join(desktop.files, "missing.sav"))
    measure(program, "File not found.")
    # White's queen on e6 and the pawn on e7 gone: the queen takes the king.
    game.position.update({28: "e6", 13: None})
    path = os.path.join(desktop.files, "mate.sav")
    with open(path, "wb") as out:
        out.write(saved_game_text(game.position))
    choose("Открыть", path)
    measure(program, "Партия восстановлена!")
    program.drag("e6", "e8")
    measure(program, "Я хожу")
    measure(program, "Белые победили!")
    choose("Сохранить", os.path.join(desktop.files, "game.sav"))
    measure(program, "Партия сохранена!")
    second = desktop.start()
    measure(second, "Программа уже запущена! ")
    wait_until("the refused copy to end", second.ended)

    main = program.main()
    wait_until("the main window active", lambda: main.getState().contains(pyatspi.STATE_ACTIVE))
    window = desktop.x_window(program)
    whole = {c: desktop.caption_letters(window, c) for c in {c for _, c, _, _ in seen}}
    cut = []
    for text, caption, width, letters in seen:
        full, drawn = (max(x for x, _ in p) + 1 for p in (whole[caption], letters))
        if letters != whole[caption]:
            cut.append(f"the box \"{text}\", {width} px wide, shows {drawn} px of its caption "
                       f"\"{caption}\", which is {full} px wide drawn whole")
        else:
            say(f"box \"{text}\" {width} px wide: caption \"{caption}\" whole ({full} px)")
    if cut:
        raise Failure("; ".join(cut))


def case_enter_on_buttons(desktop):
    """Return and keypad Enter press the push button that has the keyboard focus."""
    program = Game(desktop).program
    main = program.main()
    for name, key, title in (("Открыть", "Return", "Открыть"),
                             ("Сохранить", "KP_Enter", "Сохранить как")):
        wait_until("the main window active",
                   lambda: main.getState().contains(pyatspi.STATE_ACTIVE))
        button = program.find("push button", name)
        for _ in range(15):
            if button.getState().contains(pyatspi.STATE_FOCUSED):
                break
            press_key("Tab")
            time.sleep(0.2)
        else:
            raise Failure(f"Tab never brought the focus to \"{name}\"")
        press_key(key)
        dialog = program.file_dialog()
        if dialog.name != title:
            raise Failure(f"{key} on \"{name}\" opened \"{dialog.name}\", not \"{title}\"")
        say(f"{key} on \"{name}\" opened the file dialog \"{title}\"")
        wait_until("the focus on the file dialog",
                   lambda: dialog.getState().contains(pyatspi.STATE_ACTIVE))
        press_key("Escape")
        wait_until("the file dialog to close on Escape", lambda: not showing(dialog))
        program.expect_no_box()


def case_installed(desktop):
    """The installed program (debian/tests): a move with the mouse, Save, New game, Open of the
    saved game, and the end when its window is closed."""
    game = Game(desktop)
    game.white_moves("e2", "e4")
    saved = save_game(game, "installed.sav")
    game.program.click("push button", "Новая игра")
    game.program.expect_position(Game(desktop, game.program).position, "a new game")
    open_game(game.program, saved, game.position, "the saved game opened again")
    game.program.close()
    say("closed with Alt+F4")


CASES = {name[len("case_"):]: f for name, f in globals().items() if name.startswith("case_")}

if __name__ == "__main__":
    sys.exit(main(CASES, sys.argv[1:]))
