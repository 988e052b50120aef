"""Output and correction of notes, driven as a user drives the editor: type a
text, choose colours and a font in the choosers, press F3, F5, F2 or F4, and
look at what lands on the desktop, at the editor's title and menu, and at the
note when it is started."""
import os
import shutil
import subprocess
import time
import unittest

import harness as h

TESSARK = os.path.join(h.WIN_BUILD, "editor", "Tessark.exe")
NOTE_PROGRAM = os.path.join(h.WIN_BUILD, "note", "Vemto Src.exe")
SESSIONS = os.path.join(h.WIN_BUILD, "e2e_builder")

CREATE_FAILED = "ファイルの作成に失敗しました"
WM_COMMAND, WM_CLOSE = 0x111, 0x10
# The group directory of the default note icon, as every note without an
# icon template carries it.
DEFAULT_GROUP = "0000010001008080020001000100301000000200"


def driver_text(*args):
    """A driver command's text output with the C runtime's text-mode line
    ends (LF written as CR LF) undone, so that a CR LF in a text survives."""
    return h.driver(*args)[1].replace("\r\n", "\n")


def settings_ini(**keys):
    """An editor settings file: the first-run look with the given keys
    ("SECTION/KEY": value) replaced."""
    sections = {
        "WINDOW": {"WIDTH": 420, "HEIGHT": 300, "MARGIN": 10, "COLOR_R": 255, "COLOR_G": 255,
                   "COLOR_B": 255, "IMG_ENABLED": 0, "IMG_PATH": "", "IMG_T_R": 0, "IMG_T_G": 0,
                   "IMG_T_B": 0},
        "FONT": {"COLOR_R": 0, "COLOR_G": 0, "COLOR_B": 0, "HEIGHT": 30, "WIDTH": 0,
                 "WEIGHT": 400, "ITALIC": 0, "FACE_NAME": "IPAGothic"},
        "ACTION": {"AUTO_CLOSE": 0},
        "ICON": {"ENABLED": 0, "PATH": ""},
        "OPTION": {"ESCAPE_MSG": 0},
    }
    for name, value in keys.items():
        section, key = name.split("/")
        sections[section][key] = value
    return "".join(f"[{s}]\r\n" + "".join(f"{k}={v}\r\n" for k, v in items.items())
                   for s, items in sections.items())


def read_ini(path):
    """{"SECTION/KEY": text} of a settings file (UTF-16 with a byte-order mark)."""
    values, section = {}, ""
    with open(path, encoding="utf-16") as f:
        for line in f.read().splitlines():
            if line.startswith("["):
                section = line.strip("[]")
            elif "=" in line:
                key, value = line.split("=", 1)
                values[f"{section}/{key}"] = value
    return values


def note_resources(path):
    """What a note file carries: {"entries": [14 texts], "table", "group", "icon2",
    "icon1"} (hex texts for the last four)."""
    rc, out = h.driver("noteres", h.to_windows_path(path))
    if rc != 0:
        return None
    res = {"entries": []}
    for line in out.splitlines():
        if line.startswith("entry "):
            res["entries"].append(line.split("\t", 1)[1] if "\t" in line else "")
        elif " " in line:
            name, value = line.split(" ", 1)
            res[name] = value
    return res


def table_from_settings(ini, client_width, client_height):
    """The 14 table entries that the editor's saved settings and client size give."""
    def colorref(prefix):
        return str(int(ini[prefix + "_R"]) + 256 * int(ini[prefix + "_G"]) + 65536 * int(ini[prefix + "_B"]))
    pixel = (int(ini["WINDOW/IMG_T_R"]) << 16) + (int(ini["WINDOW/IMG_T_G"]) << 8) + int(ini["WINDOW/IMG_T_B"])
    return [ini["WINDOW/MARGIN"], str(client_width), str(client_height), colorref("WINDOW/COLOR"),
            colorref("FONT/COLOR"), ini["FONT/HEIGHT"], ini["FONT/WIDTH"], ini["FONT/WEIGHT"],
            ini["FONT/ITALIC"], ini["FONT/FACE_NAME"], ini["ACTION/AUTO_CLOSE"],
            ini["WINDOW/IMG_PATH"] if ini["WINDOW/IMG_ENABLED"] != "0" else "", str(pixel),
            ini["ICON/PATH"] if ini["ICON/ENABLED"] != "0" else ""]


def make_writable(folder, writable):
    """Makes a folder (un)writable for the user that runs Wine. Root writes
    through permissions, so for root the folder is made immutable instead."""
    if os.geteuid() == 0:
        subprocess.run(["chattr", "-i" if writable else "+i", folder], check=True)
    else:
        os.chmod(folder, 0o755 if writable else 0o555)


def clear_desktop():
    desk = h.desktop_dir()
    make_writable(desk, True)
    for name in os.listdir(desk):
        path = os.path.join(desk, name)
        shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)


def on_desktop(name):
    return os.path.join(h.desktop_dir(), name)


class Editor:
    """One run of the editor from a folder of its own, so that its settings
    file is its own too. ini: the settings file's text before the start."""

    def __init__(self, name, ini=None, args=()):
        self.folder = os.path.join(SESSIONS, name)
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        self.exe = os.path.join(self.folder, "Tessark.exe")
        shutil.copy(TESSARK, self.exe)
        self.ini_path = os.path.join(self.folder, h.wine_user() + " Tessark.ini")
        if ini is not None:
            with open(self.ini_path, "w", encoding="utf-16", newline="") as f:
                f.write(ini)
        self.proc = h.start(self.exe, *args)
        self.hwnd = h.find_window("TESSARK_MAIN", "-", 30000)
        if not self.hwnd:
            self.close()
            raise AssertionError("the editor did not open")

    def close(self):
        if self.proc.poll() is None:
            if self.hwnd and h.alive(self.hwnd):
                h.driver("post", self.hwnd, WM_CLOSE, 0, 0)
            if not h.wait_gone(self.proc, 10):
                self.proc.kill()
                self.proc.wait()

    def focus_text(self):
        """Clicks into the text area, as a user does before typing."""
        x, y = (int(v) for v in h.driver("origin", self.hwnd)[1].split())
        h.driver("activate", self.hwnd)
        h.xdotool("mousemove", x + 40, y + 40, "click", 1)

    def type(self, text):
        self.focus_text()
        h.xdotool("type", "--delay", 30, text)
        h.wait_until(lambda: self.text() == text, 5)

    def set_text(self, text):
        """Puts text (with \\r\\n and \\uXXXX escapes) into the edit control."""
        h.driver("settext", self.hwnd, 1, text, check=True)

    def key(self, key):
        h.driver("activate", self.hwnd)
        h.xdotool("key", key)

    def command(self, command_id):
        h.driver("post", self.hwnd, WM_COMMAND, command_id, 0, check=True)

    def text(self):
        return driver_text("gettext", self.hwnd, 1)

    def title(self):
        return driver_text("text", self.hwnd)

    def client_size(self):
        rect = h.window_rect(self.hwnd)
        return rect[4], rect[5]

    def menu_flags(self, command_id):
        """The flag letters of a menu item (g: greyed), read inside the editor."""
        rc, out = h.driver("menu", self.hwnd)
        for line in out.splitlines():
            parts = line.split("\t")
            if len(parts) >= 3 and parts[1] == str(command_id):
                return parts[2]
        raise AssertionError(f"menu item {command_id} not found")

    def settings(self):
        return read_ini(self.ini_path)

    def choose_color(self, command_id, rgb):
        """Runs a colour chooser (1002 background, 1003 text) and picks rgb."""
        self.command(command_id)
        box = h.find_window("#32770", "Color", 10000)
        assert box, "the colour chooser did not open"
        h.driver("click", box, 719)  # Define Custom Colors >>
        time.sleep(0.3)
        for control, value in zip((706, 707, 708), rgb):
            h.driver("settext", box, control, value, check=True)
        h.driver("click", box, 1, check=True)
        assert h.wait_until(lambda: not h.alive(box), 10), "the colour chooser stayed open"

    def choose_font(self, face, style, size):
        self.command(1004)
        box = h.find_window("#32770", "Font", 10000)
        assert box, "the font chooser did not open"
        for control, value in ((1136, face), (1137, style), (1138, size)):
            h.driver("cbselect", box, control, value, check=True)
        h.driver("click", box, 1, check=True)
        assert h.wait_until(lambda: not h.alive(box), 10), "the font chooser stayed open"


def message_box(caption, timeout=10.0):
    """(handle, text) of the message box with that caption, or (None, None)."""
    box = h.find_window("#32770", caption, int(timeout * 1000))
    if not box:
        return None, None
    return box, driver_text("gettext", box, 0xFFFF)  # the message box's text control


def answer(box):
    h.driver("click", box, 1)
    h.wait_until(lambda: not h.alive(box), 10)


def no_message_box(seconds=2.0):
    return h.find_window("#32770", "-", int(seconds * 1000)) is None


def wait_note_file(name, timeout=20):
    """The note's resources once the file exists and carries its table."""
    path = on_desktop(name)
    return h.wait_until(lambda: os.path.exists(path) and (note_resources(path) or None), timeout)


class OutputTest(unittest.TestCase):
    def setUp(self):
        clear_desktop()
        self.editors = []

    def tearDown(self):
        for editor in self.editors:
            editor.close()
        clear_desktop()

    def editor(self, name, ini=None, args=()):
        e = Editor(name, settings_ini() if ini is None else ini, args)
        self.editors.append(e)
        return e

    def test_output_writes_the_look_and_the_started_note_shows_it(self):
        e = self.editor("look")
        e.choose_color(1002, (255, 255, 0))
        e.choose_color(1003, (0, 0, 255))
        e.choose_font("IPAGothic", "Bold", "20")
        e.type("Buy milk")
        self.assertEqual(e.title(), "Tessark")
        self.assertIn("g", e.menu_flags(1010))
        e.key("F3")
        res = wait_note_file("Buy milk.exe")
        self.assertIsNotNone(res, "no note on the desktop")
        self.assertTrue(no_message_box(1))

        # The table is what the editor's saved settings and its client size give.
        ini = e.settings()
        self.assertEqual(ini["FONT/FACE_NAME"], "IPAGothic")
        self.assertEqual(ini["FONT/WEIGHT"], "700")
        self.assertEqual(res["entries"][:14], table_from_settings(ini, *e.client_size()))
        self.assertEqual(res["entries"][3], str(0x00FFFF))  # yellow as a COLORREF
        units = sum(len(text.encode("utf-16-le")) // 2 for text in res["entries"])
        self.assertEqual(len(res["table"]) // 2, 28 + 2 * units, "nothing after entry 13")

        # The icon: the default note icon, its black turned yellow and its
        # white the lighter shade (255, 255, 128); the rest as in the editor.
        self.assertEqual(res["group"], DEFAULT_GROUP)
        own = note_resources(TESSARK)
        self.assertEqual(len(res["icon2"]), 2 * 4144)
        palette = res["icon2"][80:96]
        self.assertEqual(palette, "00ffff00" + "80ffff00")
        self.assertEqual(res["icon2"][:80] + res["icon2"][96:], own["icon2"][:80] + own["icon2"][96:])
        self.assertEqual(res["icon1"], note_resources(NOTE_PROGRAM)["icon1"])

        # Title and menu follow the written note.
        self.assertEqual(e.title(), "Tessark - Buy milk.exe")
        self.assertNotIn("g", e.menu_flags(1010))
        self.assertNotIn("g", e.menu_flags(1033))
        self.assert_note_looks_like_preview(e, on_desktop("Buy milk.exe"))

    def assert_note_looks_like_preview(self, e, note_path):
        """Starts the note away from the editor and compares it, pixel by
        pixel, with the editor's client area (the preview)."""
        h.driver("activate", e.hwnd)
        h.xdotool("mousemove", 1000, 740)  # keep the caret out; park the cursor
        time.sleep(0.6)  # let the caret blink off
        ex, ey = (int(v) for v in h.driver("origin", e.hwnd)[1].split())
        width, height = e.client_size()
        h.xdotool("mousemove", ex + width + 40, ey + 40)
        note = h.start(note_path, cwd=h.desktop_dir())
        try:
            container = h.find_window("CONTAINER", "-", 20000)
            self.assertIsNotNone(container, "the note did not show")
            rect = h.window_rect(container)
            self.assertEqual((rect[4], rect[5]), (width, height), "note size differs from the preview")
            time.sleep(1.0)
            shot = h.screenshot("output-note-and-preview")
            differing = 0
            for y in range(height):
                for x in range(width):
                    a = shot.pixel(ex + x, ey + y)
                    b = shot.pixel(rect[0] + x, rect[1] + y)
                    if max(abs(a[k] - b[k]) for k in range(3)) > 3:
                        differing += 1
            # The caret may still show in the preview: a thin bar at most.
            self.assertLess(differing, 2 * height, f"{differing} pixels differ")
            yellow = shot.count((255, 255, 0), rect[0], rect[1], rect[0] + width, rect[1] + height, 3)
            blue = shot.count((0, 0, 255), rect[0], rect[1], rect[0] + width, rect[1] + height, 60)
            self.assertGreater(yellow, width * height // 2, "the note is not yellow")
            self.assertGreater(blue, 50, "the note shows no blue text")
            # A click closes the note.
            h.xdotool("mousemove", rect[0] + 5, rect[1] + 5, "click", 1)
            self.assertTrue(h.wait_gone(note, 20), "the note did not close on a click")
        finally:
            if note.poll() is None:
                note.kill()
                note.wait()

    def test_escape_confirmation_once_before_the_file_and_once_per_correction(self):
        e = self.editor("escape", settings_ini(**{"OPTION/ESCAPE_MSG": 1}))
        e.set_text("a/b:c")
        e.key("F3")
        box, text = message_box("確認")
        self.assertIsNotNone(box, "no confirmation")
        self.assertEqual(os.listdir(h.desktop_dir()), [], "written before the confirmation closed")
        # While the box is open every command is dropped: no colour chooser, no second output.
        e.command(1002)
        e.command(1000)
        self.assertIsNone(h.find_window("#32770", "Color", 1500), "a command ran during the output")
        self.assertEqual(text.splitlines()[0], "「\\」が「0」個、「/」が「1」個、「:」が「1」個、")
        self.assertEqual(text.splitlines()[3], "「改行」が「0」個、「,」が「0」個")
        answer(box)
        self.assertIsNotNone(wait_note_file("a,／b,：c.exe"))
        self.assertTrue(no_message_box(), "a second box after the output")
        self.assertEqual(e.title(), "Tessark - a,／b,：c.exe")

        # A correction forms the new name silently, then asks once.
        e.set_text("a/b:c\r\nd")
        e.key("F2")
        box, text = message_box("確認")
        self.assertIsNotNone(box)
        self.assertIn("「改行」が「1」個", text)
        answer(box)
        self.assertIsNotNone(wait_note_file("a,／b,：c,.d.exe"))
        self.assertTrue(no_message_box(), "the correction asked twice")
        self.assertFalse(os.path.exists(on_desktop("a,／b,：c.exe")), "the old name stayed")

        # With the option off nothing is asked.
        e.command(1011)
        e.set_text("x?y")
        e.key("F3")
        self.assertIsNotNone(wait_note_file("x,？y.exe"))
        self.assertTrue(no_message_box(1))

    def test_output_twice_replaces_silently(self):
        with open(on_desktop("Buy milk.exe"), "wb") as f:
            f.write(b"an older file of the same name")
        e = self.editor("twice")
        e.set_text("Buy milk")
        e.key("F3")
        first = wait_note_file("Buy milk.exe")
        self.assertIsNotNone(first, "the older file was not replaced by a note")
        self.assertTrue(no_message_box(1))
        e.choose_color(1002, (255, 0, 0))
        e.key("F3")
        red = h.wait_until(lambda: (note_resources(on_desktop("Buy milk.exe")) or {}).get(
            "entries", [None] * 4)[3] == "255", 20)
        self.assertTrue(red, "the second output did not replace the first")
        self.assertTrue(no_message_box(1))
        self.assertEqual(os.listdir(h.desktop_dir()), ["Buy milk.exe"])

    def test_f5_closes_after_a_success_and_not_after_a_failure(self):
        e = self.editor("quit")
        os.mkdir(on_desktop("Buy milk.exe"))  # a folder holds the name: creation fails
        e.set_text("Buy milk")
        e.key("F5")
        box, text = message_box("エラー")
        self.assertEqual(text, CREATE_FAILED)
        answer(box)
        time.sleep(1)
        self.assertTrue(h.alive(e.hwnd), "the editor closed after a failure")
        self.assertEqual(e.title(), "Tessark")
        self.assertIn("g", e.menu_flags(1033))
        os.rmdir(on_desktop("Buy milk.exe"))
        e.key("F5")
        self.assertTrue(h.wait_gone(e.proc, 20), "the editor stayed open after a success")
        res = note_resources(on_desktop("Buy milk.exe"))
        self.assertIsNotNone(res)
        self.assertEqual(res["entries"][9], "IPAGothic")

    def test_unwritable_desktop_changes_nothing(self):
        e = self.editor("unwritable")
        e.set_text("Buy milk")
        desk = h.desktop_dir()
        make_writable(desk, False)
        try:
            e.key("F3")
            box, text = message_box("エラー")
            self.assertEqual(text, CREATE_FAILED)
            answer(box)
            self.assertTrue(no_message_box(1), "more than one message")
        finally:
            make_writable(desk, True)
        self.assertEqual(os.listdir(desk), [])
        self.assertEqual(e.title(), "Tessark")
        self.assertIn("g", e.menu_flags(1010))
        # F2 and F4 still do nothing: there is no note to correct.
        e.key("F2")
        e.key("F4")
        self.assertTrue(no_message_box(1))
        self.assertEqual(os.listdir(desk), [])
        self.assertTrue(h.alive(e.hwnd))

    def test_name_longer_than_the_file_system_allows(self):
        e = self.editor("long")
        e.set_text("x" * 300)
        e.key("F3")
        box, text = message_box("エラー")
        self.assertEqual(text, CREATE_FAILED)
        answer(box)
        self.assertEqual(os.listdir(h.desktop_dir()), [])
        self.assertEqual(e.title(), "Tessark")

    def test_f2_and_f4_do_nothing_before_the_first_output(self):
        e = self.editor("nothing")
        e.type("Buy milk")
        e.key("F2")
        e.key("F4")
        e.command(1010)  # even when the greyed command is reached
        e.command(1033)
        self.assertTrue(no_message_box(2))
        self.assertEqual(os.listdir(h.desktop_dir()), [])
        self.assertTrue(h.alive(e.hwnd), "F4 closed the editor")
        self.assertEqual(e.title(), "Tessark")

    def test_correction_renames_and_rewrites(self):
        e = self.editor("correct")
        e.set_text("Buy milk")
        e.key("F3")
        self.assertIsNotNone(wait_note_file("Buy milk.exe"))
        e.set_text("Buy bread")
        e.choose_color(1002, (0, 128, 255))
        e.key("F2")
        res = wait_note_file("Buy bread.exe")
        self.assertIsNotNone(res)
        self.assertEqual(sorted(os.listdir(h.desktop_dir())), ["Buy bread.exe"])
        self.assertEqual(res["entries"][3], str(0 + 128 * 256 + 255 * 65536))
        self.assertEqual(res["icon2"][80:88], "ff800000")  # blue, green, red, reserved
        self.assertEqual(e.title(), "Tessark - Buy bread.exe")
        # F4 corrects in place and closes the editor.
        e.choose_color(1003, (255, 0, 0))
        e.key("F4")
        self.assertTrue(h.wait_gone(e.proc, 20))
        res = note_resources(on_desktop("Buy bread.exe"))
        self.assertEqual(res["entries"][4], "255")
        self.assertEqual(sorted(os.listdir(h.desktop_dir())), ["Buy bread.exe"])

    def test_correction_onto_a_taken_name_replaces_that_file(self):
        e = self.editor("taken")
        e.set_text("Buy milk")
        e.key("F3")
        self.assertIsNotNone(wait_note_file("Buy milk.exe"))
        with open(on_desktop("Buy bread.exe"), "wb") as f:
            f.write(b"someone else's file")
        e.set_text("Buy bread")
        e.key("F2")
        self.assertTrue(h.wait_until(lambda: note_resources(on_desktop("Buy bread.exe")), 20))
        # The rename failed, so the old note stays as it was.
        self.assertIsNotNone(note_resources(on_desktop("Buy milk.exe")))
        self.assertEqual(e.title(), "Tessark - Buy bread.exe")


if __name__ == "__main__":
    h.main()
