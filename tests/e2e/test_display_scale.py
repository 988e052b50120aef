"""Display scale: the same user steps at 96 DPI and at 144 DPI (Wine's
LogPixels in a copy of the prefix, with a server of its own) leave the same
settings file and the same note, and at 144 DPI the note shows one and a half
times its stored size, its text as tall in proportion and drawn sharp."""
import os
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402
from test_note import RunningNote, make_prefix_copy, screenshot  # noqa: E402
from test_output import Editor, clear_desktop, on_desktop, settings_ini, wait_note_file  # noqa: E402

FIRST_TEXT, FIRST_NOTE = "Il", "Il.exe"
CORRECTED_TEXT, CORRECTED_NOTE = "Ill", "Ill.exe"
# At 96 DPI narrow enough to wrap the menu bar onto a second line (an outer
# size of 300 x 350 here).
RESIZED_CLIENT = (292, 286)
OPEN_TITLE = "訂正する付箋ファイルを開く"


def set_log_pixels(prefix, dpi):
    """Gives the prefix's user the display scale of dpi (the prefix's server
    must not run yet: it keeps the registry in memory)."""
    reg = os.path.join(prefix, "user.reg")
    with open(reg, encoding="utf-8") as f:
        text = f.read()
    section = text.index("[Control Panel\\\\Desktop]")
    after_time = text.index("\n", text.index("\n", section) + 1) + 1
    with open(reg, "w", encoding="utf-8") as f:
        f.write(text[:after_time] + '"LogPixels"=dword:%08x\n' % dpi + text[after_time:])


def scaled(size, dpi):
    return tuple((v * dpi + 48) // 96 for v in size)


def dark_box(image, rect):
    """Bounding box of the dark (text) pixels inside rect (left, top, width, height)."""
    left, top, width, height = rect
    return image.bounding_box((0, 0, 0), left + 2, top + 2, left + width - 2, top + height - 2, tolerance=127)


def strokes(image, box):
    """The vertical strokes crossed by the middle row of the text: for each,
    (solid pixels of the text colour, blended pixels around them)."""
    y = (box[1] + box[3]) // 2
    runs, solid, blended = [], 0, 0
    for x in range(box[0] - 2, box[2] + 3):
        level = max(image.pixel(x, y))
        if level < 40:
            solid += 1
        elif level < 215:
            blended += 1
        elif solid or blended:
            runs.append((solid, blended))
            solid, blended = 0, 0
    return runs


class DisplayScaleTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.shared = os.environ["WINEPREFIX"]
        cls.prefix = os.path.join(h.WIN_BUILD, "wine_144_dpi")
        make_prefix_copy(cls.shared, cls.prefix)
        set_log_pixels(cls.prefix, 144)
        # One server for the copy, as for the shared prefix.
        subprocess.run(["wineserver", "-p"], env={**os.environ, "WINEPREFIX": cls.prefix}, check=True)

    @classmethod
    def tearDownClass(cls):
        os.environ["WINEPREFIX"] = cls.prefix
        subprocess.run(["wineserver", "-k"], check=False)  # this prefix's server only
        os.environ["WINEPREFIX"] = cls.shared
        shutil.rmtree(cls.prefix, ignore_errors=True)

    def tearDown(self):
        os.environ["WINEPREFIX"] = self.shared
        clear_desktop()

    def resize_client(self, e, client):
        """Drags the editor to a client size, as a user would at that scale:
        a narrower window can wrap its menu bar, so the frame is measured again."""
        def resized():
            left, top, right, bottom, width, height = h.window_rect(e.hwnd)
            if (width, height) == client:
                return True
            h.driver("setsize", e.hwnd, right - left - width + client[0], bottom - top - height + client[1])
            return False

        self.assertTrue(h.wait_until(resized, 10, interval=0.3), e.client_size())

    def session(self, dpi):
        """Chooses a font, outputs a note, resizes the editor, reopens the note
        and corrects it, then starts it. Returns what was stored and seen."""
        os.environ["WINEPREFIX"] = self.shared if dpi == 96 else self.prefix
        clear_desktop()
        seen = {}
        e = Editor(f"display_scale_{dpi}", settings_ini(**{"WINDOW/WIDTH": 400, "WINDOW/HEIGHT": 300}))
        try:
            e.choose_font("IPAGothic", "Regular", "20")
            self.assertTrue(h.wait_until(lambda: e.settings().get("FONT/HEIGHT") != "30", 10), "no font chosen")
            e.command(1004)
            box = h.find_window("#32770", "Font", 10000)
            seen["chooser size"] = h.driver("gettext", box, 1138, check=True)[1].strip()
            h.driver("click", box, 2, check=True)
            self.assertTrue(h.wait_until(lambda: not h.alive(box), 10))

            e.set_text(FIRST_TEXT)
            seen["client"] = e.client_size()
            e.command(1005)
            dialog = h.find_window("#32770", "余白設定", 10000)
            seen["margin dialog"] = h.window_rect(dialog)[4:]
            time.sleep(0.4)  # the dialog's first paint
            h.screenshot(f"display_scale_editor_{dpi}")
            h.window_picture("余白設定", f"display_scale_margin_dialog_{dpi}")
            h.driver("click", dialog, 2, check=True)
            self.assertTrue(h.wait_until(lambda: not h.alive(dialog), 10))
            e.key("F3")
            seen["note"] = wait_note_file(FIRST_NOTE)["entries"]

            self.resize_client(e, scaled(RESIZED_CLIENT, dpi))
            # Width and height are two writes: both change from 400 x 300.
            h.wait_until(lambda: e.settings()["WINDOW/WIDTH"] != "400" and e.settings()["WINDOW/HEIGHT"] != "300", 10)
            seen["resized"] = e.settings()

            e.key("ctrl+o")
            box = h.find_window("#32770", OPEN_TITLE, 10000)
            self.assertIsNotNone(box, "no open dialog")
            windows_desktop = "C:\\users\\" + h.wine_user() + "\\Desktop\\"
            h.driver("setinnertext", box, 1148, windows_desktop + FIRST_NOTE, check=True)
            h.driver("click", box, 1, check=True)
            self.assertTrue(h.wait_until(lambda: e.title() == "Tessark - " + FIRST_NOTE, 10), e.title())
            seen["reopened client"] = e.client_size()
            e.set_text(CORRECTED_TEXT)
            e.key("F2")
            seen["corrected"] = wait_note_file(CORRECTED_NOTE)["entries"]
        finally:
            e.close()
        with open(e.ini_path, "rb") as f:
            seen["settings file"] = f.read()

        note = RunningNote(on_desktop(CORRECTED_NOTE), (100, 100))
        try:
            seen["rect"] = h.window_rect(note.hwnd)
            box = [None]

            def text_drawn():
                image = screenshot(f"display_scale_note_{dpi}")
                box[0] = dark_box(image, note.rect())
                return image if box[0] else None

            image = h.wait_until(text_drawn, 15, interval=0.3)
            self.assertIsNotNone(image, "the note shows no text")
            seen["text height"] = box[0][3] - box[0][1] + 1
            seen["strokes"] = strokes(image, box[0])
        finally:
            note.close()
        return seen

    def test_same_steps_store_the_same_at_144_dpi_and_the_note_shows_half_as_large_again(self):
        at_96 = self.session(96)
        at_144 = self.session(144)
        self.assertEqual(at_144["note"], at_96["note"])
        self.assertEqual(at_144["resized"], at_96["resized"])
        self.assertEqual(at_144["settings file"], at_96["settings file"])
        # The frame at 100 % depends on the fonts the prefix has (392 x 254
        # for 400 x 300 here); the note takes the client size seen at 100 %.
        client = at_96["client"]
        self.assertEqual(at_96["note"][1:3], [str(v) for v in client], "the note is the preview's size")
        self.assertEqual(at_144["client"], scaled(client, 144), "the editor's client area at 150 %")
        for seen in (at_96, at_144):
            self.assertEqual(seen["note"][5], "-27", "20 points")
            self.assertEqual(seen["corrected"], seen["note"], "reopening and correcting changes no stored value")
            self.assertEqual(seen["chooser size"], "20", "the chooser opens at the chosen point size")
        self.assertEqual(at_96["reopened client"], client)
        # A dialog grows with its font, which rounds: about half again.
        for small, large in zip(at_96["margin dialog"], at_144["margin dialog"]):
            self.assertTrue(1.3 <= large / small <= 1.7, (at_96["margin dialog"], at_144["margin dialog"]))
        self.assertEqual(at_144["reopened client"], scaled(client, 144))

        left, top, right, bottom, width, height = at_144["rect"]
        self.assertEqual((right - left, bottom - top, width, height), scaled(client, 144) * 2,
                         "the note's window and client area at 150 %")
        self.assertLessEqual(abs(at_144["text height"] - 1.5 * at_96["text height"]), 2,
                             (at_96["text height"], at_144["text height"]))
        # Each stroke of "Ill" is a solid core of the text colour with at most
        # one blended pixel either side, as text drawn at 144 DPI is; a 96-DPI
        # picture stretched by half again would blur every edge.
        self.assertEqual(len(at_144["strokes"]), 3, at_144["strokes"])
        for solid, blended in at_144["strokes"]:
            self.assertGreaterEqual(solid, 2, at_144["strokes"])
            self.assertLessEqual(blended, 2, at_144["strokes"])


if __name__ == "__main__":
    h.main()
