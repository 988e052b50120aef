"""The files around the editor gone wrong: a settings file full of garbage,
empty or not text at all, an editor folder that cannot be written, note
paths at the length limits, and a desktop folder that is read-only or
missing. Each ends with the clear message or the silent fallback, the
editor still answering, and no note or setting lost."""
import codecs
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from editor_support import read_ini, windows_path, write_ini  # noqa: E402
from test_bad_input_images import BadInputCase, IMAGE_FAILED, files_folder, message_box  # noqa: E402
from test_bad_input_notes import CLEAN, note_with_table  # noqa: E402
from test_output import clear_desktop, note_resources, on_desktop, wait_note_file  # noqa: E402

WRITE_FAILED = "設定ファイルの書き込みに失敗しました\n\n"
CREATE_FAILED = "ファイルの作成に失敗しました"
NO_DESKTOP = "デスクトップフォルダの取得に失敗しました"
OPEN_FAILED = "ファイルを開くのに失敗しました\n\n"
DEFAULT_FACE = "ＭＳ ゴシック"
WM_CLOSE = 0x0010

LONG_IMAGE = "C:\\" + "\\".join(["p" * 60] * 33) + "\\sky.bmp"
LONG_ICON = "C:\\" + "\\".join(["i" * 60] * 25) + "\\memo.ico"
LONG_FACE = "IPAGothic" + "-" * 51
GARBAGE = {
    "WINDOW": {"MARGIN": "abc", "COLOR_R": "300", "COLOR_G": "-1", "COLOR_B": "blue", "IMG_ENABLED": "1",
               "IMG_PATH": LONG_IMAGE, "IMG_T_R": "zz", "IMG_T_G": "7", "IMG_T_B": "-250",
               "WIDTH": "500", "HEIGHT": "380"},
    "FONT": {"COLOR_R": "", "COLOR_G": "1e3", "COLOR_B": " 9", "HEIGHT": "tall", "WIDTH": "-7px",
             "WEIGHT": "heavy", "ITALIC": "maybe", "FACE_NAME": LONG_FACE},
    "ACTION": {"AUTO_CLOSE": "-1"},
    "ICON": {"ENABLED": "2", "PATH": LONG_ICON},
    "PALETTE": {"BG_COLOR_01_R": "zz", "BG_COLOR_16_B": "999", "FONT_COLOR_05_G": "-3"},
    "OPTION": {"ESCAPE_MSG": "yes"},
}
# What the editor makes of GARBAGE by its loading rules, as a save writes it.
CLEANED = {
    "WINDOW": {"MARGIN": "0", "COLOR_R": "44", "COLOR_G": "255", "COLOR_B": "0", "IMG_ENABLED": "1",
               "IMG_PATH": LONG_IMAGE[:1023], "IMG_T_R": "0", "IMG_T_G": "7", "IMG_T_B": "6"},
    "FONT": {"COLOR_R": "0", "COLOR_G": "1", "COLOR_B": "9", "HEIGHT": "0", "WIDTH": "-7", "WEIGHT": "400",
             "ITALIC": "0", "FACE_NAME": LONG_FACE[:31]},
    "ACTION": {"AUTO_CLOSE": "0"},
    "ICON": {"ENABLED": "2", "PATH": LONG_ICON[:1023]},
}


def lock(path, locked):
    """Makes a file or folder unwritable (or writable again) for the user that
    runs Wine; root writes through permissions, so for root it is made
    immutable instead."""
    if os.geteuid() == 0:
        subprocess.run(["chattr", "+i" if locked else "-i", path], check=True)
    elif os.path.isdir(path):
        os.chmod(path, 0o555 if locked else 0o755)
    else:
        os.chmod(path, 0o444 if locked else 0o644)


def long_note_resources(path):
    """note_resources of a note whose path is too long for the driver's
    loader: read from a copy with a short path."""
    copy = os.path.join(files_folder("copies"), "note.exe")
    shutil.copyfile(path, copy)
    return note_resources(copy)


def settings_text(path):
    """The settings file decoded as the editor wrote it: UTF-16 after its mark."""
    data = open(path, "rb").read()
    assert data[:2] == codecs.BOM_UTF16_LE, f"not a UTF-16 file: {data[:20]!r}"
    return data[2:].decode("utf-16-le")


class Launched:
    """The editor started with an exact command line, from a folder of its own."""

    def __init__(self, name, arguments):
        self.folder = files_folder(name)
        self.exe = os.path.join(self.folder, "Tessark.exe")
        shutil.copy(os.path.join(harness.WIN_BUILD, "editor", "Tessark.exe"), self.exe)
        write_ini(os.path.join(self.folder, harness.wine_user() + " Tessark.ini"),
                  {"WINDOW": {"WIDTH": "420", "HEIGHT": "300"}, "FONT": {"FACE_NAME": "IPAGothic"}})
        self.pid = harness.launch(f'"{harness.to_windows_path(self.exe)}" {arguments}')
        self.hwnd = harness.find_window("TESSARK_MAIN", "-", 30000, self.pid)
        assert self.hwnd, "the editor did not open"

    def close(self):
        if harness.alive(self.hwnd):
            harness.driver("post", self.hwnd, WM_CLOSE, 0, 0)
            if not harness.wait_until(lambda: not harness.alive(self.hwnd), 15):
                subprocess.run([harness.WINE, "taskkill", "/f", "/pid", str(self.pid)], capture_output=True)


class BadFiles(BadInputCase):
    def setUp(self):
        super().setUp()
        self.launched = []
        clear_desktop()

    def tearDown(self):
        for e in self.launched:
            e.close()
        super().tearDown()
        desk = harness.desktop_dir()
        if os.path.isfile(desk):
            os.remove(desk)
        os.makedirs(desk, exist_ok=True)
        clear_desktop()

    def launch(self, name, arguments):
        e = Launched(name, arguments)
        self.launched.append(e)
        return e

    def start_with_message(self, e, text):
        """Starts the editor, whose start-up shows one message first."""
        e.proc = harness.start(e.exe)
        e.hwnd = harness.find_window("TESSARK_MAIN", "-", 30000)
        self.assertIsNotNone(e.hwnd, "the editor did not open")
        self.assert_message(e.hwnd, text)
        self.assertTrue(harness.wait_until(lambda: e.edit_rect() is not None, 10))

    def test_settings_file_with_garbage_values_loads_by_the_rules_and_loses_no_key(self):
        e = self.editor("garbage_settings", GARBAGE)
        with open(e.settings_path, "ab") as f:  # lines no profile file should hold
            f.write("a line without a sign\r\n[UNCLOSED\r\n=no key\r\n".encode("utf-16-le"))
        # The picture's path, cut at 1023 units, names no file.
        self.start_with_message(e, IMAGE_FAILED)
        self.assert_running(e)
        self.assertEqual(e.class_background(), "solid 2CFF00", "R 300 keeps 44, G -1 gives 255, 'blue' 0")
        width, height = e.client_size()
        self.assertEqual(e.edit_rect(), (0, 0, width, height), "margin 'abc' reads as 0")
        self.assertNotIn("c", e.menu()[0][1011][0], "ESCAPE_MSG 'yes' is off")
        self.assertEqual(e.window_size(), (500, 380))
        # Starting wrote the window size, and lost no other key.
        kept = e.settings()
        for section, keys in GARBAGE.items():
            for key, value in keys.items():
                if key not in ("WIDTH", "HEIGHT"):
                    self.assertEqual(kept[section][key], value, f"{section} {key}")
        # A confirmed change writes every key as the editor loaded it.
        dialog = e.open_dialog(1006, "自動終了設定")
        self.assertEqual(e.field(dialog, 2001), "0", "AUTO_CLOSE -1 loads as 0")
        e.press_and_wait_closed(dialog, 1)
        self.assertTrue(harness.wait_until(lambda: e.setting("FONT", "FACE_NAME") == LONG_FACE[:31]))
        saved = e.settings()
        for section, keys in CLEANED.items():
            for key, value in keys.items():
                self.assertEqual(saved[section][key], value, f"{section} {key}")
        # Closing a colour chooser writes the palettes as loaded.
        chooser = e.open_dialog(1002, "-")
        e.press_and_wait_closed(chooser, 2)
        self.assertTrue(harness.wait_until(lambda: len(e.settings().get("PALETTE", {})) >= 96))
        palette = e.settings()["PALETTE"]
        self.assertEqual((palette["BG_COLOR_01_R"], palette["BG_COLOR_16_B"], palette["FONT_COLOR_05_G"]),
                         ("0", "231", "253"))
        self.assert_running(e)

    def test_empty_or_binary_settings_files_start_with_the_defaults(self):
        with self.subTest("an empty file"):
            e = self.editor("empty_settings")
            open(e.settings_path, "wb").close()
            e.start()
            self.assertEqual(e.class_background(), "solid FFFFFF")
            dialog = e.open_dialog(1005, "余白設定")
            e.set_field(dialog, 2001, "20")
            e.press_and_wait_closed(dialog, 1)
            self.assert_no_message(e.hwnd, 1.0)
            self.assertTrue(harness.wait_until(lambda: e.setting("ICON", "PATH") is not None))
            e.wait_saved()
            # Written as UTF-16, the default face survives on any code page.
            self.assertIn(f"FACE_NAME={DEFAULT_FACE}\r\n", settings_text(e.settings_path))
            e.close()
            e.start()
            self.assertEqual(e.edit_rect()[:2], (20, 20))
            e.close()
        with self.subTest("a file of binary bytes"):
            e = self.editor("binary_settings")
            with open(e.settings_path, "wb") as f:
                f.write(bytes(range(256)) * 8)
            e.start()
            self.assert_no_message(e.hwnd, 1.0)
            self.assert_running(e)
            self.assertEqual(e.class_background(), "solid FFFFFF")
            width, height = e.client_size()
            self.assertEqual(e.edit_rect(), (10, 10, width - 10, height - 10))

    def test_read_only_folder_reports_each_change_and_creates_nothing(self):
        e = self.editor("read_only_folder")
        lock(e.folder, True)
        try:
            e.start()
            self.assert_no_message(e.hwnd, 1.0)  # the window size fails silently
            self.assertFalse(os.path.exists(e.settings_path))
            dialog = e.open_dialog(1005, "余白設定")
            e.set_field(dialog, 2001, "30")
            e.press_and_wait_closed(dialog, 1)
            self.assert_message(e.hwnd, WRITE_FAILED + windows_path(e.settings_path))
            width, height = e.client_size()
            self.assertEqual(e.edit_rect(), (30, 30, width - 30, height - 30), "the margin applies all the same")
            # A style save reports the same failure; its name could not be written either.
            e.command(1021)
            name_dialog = e.dialog("スタイル名指定")
            e.set_field(name_dialog, 2001, "Memo")
            e.press_and_wait_closed(name_dialog, 1)
            self.assert_message(e.hwnd, WRITE_FAILED + windows_path(e.settings_path))
            self.assertEqual(e.style_labels()[0], "スタイル１(&1)")
            # The palettes and the escape option fail silently.
            chooser = e.open_dialog(1003, "-")
            e.press_and_wait_closed(chooser, 2)
            e.command(1011)
            self.assert_no_message(e.hwnd, 1.5)
            self.assertIn("c", e.menu()[0][1011][0], "the option still toggles for this run")
            self.assertEqual(sorted(os.listdir(e.folder)), ["Readme.txt", "Tessark.exe"])
            self.assert_running(e)
        finally:
            lock(e.folder, False)
        # Once the folder can be written, the next change creates the file.
        dialog = e.open_dialog(1005, "余白設定")
        e.press_and_wait_closed(dialog, 1)
        self.assert_no_message(e.hwnd, 1.0)
        self.assertTrue(harness.wait_until(lambda: e.setting("ICON", "ENABLED") == "0"))
        self.assertEqual(e.settings()["WINDOW"]["MARGIN"], "30")

    def test_note_paths_at_the_length_limits(self):
        e = self.editor("length_limits", {"WINDOW": {"WIDTH": "420", "HEIGHT": "300"},
                                          "FONT": {"FACE_NAME": "IPAGothic"}})
        e.start()
        with self.subTest("a name of 255 units with its extension"):
            longest = "x" * 251
            harness.driver("settext", e.hwnd, 1, longest, check=True)
            e.command(1000)
            self.assertTrue(harness.wait_until(lambda: e.title() == f"Tessark - {longest}.exe", 10))
            self.assert_no_message(e.hwnd, 1.0)
            res = long_note_resources(on_desktop(longest + ".exe"))
            self.assertEqual(res["entries"][9], "IPAGothic")
            written = open(on_desktop(longest + ".exe"), "rb").read()
            harness.driver("settext", e.hwnd, 1, longest + "x", check=True)
            e.command(1000)
            self.assert_message(e.hwnd, CREATE_FAILED)
            self.assertEqual(os.listdir(harness.desktop_dir()), [longest + ".exe"])
            self.assertEqual(open(on_desktop(longest + ".exe"), "rb").read(), written)
            self.assertEqual(e.title(), f"Tessark - {longest}.exe")
            self.assert_running(e)
            # Its path is longer than the loader takes as it is; it reopens all the same.
            desktop_note = "C:\\users\\" + harness.wine_user() + "\\Desktop\\" + longest + ".exe"
            self.assertGreater(len(desktop_note), 260)
            again = self.launch("longest_reopened", f'"{desktop_note}"')
            self.assertTrue(harness.wait_until(lambda: harness.driver("text", again.hwnd)[1] ==
                                               f"Tessark - {longest}.exe", 15), "the note did not reopen")
            self.assertEqual(harness.driver("gettext", again.hwnd, 1)[1], longest)
        with self.subTest("a note far beyond the usual path length"):
            folder = os.path.join(files_folder("deep"), *(["d" * 200] * 7))
            os.makedirs(folder)
            note = note_with_table(folder, "deep note", CLEAN)
            self.assertGreater(len(windows_path(note)), 1400)
            deep = self.launch("deep_editor", f'"{windows_path(note)}"')
            self.assertTrue(harness.wait_until(lambda: harness.driver("text", deep.hwnd)[1] ==
                                               "Tessark - deep note.exe", 15))
            self.assertEqual(harness.window_rect(deep.hwnd)[4:], (360, 240))
            # A correction moves it to the desktop under its new text.
            harness.driver("settext", deep.hwnd, 1, "moved up", check=True)
            harness.driver("post", deep.hwnd, 0x0111, 1010, 0, check=True)
            self.assertIsNotNone(wait_note_file("moved up.exe"))
            self.assertNotIn("deep note.exe", os.listdir(folder))
            self.assertEqual(note_resources(on_desktop("moved up.exe"))["entries"][:3], ["12", "360", "240"])
            deep.close()
        with self.subTest("a command line path longer than the message"):
            missing = "C:\\" + "\\".join(["m" * 100] * 30) + "\\gone.exe"
            launched = self.launch("long_argument", f'"{missing}"')
            box = message_box(launched.hwnd)
            self.assertIsNotNone(box)
            self.assertEqual(box["text"], (OPEN_FAILED + missing)[:1023], "the path is cut to fit the message")
            harness.driver("click", box["hwnd"], 1)
            self.assertTrue(harness.wait_until(lambda: harness.driver("responds", launched.hwnd)[0] == 0, 10))
            self.assertEqual(harness.driver("text", launched.hwnd)[1], "Tessark")

    def test_read_only_or_missing_desktop_keeps_every_note(self):
        e = self.editor("desktop", {"WINDOW": {"WIDTH": "420", "HEIGHT": "300"},
                                    "FONT": {"FACE_NAME": "IPAGothic"}})
        e.start()
        harness.driver("settext", e.hwnd, 1, "keep", check=True)
        e.command(1000)
        self.assertIsNotNone(wait_note_file("keep.exe"))
        kept = open(on_desktop("keep.exe"), "rb").read()
        desk = harness.desktop_dir()
        with self.subTest("a read-only note in a read-only desktop"):
            lock(on_desktop("keep.exe"), True)
            lock(desk, True)
            try:
                e.command(1000)
                self.assert_message(e.hwnd, CREATE_FAILED)
            finally:
                lock(desk, False)
                lock(on_desktop("keep.exe"), False)
            self.assertEqual(open(on_desktop("keep.exe"), "rb").read(), kept)
            self.assertEqual(e.title(), "Tessark - keep.exe")
        # A note to correct that lies outside the desktop.
        note = note_with_table(files_folder("desktop_elsewhere"), "elsewhere", CLEAN)
        original = open(note, "rb").read()
        corrector = self.launch("desktop_corrector", f'"{windows_path(note)}"').hwnd
        self.assertTrue(harness.wait_until(lambda: harness.driver("text", corrector)[1] == "Tessark - elsewhere.exe",
                                           15))
        for case, make_gone in (("a missing desktop", lambda: shutil.rmtree(desk)),
                                ("a file where the desktop was", lambda: (os.rmdir(desk), open(desk, "w").close()))):
            with self.subTest(case):
                make_gone()
                try:
                    harness.driver("settext", corrector, 1, "corrected", check=True)
                    for command in (1010, 1000, 1033, 1034):  # F2, F3, F4, F5
                        harness.driver("post", corrector, 0x0111, command, 0, check=True)
                        self.assert_message(corrector, NO_DESKTOP if case == "a missing desktop" else CREATE_FAILED)
                    self.assertTrue(responds(corrector), "a failure with the quit flag closed the editor")
                    self.assertEqual(open(note, "rb").read(), original, "the note to correct changed")
                    self.assertEqual(harness.driver("text", corrector)[1], "Tessark - elsewhere.exe")
                finally:
                    if os.path.isfile(desk):
                        os.remove(desk)
                    os.makedirs(desk, exist_ok=True)


def responds(hwnd):
    return harness.driver("responds", hwnd, 5000)[0] == 0


if __name__ == "__main__":
    harness.main()
