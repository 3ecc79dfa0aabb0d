"""The built program on a private X display, used as a person uses it and read as a screen
reader reads it.

The program runs on its own Xvfb display (one per case, so cases run side by side) under
openbox, inside a private D-Bus session whose accessibility bus it joins. Input is real X input
(xdotool). What the program shows is read through the accessibility bus (pyatspi): window
captions, box texts, labels, the move columns, the check boxes and every piece's name, which
says where it stands, and its place on the screen. Screenshots are taken only where the pixels
themselves are the point.

Run with Debian's /usr/bin/python3, which sees python3-pyatspi.
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import pyatspi

MAIN_CAPTION = "Шахматы (альфа версия)"
SCREEN = (1280, 1024)
WAIT_S = 15
CASE_LIMIT_S = 150

# Slot 1..32: colour and kind as the pieces' names say them, and the starting square.
BACK_RANK = ["ладья", "конь", "слон", "ферзь", "король", "слон", "конь", "ладья"]
FEMININE = {"ладья", "пешка"}
FILES = "abcdefgh"


def slot_kind(slot):
    if 9 <= slot <= 24:
        return "пешка"
    return BACK_RANK[(slot - 1) % 8]


def slot_colour(slot):
    feminine = slot_kind(slot) in FEMININE
    if slot <= 16:
        return "Черная" if feminine else "Черный"
    return "Белая" if feminine else "Белый"


def piece_name(slot, square):
    return f"{slot_colour(slot)} {slot_kind(slot)}, {square or 'вне доски'}"


def starting_square(slot):
    row = {0: "8", 1: "7", 2: "2", 3: "1"}[(slot - 1) // 8]
    return FILES[(slot - 1) % 8] + row


def square_point(square):
    """'e4' -> (212, 212), the square's centre in pixels of the unflipped board."""
    return 52 + 40 * FILES.index(square[0]), 52 + 40 * (8 - int(square[1]))


PIECE_NAME = re.compile(r"^(Белый|Белая|Черный|Черная) (\S+), ([a-h][1-8]|вне доски)$")


class Failure(Exception):
    pass


def say(text):
    print(f"  {text}", flush=True)


def wait_until(what, probe, seconds=WAIT_S, interval=0.1):
    """Polls probe() until it returns something true; returns that, or fails after seconds."""
    deadline = time.monotonic() + seconds
    error = None
    while True:
        try:
            result = probe()
        except Exception as raised:  # a window coming up or going away answers with errors
            result, error = None, raised
        if result:
            return result
        if time.monotonic() > deadline:
            last = f" (last error: {error})" if error else ""
            raise Failure(f"timed out after {seconds}s waiting for {what}{last}")
        time.sleep(interval)


def run(*command, check=True):
    done = subprocess.run(command, capture_output=True, text=True)
    if check and done.returncode != 0:
        raise Failure(f"{' '.join(command)} failed: {done.stderr.strip()}")
    return done.stdout


def xdotool(*arguments):
    return run("xdotool", *map(str, arguments))


def press_key(key):
    """A key typed on the keyboard (XTEST) into the window that has the focus."""
    xdotool("key", key)


def type_text(text):
    xdotool("type", "--delay", "15", "--", text)


# --- Reading through the accessibility bus -------------------------------------------------

def children(node):
    try:
        return [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:
        return []


def descendants(node):
    for child in children(node):
        if child is None:
            continue
        yield child
        yield from descendants(child)


def role(node):
    return node.getRoleName()


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def extents(node):
    """(x, y, width, height) on the screen."""
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


class Program:
    """One running copy of the program, seen from outside."""

    def __init__(self, process):
        self.process = process
        self.pid = process.pid
        self.flipped = False

    def ended(self):
        return self.process.poll() is not None

    def application(self):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == self.pid:
                return app
        return None

    def windows(self):
        """The program's shown top-level windows: (role, caption, node)."""
        app = self.application()
        if app is None:
            return []
        return [(role(w), w.name, w) for w in children(app) if w is not None and showing(w)]

    def window(self, caption, roles=None):
        for kind, name, node in self.windows():
            if name == caption and (roles is None or kind in roles):
                return node
        return None

    def close(self):
        """Closes the main window as a person does, with Alt+F4 once it is the active one."""
        main = self.main()
        wait_until("the window to be active", lambda: main.getState().contains(pyatspi.STATE_ACTIVE))
        press_key("alt+F4")
        wait_until("the program to end when its window is closed", self.ended)

    def main(self):
        return wait_until("the main window", lambda: self.window(MAIN_CAPTION, {"filler", "frame"}))

    def find(self, node_role, name, within=None):
        within = within or self.main()
        for node in descendants(within):
            if role(node) == node_role and node.name == name:
                return node
        raise Failure(f"no {node_role} named \"{name}\" on the window")

    # The board and the pieces.

    def board_origin(self):
        x, y, _, _ = extents(self.find("image", "Шахматная доска"))
        return x, y

    def pieces(self):
        """Every piece picture on the main window: (name, board point of its centre or None)."""
        bx, by = self.board_origin()
        found = []
        for node in descendants(self.main()):
            if not PIECE_NAME.match(node.name or ""):
                continue
            point = None
            if showing(node):
                x, y, _, _ = extents(node)
                # A picture's left/top is its point less 20; the flip mirrors the point.
                point = (x - bx + 20, y - by + 20)
                if self.flipped:
                    point = (385 - point[0], 385 - point[1])
            found.append((node.name, point))
        return found

    def position_mismatch(self, expected, places=True):
        """What differs between the window and the expected {slot: square or None}; '' if none.
        With places, each piece must also be drawn on the square its name says."""
        pieces = self.pieces()
        problems = []
        names = sorted(name for name, _ in pieces)
        want = sorted(piece_name(slot, square) for slot, square in expected.items())
        if names != want:
            extra = sorted(set(names) - set(want))
            missing = sorted(set(want) - set(names))
            problems.append(f"{len(names)} pieces, named {extra} instead of {missing}")
        for name, point in pieces:
            square = PIECE_NAME.match(name).group(3)
            if square == "вне доски":
                if point is not None:
                    problems.append(f"{name} is still shown at {point}")
            elif places and point != square_point(square):
                problems.append(f"{name} is drawn at {point}, not on {square_point(square)}")
        return "; ".join(problems)

    def expect_position(self, expected, what, places=True):
        last = [""]

        def matches():
            last[0] = self.position_mismatch(expected, places)
            return not last[0]

        try:
            wait_until(what, matches)
        except Failure:
            raise Failure(f"the board should show {what}: {last[0]}") from None
        say(f"board: {what}")

    def square_on_screen(self, square):
        x, y = square_point(square)
        if self.flipped:
            x, y = 385 - x, 385 - y
        bx, by = self.board_origin()
        return bx + x, by + y

    def drag(self, source, target):
        """Drags the piece on one square to another in small steps, as a hand would, and lets
        it go a few pixels off the target's centre."""
        fx, fy = self.square_on_screen(source)
        tx, ty = self.square_on_screen(target)
        tx, ty = tx + 3, ty + 4
        gesture = ["mousemove", "--sync", fx, fy, "mousedown", "1"]
        for step in range(1, 9):
            gesture += ["mousemove", "--sync", fx + (tx - fx) * step // 8, fy + (ty - fy) * step // 8]
        rest_x, rest_y = self.board_origin()
        gesture += ["mouseup", "1", "mousemove", "--sync", rest_x + 405, rest_y + 250]
        xdotool(*gesture)

    # Labels, columns, check boxes.

    def turn(self):
        """The two turn labels' texts: (White's, Black's)."""
        labels = [(extents(n)[0], n.name) for n in descendants(self.main()) if role(n) == "label"]
        white_x = next(x for x, name in labels if name == "Белые")
        black_x = next(x for x, name in labels if name == "Черные")
        others = [(x, name) for x, name in labels if name not in ("Белые", "Черные")]
        white = [name for x, name in others if abs(x - white_x) < abs(x - black_x)]
        black = [name for x, name in others if abs(x - white_x) >= abs(x - black_x)]
        return " ".join(white), " ".join(black)

    def expect_turn(self, side):
        want = ("Ход", "Ожидание") if side == "white" else ("Ожидание", "Ход")
        try:
            wait_until(f"{side} to move", lambda: self.turn() == want, seconds=5)
        except Failure:
            raise Failure(f"{side} should be to move; the turn labels read {self.turn()}") from None
        say(f"turn: {side} to move")

    def columns(self):
        """The text of White's and Black's move columns."""
        boxes = sorted((extents(n)[0], text_of(n)) for n in descendants(self.main())
                       if role(n) == "text")
        if len(boxes) != 2:
            raise Failure(f"{len(boxes)} text boxes on the window, not the two move columns")
        return boxes[0][1], boxes[1][1]

    def expect_columns(self, white, black):
        try:
            wait_until("the move columns", lambda: self.columns() == (white, black), seconds=5)
        except Failure:
            raise Failure(f"the columns read {self.columns()}, not {(white, black)}") from None
        say(f"columns: {white!r} | {black!r}")

    def checked(self, name):
        return self.find("check box", name).getState().contains(pyatspi.STATE_CHECKED)

    def click(self, node_role, name):
        """A real mouse click on a control; also for controls whose handler opens a modal
        window (an action through the bus would not come back until it closes)."""
        x, y, w, h = extents(self.find(node_role, name))
        xdotool("mousemove", "--sync", x + min(w // 2, 10), y + h // 2, "click", "1")

    # Boxes and dialogs.

    def alerts(self):
        return [(name, node) for kind, name, node in self.windows() if kind == "alert"]

    def alert(self):
        found = self.alerts()
        return found[0] if found else None

    def box_text(self, box):
        texts = [n.name for n in descendants(box) if role(n) == "label" and n.name]
        return " | ".join(texts)

    def answer_box(self, text, caption=None):
        """Waits for a message box with this text, checks its caption, and closes it with
        Enter as a person would once it has the focus."""
        caption_seen, box = wait_until(f"a message box \"{text}\"", self.alert)
        seen = self.box_text(box)
        if seen != text:
            raise Failure(f"the box should say \"{text}\" but says \"{seen}\"")
        if caption is not None and caption_seen != caption:
            raise Failure(f"the box \"{text}\" has the caption \"{caption_seen}\", not \"{caption}\"")
        wait_until(f"the focus on the box \"{text}\"",
                   lambda: box.getState().contains(pyatspi.STATE_ACTIVE))
        press_key("Return")
        wait_until(f"the box \"{text}\" to close on Enter", lambda: not self.alerts())
        say(f"box \"{text}\" closed with Enter")

    def expect_no_box(self):
        for _ in range(5):
            if self.alerts():
                raise Failure(f"an unexpected message box: {self.box_text(self.alerts()[0][1])}")
            time.sleep(0.1)

    def file_dialog(self):
        return wait_until("the file dialog", lambda: next(
            (n for kind, _, n in self.windows() if kind in ("dialog", "file chooser")), None))

    def answer_file_dialog(self, path):
        """Enters a full path into the open file dialog and accepts it with Enter."""
        dialog = self.file_dialog()
        wait_until("the focus on the file dialog",
                   lambda: dialog.getState().contains(pyatspi.STATE_ACTIVE))
        press_key("ctrl+a")
        type_text(path)
        for _ in range(3):
            # The first Enter may only take the name completion's proposal.
            press_key("Return")
            try:
                wait_until("the file dialog to close", lambda: not showing(dialog), seconds=2)
                say(f"file dialog accepted {path}")
                return
            except Failure:
                pass
        raise Failure(f"the file dialog did not accept {path}")


# --- The display, the window manager and the processes -------------------------------------

class Desktop:
    """The case's private world: folders, the window manager and the programs. The X server
    and the D-Bus session around it are made by main() below."""

    def __init__(self, program, assets, run_dir):
        self.assets = assets
        self.run_dir = run_dir
        self.files = os.path.join(run_dir, "files")
        self.bin = os.path.join(run_dir, "bin")
        self.shots = os.path.join(run_dir, "shots")
        for folder in (self.files, self.bin, self.shots):
            os.makedirs(folder, exist_ok=True)
        # A built program runs from a copy of its own, so a settings file beside it concerns
        # this case only; an installed one runs where it is.
        self.program = program
        if not program.startswith("/usr/"):
            self.program = os.path.join(self.bin, "morvantide")
            shutil.copy2(program, self.program)
            # The voice module goes along, so that the copy speaks as the built program does.
            module = os.path.join(os.path.dirname(program), "libmorvantide-voice.so")
            if os.path.exists(module):
                shutil.copy2(module, self.bin)
        self.processes = []
        self.wm = None
        self.shot_count = 0

    def start_window_manager(self):
        # openbox.xml: new windows take the focus, as on a desktop, and Alt+F4 closes one.
        config = os.path.join(os.path.dirname(os.path.abspath(__file__)), "openbox.xml")
        log = open(os.path.join(self.run_dir, "openbox.log"), "a")
        # On a busy machine the X server may turn the first client away; openbox then ends at
        # once and is started again.
        for _ in range(3):
            self.wm = subprocess.Popen(["openbox", "--config-file", config], stdout=log,
                                       stderr=log)
            wait_until("the window manager", lambda: self.wm.poll() is not None or (
                "window id" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False)))
            if self.wm.poll() is None:
                return
            time.sleep(0.5)
        raise Failure(f"openbox could not open the display {os.environ.get('DISPLAY')}")

    def stop_window_manager(self):
        stop(self.wm)
        self.wm = None

    def start(self, *arguments, env=None):
        log = open(os.path.join(self.run_dir, "program.log"), "a")
        process = subprocess.Popen([self.program, *arguments], stdout=log, stderr=log,
                                   env=dict(os.environ, **(env or {})))
        self.processes.append(process)
        return Program(process)

    def start_new_game(self):
        """Starts the program and waits for the new game of its first activation."""
        program = self.start()
        program.expect_position({s: starting_square(s) for s in range(1, 33)},
                                "the starting position")
        return program

    def x_window(self, program, caption=MAIN_CAPTION):
        """The X window of a program's top-level window with this caption."""
        def found():
            # --all: every condition must hold, not only one of them.
            for window in run("xdotool", "search", "--all", "--onlyvisible", "--pid",
                              str(program.pid), "--name", "", check=False).split():
                if run("xdotool", "getwindowname", window, check=False).strip() == caption:
                    return window
            return None
        return wait_until(f"the X window \"{caption}\"", found)

    def title_bar(self, window):
        """(x, y, width, height) of the frame above a window's client area."""
        info = [l.strip() for l in run("xwininfo", "-id", window).splitlines()]
        x, y, width = (int(next(l.split()[-1] for l in info if l.startswith(k)))
                       for k in ("Absolute upper-left X", "Absolute upper-left Y", "Width:"))
        extents = run("xprop", "-id", window, "_NET_FRAME_EXTENTS").partition("=")[2]
        left, right, top, _ = (int(v) for v in extents.split(","))
        return x - left, y - top, width + left + right, top

    def caption_letters(self, window, caption=None):
        """The pixels the window manager draws for a window's caption: those of the title bar
        that change when the caption is blanked, as (x, y) from the letters' top left. With a
        caption, the window is shown under that caption for the measure and given its own back
        (the program does not notice either)."""
        area = self.title_bar(window)

        def redrawn(previous):
            def steady():
                first = self.snap("title", *area)
                time.sleep(0.1)
                return first if first != previous and first == self.snap("title", *area) else None
            return wait_until("the title bar redrawn", steady, seconds=5)

        own = run("xdotool", "getwindowname", window).rstrip("\n")
        shown = redrawn(None)
        set_caption(window, " ")
        blank = redrawn(shown)
        if caption is not None:
            set_caption(window, caption)
            shown = redrawn(blank)
            set_caption(window, own)
        changed = [(x, y) for y, row in enumerate(shown) for x, pixel in enumerate(row)
                   if pixel != blank[y][x]]
        left, top = min(x for x, _ in changed), min(y for _, y in changed)
        return {(x - left, y - top) for x, y in changed}

    def snap(self, name, x=0, y=0, width=SCREEN[0], height=SCREEN[1]):
        """A screenshot of a rectangle of the screen, kept beside the case's logs; returns
        its pixels as rows of (r, g, b)."""
        self.shot_count += 1
        path = os.path.join(self.shots, f"{self.shot_count:02d}-{name}.png")
        run("import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}", "+repage", path)
        return read_picture(path)

    def cleanup(self):
        for process in self.processes:
            stop(process)
        self.stop_window_manager()


def read_picture(path):
    """The pixels of a picture as rows of (r, g, b), through ImageMagick's plain PPM."""
    data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], capture_output=True,
                          check=True).stdout
    fields = data.split(maxsplit=4)
    width, height = int(fields[1]), int(fields[2])
    pixels = fields[4][-width * height * 3:]
    return [[tuple(pixels[(r * width + c) * 3:(r * width + c) * 3 + 3]) for c in range(width)]
            for r in range(height)]


def set_caption(window, caption):
    run("xprop", "-id", window, "-f", "_NET_WM_NAME", "8u", "-set", "_NET_WM_NAME", caption)


def stop(process):
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(2)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def start_display(run_dir):
    """A private Xvfb; the server picks a free display number and writes it to a pipe. On a
    busy machine a display that another server is just giving up can be handed out and then
    refuse clients, or this server can find the display taken and end while the other one
    still answers there: either way it is dropped and another one started. The server never
    resets: a case that stops the window manager leaves it without clients for a moment, and a
    reset then could refuse the program that starts next."""
    log = open(os.path.join(run_dir, "xvfb.log"), "a")
    for _ in range(3):
        read_end, write_end = os.pipe()
        server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
             "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,), stdout=log, stderr=log)
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            display = ":" + numbers.readline().strip()
        try:
            wait_until(f"the X server on {display}", lambda: subprocess.run(
                ["xprop", "-display", display, "-root", "_NET_SUPPORTED"],
                capture_output=True).returncode == 0, seconds=5)
            time.sleep(0.2)
            if server.poll() is None:
                return server, display
        except Failure:
            pass
        stop(server)
    raise Failure("Xvfb did not start")


def main(cases, argv):
    """Runs one case: outside, the X server; inside a private D-Bus session (entered by running
    this script again), the window manager, the program and the case."""
    import argparse
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True, type=os.path.abspath)
    parser.add_argument("--assets", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("case", choices=sorted(cases))
    options = parser.parse_args(argv)

    inside = os.environ.get("MORVANTIDE_E2E_RUN")
    if inside:
        return run_inside(cases, options, inside)

    run_dir = tempfile.mkdtemp(prefix="morvantide-e2e.")
    keep = os.path.join(options.artifacts, options.case)
    shutil.rmtree(keep, ignore_errors=True)
    env = dict(os.environ)
    for name in ("WAYLAND_DISPLAY", "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS",
                 "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
                 "QT_ENABLE_HIGHDPI_SCALING", "AT_SPI_BUS_ADDRESS"):
        env.pop(name, None)
    for folder in ("home", "runtime"):
        os.makedirs(os.path.join(run_dir, folder), mode=0o700)
    # Display :0 is where every stray X client on the machine goes; it is held, not used.
    placeholder, display = start_display(run_dir)
    server = placeholder
    if display == ":0":
        server, display = start_display(run_dir)
    else:
        placeholder = None
    env.update(DISPLAY=display, HOME=os.path.join(run_dir, "home"),
               XDG_RUNTIME_DIR=os.path.join(run_dir, "runtime"), LC_ALL="C.UTF-8",
               XDG_CONFIG_HOME=os.path.join(run_dir, "home", ".config"), QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", MORVANTIDE_E2E_RUN=run_dir)
    print(f"  display {display}", flush=True)
    inner = subprocess.Popen(["dbus-run-session", "--", sys.executable, *sys.argv], env=env,
                             start_new_session=True)
    try:
        status = inner.wait(CASE_LIMIT_S + 15)
    except subprocess.TimeoutExpired:
        print(f"FAIL [{options.case}]: the case ran longer than {CASE_LIMIT_S}s", flush=True)
        os.killpg(inner.pid, signal.SIGKILL)
        inner.wait()
        status = 1
    stop(server)
    stop(placeholder)
    if status != 0:
        shutil.copytree(run_dir, keep, ignore=shutil.ignore_patterns("bin", "home", "runtime"),
                        dirs_exist_ok=True)
        print(f"Screenshots and logs of the failed case are kept in {keep}", flush=True)
    shutil.rmtree(run_dir, ignore_errors=True)
    return status


def run_inside(cases, options, run_dir):
    def out_of_time(*_):
        raise Failure(f"the case ran longer than {CASE_LIMIT_S}s")

    signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(CASE_LIMIT_S)
    desktop = Desktop(options.program, options.assets, run_dir)
    try:
        desktop.start_window_manager()
        cases[options.case](desktop)
    except Failure as failure:
        print(f"FAIL [{options.case}]: {failure}", flush=True)
        try:
            desktop.snap("at-failure")
        except Exception:
            pass
        return 1
    finally:
        desktop.cleanup()
    print(f"PASS [{options.case}]", flush=True)
    return 0
