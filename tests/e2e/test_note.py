#!/usr/bin/env python3
"""End-to-end tests of the note program: real notes made from the built
template (copied, renamed and given a settings table), started under Wine at
the mouse cursor, looked at on the screen and closed as a user would."""
import os
import select
import shutil
import struct
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

TEMPLATE = os.path.join(harness.WIN_BUILD, "note", "Vemto Src.exe")
NOTES = os.path.join(harness.WIN_BUILD, "e2e_notes")
WM_CLOSE, WM_MOUSEWHEEL, WM_LBUTTONUP, WM_RBUTTONUP = 0x0010, 0x020A, 0x0202, 0x0205
WS_EX_LAYERED, WS_EX_TOOLWINDOW = 0x00080000, 0x00000080
WS_POPUP, WS_VISIBLE, WS_SYSMENU, WS_CHILD, ES_MULTILINE = 0x80000000, 0x10000000, 0x00080000, 0x40000000, 0x4
LWA_ALPHA = 2

WHITE, BLACK, RED, BLUE = (255, 255, 255), (0, 0, 0), (255, 0, 0), (0, 0, 255)
GREEN, G254 = (0, 255, 0), (0, 254, 0)
FACE = "\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF"


def colorref(rgb):
    return rgb[0] | rgb[1] << 8 | rgb[2] << 16


def table_block(margin=10, width=300, height=200, background=WHITE, text=BLACK, font_height=30, close=0,
                image="", transparent=0):
    """The 14-entry settings table as the editor writes it: a count of UTF-16
    units before each entry's text, nothing else."""
    entries = [margin, width, height, colorref(background), colorref(text), font_height, 0, 400, 0, FACE,
               close, image, transparent, ""]
    block = b""
    for entry in entries:
        data = str(entry).encode("utf-16-le")
        block += struct.pack("<H", len(data) // 2) + data
    return block


def make_note(folder, name, **table):
    """Copies the template to folder/name.exe and, when table settings are
    given, writes them as the note's string block 1 (language 0)."""
    os.makedirs(folder, exist_ok=True)
    exe = os.path.join(folder, name + ".exe")
    shutil.copyfile(TEMPLATE, exe)
    if table:
        data = os.path.join(NOTES, "table.bin")
        with open(data, "wb") as f:
            f.write(table_block(**table))
        harness.driver("update_resource", harness.to_windows_path(exe), 6, 1, 0, harness.to_windows_path(data),
                       check=True)
    return exe


def driver_out(*args):
    """A driver command's output with the C runtime's text-mode line ends
    (LF written as CR LF) undone, so that a CR LF in a window text survives."""
    rc, out = harness.driver(*args)
    return rc, out.replace("\r\n", "\n")


def window_text(hwnd):
    return driver_out("text", hwnd)[1]


def screenshot(name):
    """The whole screen, saved as SHOTS/name.png. ImageMagick may put a comment
    into the PPM header, which the shared reader does not expect."""
    png = os.path.join(harness.SHOTS, name + ".png")
    xwd = subprocess.run(["xwd", "-root", "-silent"], capture_output=True, check=True).stdout
    subprocess.run(["/usr/bin/convert", "xwd:-", png], input=xwd, check=True)
    ppm = subprocess.run(["/usr/bin/convert", png, "ppm:-"], capture_output=True, check=True).stdout
    lines = ppm.split(b"\n")
    header = []
    while len(header) < 3:
        line = lines.pop(0)
        if not line.startswith(b"#"):
            header.append(line)
    return harness.Image(b"\n".join(header + lines))


def write_bmp(path, width, height, top_down):
    """A 24-bit bottom-up .bmp; top_down holds (r, g, b) rows from the top."""
    row = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for r, g, b in top_down[y]:
            line += bytes((b, g, r))
        data += line + bytes(row - len(line))
    header = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 0, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


class RunningNote:
    """A started note: its process and its input window."""

    def __init__(self, exe, cursor, title=None, move=None):
        if move:
            move(cursor)
        else:
            harness.xdotool("mousemove", *cursor)
        # Wine may answer from a cached pointer position for a moment.
        expected = "%d %d" % cursor
        assert harness.wait_until(lambda: harness.driver("cursor")[1].strip() == expected, 15), "cursor not moved"
        self.started = time.monotonic()
        self.proc = harness.start(exe)
        self.hwnd = harness.find_window("VEMTO_SRC_MAIN", title if title is not None else "-", timeout_ms=30000)
        if not self.hwnd:
            self.proc.kill()  # a late window must not be taken for the next test's note
            self.proc.wait()
            raise AssertionError("the note window did not appear")

    def rect(self):
        """(left, top, width, height) of the input window."""
        r = harness.window_rect(self.hwnd)
        return (r[0], r[1], r[2] - r[0], r[3] - r[1]) if r else None

    def wait_rect(self, expected, timeout=15):
        harness.wait_until(lambda: self.rect() == expected, timeout)
        return self.rect()

    def windows(self):
        """The note's windows as the driver reads them."""
        rc, out = driver_out("note_windows", self.hwnd)
        assert rc == 0, out
        head, _, text = out.partition("\ntext ")
        state = {"text": text}
        for line in head.split("\n"):
            key, _, rest = line.partition(" ")
            if key in ("input", "container", "edit"):
                v = rest.split()
                state[key] = (int(v[0]), int(v[1]), int(v[2]), int(v[3]), int(v[4], 16), int(v[5], 16), int(v[6]))
                state[key + "_hwnd"] = int(v[7])
            elif key:
                state[key] = tuple(int(v) for v in rest.split())
        return state

    def font_request(self):
        """The LOGFONT the note asked for its text, read inside the note:
        (height, width, weight, italic, charset, out precision, clip precision,
        quality, pitch and family, face)."""
        rc, out = driver_out("menu", self.windows()["edit_hwnd"])
        assert rc == 0, out
        line = next(line for line in out.split("\n") if line.startswith("font "))
        numbers, _, face = line[5:].partition("\t")
        return tuple(int(v) for v in numbers.split()) + (face,)

    def followed(self, margin):
        """True when the container covers the input window and the edit control
        lies inside it by margin on every side."""
        s = self.windows()
        l, t, r, b = s["input"][:4]
        return s["container"][:4] == (l, t, r, b) and s["edit"][:4] == (l + margin, t + margin, r - margin, b - margin)

    def gone(self, timeout=20):
        return harness.wait_gone(self.proc, timeout)

    def close(self):
        if self.proc.poll() is None:
            harness.driver("post", self.hwnd, WM_CLOSE, 0, 0)
            if not harness.wait_gone(self.proc, 20):
                self.proc.kill()


def shot_until(name, check, timeout=15):
    """Screenshots until check(image) holds; returns the last image."""
    last = [None]

    def attempt():
        last[0] = screenshot(name)
        return check(last[0])

    harness.wait_until(attempt, timeout, interval=0.3)
    return last[0]


class NotesClosedAfterEachTest:
    def setUp(self):
        self.notes = []

    def tearDown(self):
        for note in self.notes:
            note.close()

    def start(self, exe, cursor, title=None, move=None):
        note = RunningNote(exe, cursor, title, move)
        self.notes.append(note)
        return note


class NoteTest(NotesClosedAfterEachTest, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        shutil.rmtree(NOTES, ignore_errors=True)
        os.makedirs(NOTES)
        rc, out = harness.driver("screen")
        cls.screen = tuple(int(v) for v in out.split())

    def test_template_defaults_black_red_text_closes_after_ten_seconds(self):
        exe = make_note(os.path.join(NOTES, "plain"), "Hello,.World")
        note = self.start(exe, (10, 10))
        self.assertEqual(note.wait_rect((10, 10, 300, 200)), (10, 10, 300, 200))
        self.assertEqual(window_text(note.hwnd), "Hello\r\nWorld")
        self.assertTrue(harness.wait_until(lambda: note.followed(10), 10), note.windows())
        s = note.windows()
        self.assertEqual(s["input"][4] & WS_EX_LAYERED, WS_EX_LAYERED)
        self.assertEqual(s["input"][5] & (WS_POPUP | WS_VISIBLE | WS_SYSMENU), WS_POPUP | WS_VISIBLE | WS_SYSMENU)
        self.assertEqual(s["container"][4] & WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW)
        self.assertEqual(s["container"][5] & (WS_POPUP | WS_VISIBLE), WS_POPUP | WS_VISIBLE)
        self.assertEqual(s["edit"][5] & (WS_CHILD | WS_VISIBLE | ES_MULTILINE), WS_CHILD | WS_VISIBLE | ES_MULTILINE)
        self.assertEqual(s["layered"], (1, LWA_ALPHA))
        self.assertEqual(s["below"], (1,))
        self.assertEqual(s["text"], "Hello\r\nWorld")
        # Black everywhere, red text from the margin on, two lines of it.
        img = shot_until("note_plain", lambda i: i.count(RED, 10, 10, 310, 210, 40) > 100)
        self.assertGreater(img.count(BLACK, 10, 10, 310, 210), 300 * 200 * 0.7)
        box = img.bounding_box(RED, 10, 10, 310, 210, 40)
        self.assertIsNotNone(box)
        self.assertGreaterEqual(box[0], 20)
        self.assertGreaterEqual(box[1], 20)
        self.assertGreater(box[3] - box[1], 40, "two lines of a 30-pixel font")
        self.assertEqual(img.count(RED, 0, 0, 1024, 768, 40), img.count(RED, 20, 20, 300, 200, 40))
        # Nobody touches it: it closes itself, never before its ten seconds.
        self.assertTrue(note.gone(40), "the note did not close by itself")
        self.assertGreaterEqual(time.monotonic() - note.started, 9.5)

    def test_colours_from_the_table_edge_placement_and_wheel_zoom(self):
        exe = make_note(os.path.join(NOTES, "zoom"), "zoom", margin=20, background=WHITE, text=BLUE)
        # 300 x 200 with the cursor at (1000, 700) would cross both edges.
        note = self.start(exe, (1000, 700))
        self.assertEqual(note.wait_rect((700, 500, 300, 200)), (700, 500, 300, 200))
        self.assertTrue(harness.wait_until(lambda: note.followed(20), 10), note.windows())
        img = shot_until("note_zoom", lambda i: i.count(BLUE, 700, 500, 1000, 700, 60) > 50)
        self.assertGreater(img.count(WHITE, 700, 500, 1000, 700), 300 * 200 * 0.7)
        box = img.bounding_box(BLUE, 700, 500, 1000, 700, 60)
        self.assertGreaterEqual(box[0], 720)
        self.assertGreaterEqual(box[1], 520)
        harness.xdotool("mousemove", 760, 540)
        steps = [(4, (700, 500, 180, 120)), (4, (700, 500, 150, 100)), (4, (700, 500, 150, 100)),
                 (5, (700, 500, 270, 180)), (5, (634, 500, 390, 260))]
        for button, expected in steps:
            harness.xdotool("click", button)
            self.assertEqual(note.wait_rect(expected), expected, f"after wheel button {button}")
        self.assertTrue(harness.wait_until(lambda: note.followed(20), 10), note.windows())
        img = shot_until("note_zoomed", lambda i: i.count(WHITE, 634, 500, 1024, 760) > 390 * 260 * 0.7)
        self.assertGreater(img.count(WHITE, 634, 500, 1024, 760), 390 * 260 * 0.7)
        # A middle click, a mouse move and a pressed left button leave it open;
        # the release closes it. It never closes by itself (auto-close 0).
        harness.xdotool("click", 2)
        harness.xdotool("mousemove", 800, 600)
        harness.xdotool("mousedown", 1)
        time.sleep(1.0)  # give a wrong close the chance to show
        self.assertIsNone(note.proc.poll(), "closed before the button was released")
        harness.xdotool("mouseup", 1)
        self.assertTrue(note.gone(20), "a left click did not close the note")

    def test_background_image_with_transparent_colour_and_key_close(self):
        folder = os.path.join(NOTES, "image")
        os.makedirs(folder, exist_ok=True)
        bmp = os.path.join(folder, "back.bmp")
        # Left half pure green (the transparent colour), right half G 254.
        write_bmp(bmp, 4, 2, [[GREEN, GREEN, G254, G254]] * 2)
        exe = make_note(folder, "image text over the green half", background=WHITE, text=BLACK, image=harness.to_windows_path(bmp),
                        transparent=0x00FF00)
        note = self.start(exe, (50, 300))
        self.assertEqual(note.wait_rect((50, 300, 300, 200)), (50, 300, 300, 200))

        def halves(x, y, w, h):
            return lambda i: (i.count(WHITE, x, y, x + w // 2, y + h) > w * h * 0.45
                              and i.count(G254, x + w // 2, y, x + w, y + h) > w * h * 0.4)

        img = shot_until("note_image", halves(50, 300, 300, 200))
        self.assertGreater(img.count(WHITE, 50, 300, 200, 500), 150 * 200 * 0.9)
        self.assertGreater(img.count(G254, 200, 300, 350, 500), 150 * 200 * 0.8)
        self.assertEqual(img.count(GREEN, 50, 300, 350, 500), 0, "transparent pixels were not replaced")
        # The text is drawn over the image without a box of its own: in the right
        # half the letters stand on the image, with no white behind them.
        self.assertGreater(img.count(BLACK, 205, 310, 340, 490, 60), 30)
        self.assertEqual(img.count(WHITE, 200, 300, 350, 500, 30), 0)
        # Shrunk by the wheel, the whole image is stretched over the new size.
        harness.xdotool("mousemove", 120, 350)
        harness.xdotool("click", 4)
        self.assertEqual(note.wait_rect((50, 300, 180, 120)), (50, 300, 180, 120))
        img = shot_until("note_image_zoomed", halves(50, 300, 180, 120))
        self.assertGreater(img.count(G254, 140, 300, 230, 420), 90 * 120 * 0.8)
        self.assertGreater(img.count(WHITE, 50, 300, 140, 420), 90 * 120 * 0.8)
        harness.xdotool("key", "a")
        self.assertTrue(note.gone(20), "a key did not close the note")

    def test_missing_image_shows_the_background_colour_and_only_a_whole_click_closes(self):
        folder = os.path.join(NOTES, "missing")
        teal = (0, 128, 128)
        exe = make_note(folder, "missing", background=teal, text=WHITE,
                        image=harness.to_windows_path(os.path.join(folder, "gone.bmp")), transparent=0)
        note = self.start(exe, (400, 100))
        self.assertEqual(note.wait_rect((400, 100, 300, 200)), (400, 100, 300, 200))
        img = shot_until("note_missing_image", lambda i: i.count(teal, 400, 100, 700, 300) > 300 * 200 * 0.7)
        self.assertGreater(img.count(teal, 400, 100, 700, 300), 300 * 200 * 0.7)
        # The font is asked for as the table says, with pitch and family 0 as
        # the editor's preview asks: a fixed-pitch request would make Windows
        # trade a proportional face for another one.
        self.assertEqual(note.font_request(), (30, 0, 400, 0, 1, 0, 0, 0, 0, FACE))
        # The releases of the double-click that started a note reach it without
        # their presses: they leave it open.
        for message in (WM_LBUTTONUP, WM_RBUTTONUP):
            harness.driver("post", note.hwnd, message, 0, (50 << 16) | 50, check=True)
        time.sleep(1.0)  # give a wrong close the chance to show
        self.assertIsNone(note.proc.poll(), "a button-up without its press closed the note")
        harness.xdotool("mousemove", 500, 200)
        harness.xdotool("click", 3)
        self.assertTrue(note.gone(20), "a right click did not close the note")

    def test_flat_notes_keep_their_size_on_the_wheel(self):
        for name, width, height in (("flat_w", 0, 200), ("flat_h", 300, 0)):
            exe = make_note(os.path.join(NOTES, name), name, width=width, height=height, close=0)
            note = self.start(exe, (100, 100))
            self.assertEqual(note.wait_rect((100, 100, width, height)), (100, 100, width, height))
            for wheel in (0x00780000, 0xFF880000):
                harness.driver("post", note.hwnd, WM_MOUSEWHEEL, wheel, (100 << 16) | 100, check=True)
            # A message sent after the wheel messages is answered only after them.
            self.assertEqual(window_text(note.hwnd), name)
            self.assertIsNone(note.proc.poll(), "the note died on the wheel")
            self.assertEqual(note.rect(), (100, 100, width, height))
            note.close()
            self.assertTrue(note.gone(20))

    def test_escaped_name_shows_its_text(self):
        exe = make_note(os.path.join(NOTES, "escaped"), "Hello,\uFF1F a,,b ,\uFF0Fc")
        note = self.start(exe, (200, 200))
        self.assertEqual(window_text(note.hwnd), "Hello? a,b /c")
        self.assertEqual(note.windows()["text"], "Hello? a,b /c")

    def test_a_path_too_long_to_split_shows_the_note_without_text(self):
        # The folder alone is longer than the 255 units the splitter allows.
        folder = os.path.join(NOTES, "deep", *(["d" * 60] * 5))
        exe = make_note(folder, "lost text", close=0)
        self.assertGreater(len(harness.to_windows_path(folder)), 256)
        note = self.start(exe, (300, 300), title="-")
        self.assertEqual(note.wait_rect((300, 300, 300, 200)), (300, 300, 300, 200))
        self.assertEqual(window_text(note.hwnd), "")
        img = shot_until("note_deep", lambda i: i.count(WHITE, 300, 300, 600, 500) > 300 * 200 * 0.9)
        self.assertEqual(img.count(WHITE, 300, 300, 600, 500), 300 * 200, "the note should be blank white")


def start_x(command, log, env=None):
    """Starts an X server on a display it picks itself (no race with the other
    servers on this machine); returns the process and the display number."""
    read, write = os.pipe()
    proc = subprocess.Popen(command + ["-displayfd", str(write)], stdout=log, stderr=log, env=env,
                            pass_fds=(write,))
    os.close(write)
    with os.fdopen(read) as answer:
        ready = select.select([answer], [], [], 30)[0]
        number = answer.readline().strip() if ready else ""
    if not number:
        proc.kill()
        proc.wait()
        raise AssertionError(f"{command[0]} did not start")
    return proc, int(number)


def make_prefix_copy(shared, copy):
    """A Wine prefix with a registry of its own and the shared prefix's drive
    C: linked in (half a gigabyte that these notes only read)."""
    shutil.rmtree(copy, ignore_errors=True)
    os.makedirs(copy)
    for name in os.listdir(shared):
        source, target = os.path.join(shared, name), os.path.join(copy, name)
        if name == "drive_c":
            os.symlink(source, target)
        elif os.path.isdir(source):
            shutil.copytree(source, target, symlinks=True)
        else:
            shutil.copy2(source, target)


class TwoMonitorNoteTest(NotesClosedAfterEachTest, unittest.TestCase):
    """Notes on the second of two monitors side by side, the primary at
    (0, 0)-(800, 600) and the second at (800, 0)-(1440, 480): an Xorg server
    with the dummy driver lays out two outputs so (two_monitors.conf). Wine
    reads monitors through XRandR; Wine 10 takes a monitor's place from there
    alone (through Xinerama it puts every monitor at (0, 0)). Its desktop
    process publishes the monitors to the whole prefix, so these notes run in
    a copy of the prefix with a server of their own; the shared prefix's
    registry is left as it was. No compositor runs there, so the notes are
    judged by their rectangles."""

    @classmethod
    def setUpClass(cls):
        cls.saved_env = {k: os.environ.get(k) for k in ("DISPLAY", "WINEPREFIX")}
        cls.servers = []
        cls.prefix = os.path.join(harness.WIN_BUILD, "wine_two_monitors")
        cls.log = open(os.path.join(harness.WIN_BUILD, "two_monitors_x.log"), "wb")
        try:
            # The server itself, not the /usr/bin/Xorg wrapper, which may let
            # only the console's user start it; sharing the VT and never
            # switching lets it run without a console, as any user.
            config = os.path.join(os.path.dirname(os.path.abspath(__file__)), "two_monitors.conf")
            proc, screen = start_x(["/usr/lib/xorg/Xorg", "-config", config, "-logfile",
                                    os.path.join(harness.WIN_BUILD, "two_monitors_xorg.log"), "-noreset",
                                    "-novtswitch", "-sharevts", "-nolisten", "tcp", "-ac"], cls.log)
            cls.servers.append(proc)
            make_prefix_copy(os.environ["WINEPREFIX"], cls.prefix)
            os.environ.update(DISPLAY=":%d" % screen, WINEPREFIX=cls.prefix)
            # One server for the whole class, as in the shared prefix.
            subprocess.run(["wineserver", "-p"], stdout=cls.log, stderr=cls.log, check=True)
        except BaseException:
            cls.tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        if os.environ.get("WINEPREFIX") == cls.prefix:
            subprocess.run(["wineserver", "-k"], check=False)  # this prefix's server only
        for key, value in cls.saved_env.items():
            if value is None:
                os.environ.pop(key, None)
            else:
                os.environ[key] = value
        for proc in reversed(cls.servers):
            proc.terminate()
            if not harness.wait_gone(proc, 20):
                proc.kill()
                proc.wait()
        cls.log.close()
        shutil.rmtree(cls.prefix, ignore_errors=True)

    def start_at(self, exe, cursor):
        return self.start(exe, cursor, move=lambda c: harness.driver("set_cursor", *c, check=True))

    def test_notes_open_and_zoom_on_the_monitor_that_holds_them(self):
        rc, out = driver_out("monitors")
        self.assertEqual(sorted(out.split("\n")), ["", "0 0 800 600 1", "800 0 1440 480 0"], "the X setup")
        exe = make_note(os.path.join(NOTES, "second"), "second", close=0)
        # 1000 + 300 would cross the primary screen's width, not this monitor's.
        note = self.start_at(exe, (1000, 200))
        self.assertEqual(note.wait_rect((1000, 200, 300, 200)), (1000, 200, 300, 200))
        # Towards the user it grows on this monitor and is then pushed back
        # from its right and bottom edges (1440, 480); away from the user it
        # shrinks there. Every rectangle lies inside the second monitor.
        for wheel, expected in ((0xFF880000, (1000, 200, 420, 280)), (0xFF880000, (900, 120, 540, 360)),
                                (0x00780000, (900, 120, 420, 280))):
            harness.driver("post", note.hwnd, WM_MOUSEWHEEL, wheel, (300 << 16) | 1100, check=True)
            self.assertEqual(note.wait_rect(expected), expected, f"after wheel {wheel:#x}")
        note.close()
        self.assertTrue(note.gone(20))
        # Crossing this monitor's bottom edge (480, not 600) flips the note up.
        note = self.start_at(exe, (1300, 400))
        self.assertEqual(note.wait_rect((1000, 200, 300, 200)), (1000, 200, 300, 200))


if __name__ == "__main__":
    harness.main()
