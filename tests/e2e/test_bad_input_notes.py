"""Notes with tables no editor wrote, reopened and started: entries that are
no numbers, negative and zero sizes, face names and paths longer than their
buffers, and files that are no notes at all. A file that cannot be a note
is refused with the open-failure message and changes nothing; an odd but
complete table is read by the usual decimal rules, cut where its buffers
end, and output again as a clean note; a note started from such a table
shows, answers the wheel and closes."""
import os
import shutil
import struct
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import test_note  # noqa: E402
from editor_support import windows_path  # noqa: E402
from test_bad_input_images import (BadInputCase, ICON_FAILED, IMAGE_FAILED, files_folder,  # noqa: E402
                                   message_box, shot_until)
from test_output import clear_desktop, note_resources, wait_note_file  # noqa: E402

OPEN_FAILED = "ファイルを開くのに失敗しました\n\n"
OPEN_TITLE = "訂正する付箋ファイルを開く"
WM_MOUSEWHEEL = 0x020A
# A table the editor would write: margin 12, 360 x 240, yellow on blue, and so on.
CLEAN = ["12", "360", "240", str(0x00FFFF), str(0xFF0000), "-20", "0", "700", "1", "IPAGothic", "0", "", "0", ""]


def table_bytes(entries):
    """A string block of the given entries: a unit count, then the units."""
    block = b""
    for text in entries:
        data = text.encode("utf-16-le")
        block += struct.pack("<H", len(data) // 2) + data
    return block


def note_with_table(folder, name, entries):
    """A copy of the note template whose string block 1 holds entries.
    Returns the Unix path."""
    exe = os.path.join(folder, name + ".exe")
    shutil.copyfile(test_note.TEMPLATE, exe)
    data = os.path.join(folder, name + ".table")
    with open(data, "wb") as f:
        f.write(table_bytes(entries))
    harness.driver("update_resource", harness.to_windows_path(exe), 6, 1, 0, harness.to_windows_path(data),
                   check=True)
    return exe


def with_entries(**changes):
    """CLEAN with entries replaced: e3="red" sets entry 3."""
    entries = list(CLEAN)
    for key, value in changes.items():
        entries[int(key[1:])] = value
    return entries


class BadNotes(BadInputCase):
    def reopen(self, e, path):
        """Reopens path through the open dialog, as a user picks a file."""
        e.command(1009)
        dialog = e.dialog(OPEN_TITLE)
        harness.driver("cbselect", dialog, 1136, "全て")  # any file, not only programs
        harness.driver("setinnertext", dialog, 1148, windows_path(path), check=True)
        e.press_and_wait_closed(dialog, 1)

    def state(self, e):
        e.wait_saved(quiet=0.3)
        return {"title": e.title(), "text": e.text(), "client": e.client_size(), "settings": e.settings_bytes(),
                "correction": "g" in e.menu()[0][1010][0]}

    def output(self, e, name, messages=()):
        """F3 with the text name; answers the expected messages; the note's resources."""
        harness.driver("settext", e.hwnd, 1, name, check=True)
        e.command(1000)
        for text in messages:
            self.assert_message(e.hwnd, text)
        res = wait_note_file(name + ".exe")
        self.assertIsNotNone(res, "no note was written")
        return res

    def test_files_that_cannot_be_notes_are_refused_and_change_nothing(self):
        folder = files_folder("not_notes")
        whole = note_with_table(folder, "whole", CLEAN)
        with open(whole, "rb") as f:
            note_bytes = f.read()
        cases = {
            "a required entry empty": note_with_table(folder, "entry 7 empty", with_entries(e7="")),
            "a table that ends after entry 4": note_with_table(folder, "five entries", CLEAN[:5]),
            "the face name empty": note_with_table(folder, "no face", with_entries(e9="")),
        }
        library = os.path.join(folder, "library.dll")  # a module, but without a table
        shutil.copyfile(os.path.join(harness.WIN_BUILD, "tests", "e2e", "menu_hook.dll"), library)
        cases["a library without a table"] = library
        for name, data in (("empty", b""), ("cut short", note_bytes[:4096]), ("MZ only", b"MZ" + bytes(300)),
                           ("text", b"Buy milk\r\n")):
            cases[name] = os.path.join(folder, name + ".exe")
            with open(cases[name], "wb") as f:
                f.write(data)
        e = self.editor("refused_notes", {"WINDOW": {"WIDTH": "420", "HEIGHT": "300"}})
        e.start()
        # Reopen a good note first: a refusal must keep what that reopen brought.
        self.reopen(e, whole)
        self.assertTrue(harness.wait_until(lambda: e.title() == "Tessark - whole.exe", 10))
        self.assert_no_message(e.hwnd, 1.0)
        harness.driver("settext", e.hwnd, 1, "typed since", check=True)
        before = self.state(e)
        self.assertEqual(before["client"], (360, 240))
        for case, path in cases.items():
            with self.subTest(case):
                self.reopen(e, path)
                self.assert_message(e.hwnd, OPEN_FAILED + windows_path(path))
                self.assert_running(e)
                self.assertEqual(self.state(e), before)

    def test_tables_with_odd_values_reopen_by_the_decimal_rules_and_output_clean(self):
        clear_desktop()
        folder = files_folder("odd_notes")
        e = self.editor("odd_notes", {"WINDOW": {"WIDTH": "420", "HEIGHT": "300"}})
        e.start()
        with self.subTest("a note narrower than the menu bar"):
            # The menu bar wraps onto more lines in a narrow window; the note
            # must keep its size through a reopen and an output all the same.
            narrow = note_with_table(folder, "narrow", with_entries(e1="240", e2="160"))
            self.reopen(e, narrow)
            self.assertTrue(harness.wait_until(lambda: e.title() == "Tessark - narrow.exe", 10))
            self.assertEqual(e.client_size(), (240, 160))
            res = self.output(e, "narrow again")
            self.assertEqual(res["entries"][1:3], ["240", "160"])
        with self.subTest("entries that are no numbers"):
            odd = note_with_table(folder, "words", with_entries(
                e0="abc", e1="400px", e2="  +250", e3="red", e4="0x00FF00", e5="--5", e6="12abc", e7="bold",
                e8="yes", e10="99999999999", e12="ff"))
            self.reopen(e, odd)
            self.assertTrue(harness.wait_until(lambda: e.title() == "Tessark - words.exe", 10))
            self.assert_no_message(e.hwnd, 1.0)
            self.assert_running(e)
            self.assertEqual(e.client_size(), (400, 250))
            saved = e.settings()
            self.assertEqual([saved["WINDOW"][k] for k in ("MARGIN", "COLOR_R", "COLOR_G", "COLOR_B", "IMG_T_R")],
                             ["0", "0", "0", "0", "0"])
            self.assertEqual([saved["FONT"][k] for k in ("HEIGHT", "WIDTH", "WEIGHT", "ITALIC")], ["0", "12", "0", "0"])
            self.assertEqual(saved["ACTION"]["AUTO_CLOSE"], "2147483647", "a number too large stops at the largest")
            res = self.output(e, "words again")
            self.assertEqual(res["entries"][:9], ["0", "400", "250", "0", "0", "0", "12", "0", "0"])
            self.assertEqual(res["entries"][10], "2147483647")
        with self.subTest("negative sizes and margin"):
            negative = note_with_table(folder, "negative", with_entries(e0="-20", e1="-300", e2="-200"))
            self.reopen(e, negative)
            self.assertTrue(harness.wait_until(lambda: e.title() == "Tessark - negative.exe", 10))
            self.assert_running(e)
            width, height = e.client_size()
            self.assertGreaterEqual(min(width, height), 0)
            self.assertEqual(e.setting("WINDOW", "MARGIN"), "-20")
            res = self.output(e, "negative again")
            self.assertEqual(res["entries"][:3], ["-20", str(width), str(height)],
                             "the note gets the client size the editor really has")
        with self.subTest("a zero-sized note"):
            flat = note_with_table(folder, "flat", with_entries(e1="0", e2="0"))
            self.reopen(e, flat)
            self.assertTrue(harness.wait_until(lambda: e.title() == "Tessark - flat.exe", 10))
            self.assert_running(e)
            width, height = e.client_size()
            res = self.output(e, "flat again")
            self.assertEqual(res["entries"][1:3], [str(width), str(height)])
        with self.subTest("a face name of 40 characters"):
            face = "F" * 9 + "ace" + "X" * 28
            long_face = note_with_table(folder, "long face", with_entries(e9=face))
            self.reopen(e, long_face)
            self.assertTrue(harness.wait_until(lambda: e.title() == "Tessark - long face.exe", 10))
            self.assert_no_message(e.hwnd, 1.0)
            self.assertEqual(e.settings()["FONT"]["FACE_NAME"], face[:31])
            res = self.output(e, "long face again")
            self.assertEqual(res["entries"][9], face[:31])
        with self.subTest("paths longer than their buffers"):
            image = "C:\\" + "\\".join(["p" * 60] * 25) + "\\picture.bmp"
            icon = "C:\\" + "\\".join(["i" * 60] * 25) + "\\icon.ico"
            self.assertGreater(min(len(image), len(icon)), 1500)
            long_paths = note_with_table(folder, "long paths", with_entries(e11=image, e13=icon))
            self.reopen(e, long_paths)
            # The picture (cut, so surely missing) cannot load; the reopen goes on.
            self.assert_message(e.hwnd, IMAGE_FAILED)
            self.assertTrue(harness.wait_until(lambda: e.title() == "Tessark - long paths.exe", 10))
            self.assertTrue(harness.wait_until(lambda: e.setting("ICON", "ENABLED") == "1"))
            saved = e.settings()
            self.assertEqual(saved["WINDOW"]["IMG_PATH"], image[:1023])
            self.assertEqual(saved["WINDOW"]["IMG_ENABLED"], "1")
            self.assertEqual(saved["ICON"]["PATH"], icon[:1023])
            self.assertEqual(e.class_background(), "solid FFFF00")
            # Two paths of 1023 units fit the table together, uncut.
            res = self.output(e, "long paths again", messages=(ICON_FAILED,))
            self.assertEqual(res["entries"][11], image[:1023])
            self.assertEqual(res["entries"][13], icon[:1023])
            self.assertEqual(res["entries"][3], str(0x00FFFF))
        self.assert_running(e)
        clear_desktop()

    def test_notes_from_odd_tables_show_answer_the_wheel_and_close(self):
        folder = files_folder("odd_started")
        with self.subTest("entries that are no numbers"):
            exe = note_with_table(folder, "words", with_entries(
                e0="abc", e1="400px", e2=" +250", e3="red", e4="blue", e10="6x"))
            note = test_note.RunningNote(exe, (200, 150))
            try:
                self.assertEqual(note.wait_rect((200, 150, 400, 250)), (200, 150, 400, 250))
                self.assertTrue(note.followed(0), "margin 'abc' is 0")
                shot = shot_until("bad_input_note_words",
                                            lambda i: i.count((0, 0, 0), 200, 150, 600, 400) > 400 * 250 * 0.8)
                self.assertGreater(shot.count((0, 0, 0), 200, 150, 600, 400), 400 * 250 * 0.8, "'red' reads as 0")
                # "6x" closes it after six seconds (slack for a loaded machine).
                self.assertTrue(note.gone(30), "the auto-close time '6x' did not close it")
            finally:
                note.close()
        for name, width, height in (("zero", "0", "0"), ("negative", "-300", "-200")):
            with self.subTest(f"{name} sizes and the wheel"):
                exe = note_with_table(folder, name, with_entries(e1=width, e2=height, e10="8"))
                note = test_note.RunningNote(exe, (300, 300))
                try:
                    harness.wait_until(lambda: note.rect() is not None, 10)
                    size = note.rect()[2:]
                    self.assertEqual(size, (0, 0), "a note without a positive size has none")
                    for wheel in (0x00780000, 0xFF880000, 0x00780000):
                        harness.driver("post", note.hwnd, WM_MOUSEWHEEL, wheel, (300 << 16) | 300, check=True)
                    self.assertEqual(test_note.window_text(note.hwnd), name)  # answered after the wheel
                    self.assertEqual(note.rect()[2:], size, "the wheel changed a note without size")
                    self.assertIsNone(message_box(0, "-", 0.5), "a note shows no message")
                    self.assertTrue(note.gone(30), "the note did not close itself")
                finally:
                    note.close()


if __name__ == "__main__":
    harness.main()
