"""Reopening notes for correction, as a user does it: naming the note on the
editor's command line, choosing it in the open dialog, dragging it onto the
editor; then correcting it. A note made by the editor in an earlier session
(with an icon template) is the material; text files and programs without a
settings table are the files that must be refused."""
import ctypes
import ctypes.util
import os
import shutil
import struct
import subprocess
import time
import unittest
import urllib.parse

import harness as h
from test_output import (Editor, SESSIONS, answer, clear_desktop, driver_text, message_box,
                         no_message_box, note_resources, on_desktop, read_ini, settings_ini, wait_note_file)

# The earlier session's look: what every reopen must bring back.
LOOK = {"WINDOW/WIDTH": 500, "WINDOW/HEIGHT": 330, "WINDOW/MARGIN": 14, "WINDOW/COLOR_R": 255,
        "WINDOW/COLOR_G": 255, "WINDOW/COLOR_B": 0, "FONT/COLOR_R": 0, "FONT/COLOR_G": 0,
        "FONT/COLOR_B": 255, "FONT/HEIGHT": -24, "FONT/WEIGHT": 700, "FONT/ITALIC": 1,
        "FONT/FACE_NAME": "IPAGothic", "ACTION/AUTO_CLOSE": 7, "WINDOW/IMG_T_R": 255,
        "ICON/ENABLED": 1}
NOTE_TEXT = "牛乳を買う\r\nBuy milk"
NOTE_NAME = "牛乳を買う,.Buy milk.exe"
OPEN_FAILED = "ファイルを開くのに失敗しました\n\n"
MANY_FILES = "複数ファイルのドラッグアンドドロップに対応していません"


def prefix_path(*parts):
    """A path inside the prefix's drive C: (Unix path, Windows path)."""
    unix = os.path.join(h.WINEPREFIX, "drive_c", *parts)
    return unix, "C:\\" + "\\".join(parts)


def icon_template():
    """A 32 x 32, 4-bit icon file with black at entry 0 and white at entry 15."""
    palette = b"".join(bytes((v, v, v, 0)) for v in [0] + [17 * i for i in range(1, 15)] + [255])
    colour = bytes((i * 7) & 0xFF for i in range(32 * 16))
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0, 0, 0, 0, 0, 0)
    image = header + palette + colour + bytes(32 * 4)
    return struct.pack("<HHHBBBBHHII", 0, 1, 1, 32, 32, 16, 0, 1, 4, len(image), 22) + image


class Session:
    """The note and settings that the earlier session left, made once."""
    note = None        # Unix path of the kept copy of the note
    ini = None         # that session's settings
    client = None      # its client size when it wrote the note
    icon_path = None


def make_note():
    icon_unix, icon_win = prefix_path("icons", "template.ico")
    os.makedirs(os.path.dirname(icon_unix), exist_ok=True)
    with open(icon_unix, "wb") as f:
        f.write(icon_template())
    look = dict(LOOK)
    look["ICON/PATH"] = icon_win
    clear_desktop()
    e = Editor("reopen_maker", settings_ini(**look))
    try:
        e.set_text(NOTE_TEXT)
        e.key("F3")
        res = wait_note_file(NOTE_NAME)
        assert res, "the earlier session wrote no note"
        h.wait_until(lambda: e.title() == "Tessark - " + NOTE_NAME, 10)
        Session.client = e.client_size()
        Session.ini = e.settings()
        # The icon template's group and image, tinted: black to yellow, white lighter.
        assert res["group"] == "0000010001002020100001000400e80200000200", res["group"]
        assert res["icon2"][80:88] == "00ffff00" and res["icon2"][80 + 15 * 8:88 + 15 * 8] == "80ffff00"
        Session.note = os.path.join(SESSIONS, "reopen_note.exe")
        shutil.copy(on_desktop(NOTE_NAME), Session.note)
        Session.icon_path = icon_win
    finally:
        e.close()
        clear_desktop()


def place_note(*folder):
    """Puts a copy of the session's note into a folder of drive C: (the
    desktop when none is given); returns (Unix path, Windows path)."""
    if folder:
        unix_dir, win_dir = prefix_path(*folder)
        os.makedirs(unix_dir, exist_ok=True)
        unix, win = os.path.join(unix_dir, NOTE_NAME), win_dir + "\\" + NOTE_NAME
    else:
        unix = on_desktop(NOTE_NAME)
        win = "C:\\users\\" + h.wine_user() + "\\Desktop\\" + NOTE_NAME
    shutil.copy(Session.note, unix)
    return unix, win


def launch(name, arguments):
    """Starts the editor as a shell would: '"<exe>" ' + arguments."""
    folder = os.path.join(SESSIONS, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    exe = os.path.join(folder, "Tessark.exe")
    shutil.copy(os.path.join(h.WIN_BUILD, "editor", "Tessark.exe"), exe)
    with open(os.path.join(folder, h.wine_user() + " Tessark.ini"), "w", encoding="utf-16", newline="") as f:
        f.write(settings_ini())
    h.launch(f'"{h.to_windows_path(exe)}" {arguments}')
    hwnd = h.find_window("TESSARK_MAIN", "-", 30000)
    assert hwnd, "the editor did not open"
    return folder, hwnd


# Dragging files onto a window from the X side, as a file manager does
# (XDND); Wine turns the drop into WM_DROPFILES inside the editor's process.
class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int), ("l", ctypes.c_long * 5)]


class _SelectionRequest(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("owner", ctypes.c_ulong), ("requestor", ctypes.c_ulong),
                ("selection", ctypes.c_ulong), ("target", ctypes.c_ulong), ("property", ctypes.c_ulong),
                ("time", ctypes.c_ulong)]


class _SelectionNotify(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("requestor", ctypes.c_ulong), ("selection", ctypes.c_ulong),
                ("target", ctypes.c_ulong), ("property", ctypes.c_ulong), ("time", ctypes.c_ulong)]


class _XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xclient", _ClientMessage), ("xselectionrequest", _SelectionRequest),
                ("xselection", _SelectionNotify), ("pad", ctypes.c_long * 24)]


def _xlib():
    x = ctypes.CDLL(ctypes.util.find_library("X11"))
    v, ul, i, p = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_void_p
    x.XOpenDisplay.restype, x.XOpenDisplay.argtypes = v, [ctypes.c_char_p]
    x.XDefaultRootWindow.restype, x.XDefaultRootWindow.argtypes = ul, [v]
    x.XInternAtom.restype, x.XInternAtom.argtypes = ul, [v, ctypes.c_char_p, i]
    x.XCreateSimpleWindow.restype = ul
    x.XCreateSimpleWindow.argtypes = [v, ul, i, i, i, i, i, ul, ul]
    x.XSetSelectionOwner.argtypes = [v, ul, ul, ul]
    x.XSendEvent.argtypes = [v, ul, i, ctypes.c_long, p]
    x.XPending.argtypes = x.XFlush.argtypes = x.XCloseDisplay.argtypes = [v]
    x.XNextEvent.argtypes = [v, p]
    x.XChangeProperty.argtypes = [v, ul, ul, ul, i, i, p, i]
    x.XDestroyWindow.argtypes = [v, ul]
    return x


def drag_files(title, unix_paths, timeout=15.0):
    """Drops the files on the X window whose name is title, at 60, 60 of the
    screen. Returns True when the window took the drop."""
    x11 = _xlib()
    dpy = x11.XOpenDisplay(None)
    try:
        atom = lambda name: x11.XInternAtom(dpy, name.encode(), 0)
        target = int(subprocess.check_output(["xdotool", "search", "--name", "^" + title + "$"]).split()[0])
        source = x11.XCreateSimpleWindow(dpy, x11.XDefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0)
        uri_list = atom("text/uri-list")
        x11.XSetSelectionOwner(dpy, atom("XdndSelection"), source, 0)
        data = "".join("file://" + urllib.parse.quote(p) + "\r\n" for p in unix_paths).encode()

        def send(name, values):
            ev = _XEvent()
            ev.xclient.type, ev.xclient.window, ev.xclient.format = 33, target, 32
            ev.xclient.message_type = atom(name)
            for k, value in enumerate(values):
                ev.xclient.l[k] = value
            x11.XSendEvent(dpy, target, 0, 0, ctypes.byref(ev))
            x11.XFlush(dpy)

        def serve_until(reply_name):
            """Answers requests for the file list until the reply arrives."""
            deadline = time.monotonic() + timeout
            while time.monotonic() < deadline:
                while x11.XPending(dpy):
                    ev = _XEvent()
                    x11.XNextEvent(dpy, ctypes.byref(ev))
                    if ev.type == 30:  # SelectionRequest
                        r = ev.xselectionrequest
                        out = _XEvent()
                        s = out.xselection
                        s.type, s.requestor, s.selection, s.target, s.time = 31, r.requestor, r.selection, r.target, r.time
                        if r.target == uri_list:
                            buf = ctypes.create_string_buffer(data)
                            x11.XChangeProperty(dpy, r.requestor, r.property, uri_list, 8, 0, buf, len(data))
                            s.property = r.property
                        x11.XSendEvent(dpy, r.requestor, 0, 0, ctypes.byref(out))
                        x11.XFlush(dpy)
                    elif ev.type == 33 and ev.xclient.message_type == atom(reply_name):
                        return list(ev.xclient.l)
                time.sleep(0.01)
            return None

        send("XdndEnter", [source, 5 << 24, uri_list, 0, 0])
        send("XdndPosition", [source, 0, (60 << 16) | 60, 0, atom("XdndActionCopy")])
        status = serve_until("XdndStatus")
        if not status or not status[1] & 1:
            send("XdndLeave", [source, 0, 0, 0, 0])
            return False
        send("XdndDrop", [source, 0, 0, 0, 0])
        serve_until("XdndFinished")
        x11.XDestroyWindow(dpy, source)
        return True
    finally:
        x11.XCloseDisplay(dpy)


class ReopenTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        make_note()

    def setUp(self):
        clear_desktop()
        self.editors = []
        self.launched = []

    def tearDown(self):
        for e in self.editors:
            e.close()
        for hwnd in self.launched:
            if h.alive(hwnd):
                h.driver("post", hwnd, 0x10, 0, 0)
                h.wait_until(lambda: not h.alive(hwnd), 10)
        clear_desktop()

    def editor(self, name):
        e = Editor(name, settings_ini())
        self.editors.append(e)
        return e

    def launched_editor(self, name, arguments):
        folder, hwnd = launch(name, arguments)
        self.launched.append(hwnd)
        return folder, hwnd

    def assert_reopened(self, hwnd, win_path, ini_path):
        """The editor shows the session's note: text, look, size, title,
        correction commands, and its settings file holds the look."""
        text = driver_text("gettext", hwnd, 1)
        self.assertEqual(text, NOTE_TEXT)
        self.assertEqual(driver_text("text", hwnd), "Tessark - " + NOTE_NAME)
        rect = h.window_rect(hwnd)
        self.assertEqual((rect[4], rect[5]), Session.client)
        margin = int(Session.ini["WINDOW/MARGIN"])
        edit = [int(v) for v in h.driver("childrect", hwnd, 1)[1].split()]
        self.assertEqual(edit[:4], [margin, margin, rect[4] - margin, rect[5] - margin],
                         "the text area does not sit at the note's margin")
        ini = read_ini(ini_path)
        for key in ("WINDOW/MARGIN", "WINDOW/COLOR_R", "WINDOW/COLOR_G", "WINDOW/COLOR_B", "FONT/COLOR_B",
                    "FONT/HEIGHT", "FONT/WEIGHT", "FONT/ITALIC", "FONT/FACE_NAME", "ACTION/AUTO_CLOSE",
                    "WINDOW/IMG_T_R", "ICON/ENABLED", "ICON/PATH", "WINDOW/IMG_ENABLED"):
            self.assertEqual(ini[key], Session.ini[key], key)
        self.assertEqual(ini["ICON/PATH"], Session.icon_path)
        rc, out = h.driver("menu", hwnd)
        flags = {line.split("\t")[1]: line.split("\t")[2] for line in out.splitlines() if line.count("\t") >= 3}
        self.assertNotIn("g", flags["1010"])
        self.assertNotIn("g", flags["1033"])
        self.assertIn("class_background solid FFFF00", out)
        ox, oy = (int(v) for v in h.driver("origin", hwnd)[1].split())
        shot = h.screenshot("reopened")
        yellow = shot.count((255, 255, 0), ox, oy, ox + rect[4], oy + rect[5], 3)
        self.assertGreater(yellow, rect[4] * rect[5] // 2, "the preview is not the note's yellow")
        self.assertGreater(shot.count((0, 0, 255), ox, oy, ox + rect[4], oy + rect[5], 60), 50)

    def test_command_line_with_a_quoted_path_with_blanks(self):
        unix, win = place_note("My Notes")
        folder, hwnd = self.launched_editor("cmdline", f'"{win}"')
        self.assertTrue(no_message_box(1))
        self.assert_reopened(hwnd, win, os.path.join(folder, h.wine_user() + " Tessark.ini"))

    def test_command_line_without_quotes_is_cut_at_the_first_blank(self):
        unix, win = place_note("My Notes")
        folder, hwnd = self.launched_editor("unquoted", win + " more")
        box, text = message_box("エラー")
        self.assertEqual(text, OPEN_FAILED + "C:\\My")
        answer(box)
        self.assertEqual(driver_text("text", hwnd), "Tessark")
        self.assertEqual(driver_text("gettext", hwnd, 1), "")

    def test_command_line_quotes_unclosed_or_empty(self):
        unix, win = place_note("My Notes")
        folder, hwnd = self.launched_editor("unclosed", f'"{win}')
        self.assertTrue(no_message_box(2), "an unclosed quote showed something")
        self.assertEqual(driver_text("text", hwnd), "Tessark")
        h.driver("post", hwnd, 0x10, 0, 0)
        h.wait_until(lambda: not h.alive(hwnd), 10)
        folder, hwnd = self.launched_editor("emptyquotes", '""')
        box, text = message_box("エラー")
        self.assertEqual(text, OPEN_FAILED)
        answer(box)
        self.assertEqual(driver_text("text", hwnd), "Tessark")

    def test_open_dialog(self):
        unix, win = place_note("My Notes")
        e = self.editor("dialog")
        e.key("ctrl+o")
        box = h.find_window("#32770", "訂正する付箋ファイルを開く", 10000)
        self.assertIsNotNone(box, "no open dialog")
        h.driver("setinnertext", box, 1148, win, check=True)
        h.driver("click", box, 1, check=True)
        self.assertTrue(h.wait_until(lambda: e.title() != "Tessark", 10))
        self.assertTrue(no_message_box(1))
        self.assert_reopened(e.hwnd, win, e.ini_path)
        # Cancelling the dialog changes nothing.
        e.set_text("changed")
        e.key("ctrl+o")
        box = h.find_window("#32770", "訂正する付箋ファイルを開く", 10000)
        h.driver("click", box, 2, check=True)
        self.assertTrue(h.wait_until(lambda: not h.alive(box), 10))
        self.assertEqual(e.text(), "changed")

    def test_dropping_one_file_reopens_it_and_two_are_refused(self):
        unix, win = place_note("Dropped")
        e = self.editor("drop")
        other = os.path.join(os.path.dirname(unix), "other.txt")
        with open(other, "w") as f:
            f.write("not a note")
        self.assertTrue(drag_files("Tessark", [unix, other]), "the editor refused the drag")
        box, text = message_box("確認")
        self.assertEqual(text, MANY_FILES)
        answer(box)
        self.assertEqual(e.title(), "Tessark")
        self.assertTrue(drag_files("Tessark", [unix]))
        self.assertTrue(h.wait_until(lambda: e.title() != "Tessark", 10))
        self.assertTrue(no_message_box(1))
        self.assert_reopened(e.hwnd, win, e.ini_path)
        # Dropping a file that is no note names it in the open-failure message.
        self.assertTrue(drag_files("Tessark - " + NOTE_NAME, [other]))
        box, text = message_box("エラー")
        self.assertEqual(text, OPEN_FAILED + "C:\\Dropped\\other.txt")
        answer(box)
        self.assertEqual(e.text(), NOTE_TEXT)

    def test_files_that_are_no_notes_change_nothing(self):
        text_unix, text_win = prefix_path("Files", "memo.txt")
        os.makedirs(os.path.dirname(text_unix), exist_ok=True)
        with open(text_unix, "w") as f:
            f.write("Buy milk\r\n")
        program_unix, program_win = prefix_path("Files", "program.exe")
        shutil.copy(os.path.join(h.WIN_BUILD, "tests", "e2e", "driver.exe"), program_unix)
        e = self.editor("refused")
        e.set_text("keep me")
        before = open(e.ini_path, "rb").read()
        for win in (text_win, program_win):
            e.key("ctrl+o")
            box = h.find_window("#32770", "訂正する付箋ファイルを開く", 10000)
            h.driver("cbselect", box, 1136, "全て")
            h.driver("setinnertext", box, 1148, win, check=True)
            h.driver("click", box, 1, check=True)
            box, text = message_box("エラー")
            self.assertEqual(text, OPEN_FAILED + win)
            answer(box)
            self.assertEqual(e.title(), "Tessark")
            self.assertEqual(e.text(), "keep me")
            self.assertIn("g", e.menu_flags(1010))
            self.assertEqual(open(e.ini_path, "rb").read(), before, "settings were written")

    def test_correction_moves_a_note_from_another_folder_to_the_desktop(self):
        unix, win = place_note("My Notes")
        folder, hwnd = self.launched_editor("move", f'"{win}"')
        self.assertTrue(h.wait_until(lambda: driver_text("text", hwnd) != "Tessark", 10))
        h.driver("settext", hwnd, 1, "Buy bread", check=True)
        h.driver("activate", hwnd)
        h.xdotool("key", "F2")
        res = wait_note_file("Buy bread.exe")
        self.assertIsNotNone(res)
        self.assertEqual(os.listdir(os.path.dirname(unix)), [], "the note stayed in its old folder")
        self.assertEqual(res["entries"][3], str(0x00FFFF), "the reopened look was not kept")
        self.assertEqual(res["entries"][13], Session.icon_path)
        self.assertEqual(driver_text("text", hwnd), "Tessark - Buy bread.exe")

    def test_output_after_a_reopen_writes_a_second_note(self):
        unix, win = place_note()
        folder, hwnd = self.launched_editor("second", f'"{win}"')
        self.assertTrue(h.wait_until(lambda: driver_text("text", hwnd) != "Tessark", 10))
        h.driver("settext", hwnd, 1, "Buy bread", check=True)
        h.driver("activate", hwnd)
        h.xdotool("key", "F3")
        self.assertIsNotNone(wait_note_file("Buy bread.exe"))
        self.assertEqual(open(unix, "rb").read(), open(Session.note, "rb").read(), "the reopened note changed")
        self.assertEqual(driver_text("text", hwnd), "Tessark - Buy bread.exe")
        # Correcting now moves the new note, not the reopened one.
        h.driver("settext", hwnd, 1, "Buy rice", check=True)
        h.xdotool("key", "F2")
        self.assertIsNotNone(wait_note_file("Buy rice.exe"))
        self.assertEqual(sorted(os.listdir(h.desktop_dir())), sorted([NOTE_NAME, "Buy rice.exe"]))


if __name__ == "__main__":
    h.main()
