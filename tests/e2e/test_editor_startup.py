"""The editor's start-up, window and menu: the first start without a settings
file, a start from a hand-written settings file, the size bookkeeping, the
escape option, the help commands and quitting."""
import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from editor_support import RUNS, WHITE, Editor, close_to, windows_path, write_bmp  # noqa: E402

HAND_WRITTEN = {
    "WINDOW": {"MARGIN": "25", "COLOR_R": "0", "COLOR_G": "128", "COLOR_B": "255", "IMG_ENABLED": "0",
               "IMG_PATH": r"C:\pictures\sky.bmp", "IMG_T_R": "1", "IMG_T_G": "2", "IMG_T_B": "3",
               "WIDTH": "520", "HEIGHT": "390"},
    "FONT": {"COLOR_R": "200", "COLOR_G": "0", "COLOR_B": "0", "HEIGHT": "-20", "WIDTH": "7", "WEIGHT": "700",
             "ITALIC": "1", "FACE_NAME": "IPAPGothic"},
    "ACTION": {"AUTO_CLOSE": "42"},
    "ICON": {"ENABLED": "1", "PATH": r"C:\icons\memo.ico"},
    "PALETTE": {},
    "OPTION": {"ESCAPE_MSG": "1"},
}
for i in range(1, 17):
    for c, v in zip("RGB", (i, 100 + i, 200 + i)):
        HAND_WRITTEN["PALETTE"][f"BG_COLOR_{i:02d}_{c}"] = str(v)
        HAND_WRITTEN["PALETTE"][f"FONT_COLOR_{i:02d}_{c}"] = str(255 - v)

MAIN_KEYS = {"WINDOW": ["MARGIN", "COLOR_R", "COLOR_G", "COLOR_B", "IMG_ENABLED", "IMG_PATH", "IMG_T_R", "IMG_T_G",
                        "IMG_T_B"],
             "FONT": ["COLOR_R", "COLOR_G", "COLOR_B", "HEIGHT", "WIDTH", "WEIGHT", "ITALIC", "FACE_NAME"],
             "ACTION": ["AUTO_CLOSE"], "ICON": ["ENABLED", "PATH"]}


class EditorStartup(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # A fresh prefix here may lack the system's .txt association that F1 relies on.
        subprocess.run([harness.WINE, "reg", "add", r"HKCR\.txt", "/ve", "/d", "txtfile", "/f"], capture_output=True)

    def tearDown(self):
        self.editor.close()

    def test_first_start_shows_defaults_and_writes_only_the_window_size(self):
        self.editor = e = Editor("first_start")
        e.start()
        self.assertEqual(e.title(), "Tessark")
        items, popups, background = e.menu()
        self.assertEqual([t for d, t in popups if d == 0],
                         ["ファイル(&F)", "付箋(&U)", "テンプレート(&T)", "オプション(&O)", "ヘルプ(&H)"])
        self.assertIn("g", items[1010][0])
        self.assertIn("g", items[1033][0])
        for enabled in (1000, 1001, 1009, 1034, 1002, 1005, 1030, 1007, 1008, 1032):
            self.assertNotIn("g", items[enabled][0], enabled)
        self.assertNotIn("c", items[1011][0], "the escape option starts off")
        self.assertEqual(e.style_labels(), [f"スタイル{chr(0xFF10 + n)}(&{n})" for n in range(1, 10)])
        self.assertEqual(background, "solid FFFFFF")
        # The edit control fills the client area less the default margin of 10.
        width, height = e.client_size()
        self.assertEqual(e.edit_rect(), (10, 10, width - 10, height - 10))
        # Starting writes the window size and nothing else.
        written = e.settings()
        self.assertEqual(list(written), ["WINDOW"])
        self.assertEqual(sorted(written["WINDOW"]), ["HEIGHT", "WIDTH"])
        self.assertEqual((int(written["WINDOW"]["WIDTH"]), int(written["WINDOW"]["HEIGHT"])), e.window_size())
        shot, origin = e.screenshot("editor_first_start")
        self.assertEqual(e.count_in_client(shot, origin, WHITE, (0, 0, width, height)), width * height,
                         "the whole client area shows the white default background")

    def test_hand_written_settings_are_honoured_key_by_key(self):
        self.editor = e = Editor("hand_written", HAND_WRITTEN)
        e.start()
        self.assertEqual(e.window_size(), (520, 390))
        width, height = e.client_size()
        self.assertEqual(e.edit_rect(), (25, 25, width - 25, height - 25))
        items, _, background = e.menu()
        self.assertIn("c", items[1011][0], "ESCAPE_MSG=1 shows the check mark")
        self.assertEqual(background, "solid 0080FF")
        e.click_into_edit()
        e.type_text("HHHH")
        shot, origin = e.screenshot("editor_hand_written")
        self.assertTrue(close_to(e.client_pixel(shot, origin, 5, 5), (0, 128, 255)), "margin in the background colour")
        self.assertTrue(close_to(e.client_pixel(shot, origin, width // 2, height - 40), (0, 128, 255)),
                        "the empty part of the text box in the background colour")
        self.assertGreater(e.count_in_client(shot, origin, (200, 0, 0), (25, 25, 300, 80), tolerance=8), 20,
                           "the typed text is drawn in the text colour")

        # The file is removed; the next confirmed change rewrites every key from
        # what the editor loaded, which proves each key was read.
        os.remove(e.settings_path)
        dialog = e.open_dialog(1006, "自動終了設定")
        self.assertEqual(e.field(dialog, 2001), "42")
        e.press_and_wait_closed(dialog, 1)
        self.assertTrue(harness.wait_until(lambda: "ICON" in e.settings()))
        written = e.settings()
        for section, keys in MAIN_KEYS.items():
            for key in keys:
                self.assertEqual(written[section][key], HAND_WRITTEN[section][key], f"{section} {key}")
        # Closing a colour chooser, even cancelled, writes the loaded palettes.
        chooser = e.open_dialog(1002, "-")
        e.press_and_wait_closed(chooser, 2)
        self.assertTrue(harness.wait_until(lambda: len(e.settings().get("PALETTE", {})) == 96))
        self.assertEqual(e.settings()["PALETTE"], HAND_WRITTEN["PALETTE"])

    def test_background_image_enabled_in_the_file_shows_at_start(self):
        picture = os.path.join(RUNS, "image_at_start", "quarters.bmp")
        self.editor = e = Editor("image_at_start", {
            "WINDOW": {"IMG_ENABLED": "1", "IMG_PATH": windows_path(picture), "COLOR_R": "255", "COLOR_G": "255",
                       "COLOR_B": "0", "WIDTH": "400", "HEIGHT": "300"}})
        write_bmp(picture, [[(255, 0, 0), (0, 0, 255)], [(0, 255, 0), (0, 0, 0)]])
        e.start()
        self.assertEqual(e.class_background(), "null")
        width, height = e.client_size()
        shot, origin = e.screenshot("editor_image_at_start")
        quarter = lambda x, y: e.client_pixel(shot, origin, x * width // 4, y * height // 4)  # noqa: E731
        self.assertEqual(quarter(1, 1), (255, 0, 0))
        self.assertEqual(quarter(3, 1), (0, 0, 255))
        self.assertEqual(quarter(1, 3), (0, 255, 0))
        self.assertEqual(quarter(3, 3), (255, 255, 0), "black, the transparent colour, shows the background")

    def test_size_is_saved_when_restored_only(self):
        self.editor = e = Editor("sizes")
        e.start()
        harness.driver("setsize", e.hwnd, 450, 333, check=True)
        self.assertTrue(harness.wait_until(lambda: e.setting("WINDOW", "WIDTH") == "450"))
        self.assertEqual(e.settings()["WINDOW"]["HEIGHT"], "333")
        width, height = e.client_size()
        self.assertEqual(e.edit_rect(), (10, 10, width - 10, height - 10), "the edit control follows the size")
        harness.driver("show", e.hwnd, "min", check=True)
        time.sleep(1.0)
        self.assertEqual((e.settings()["WINDOW"]["WIDTH"], e.settings()["WINDOW"]["HEIGHT"]), ("450", "333"),
                         "minimising writes nothing")
        os.remove(e.settings_path)
        harness.driver("show", e.hwnd, "restore", check=True)
        self.assertTrue(harness.wait_until(lambda: e.setting("WINDOW", "WIDTH") == "450"),
                        "restoring writes the size again")

    def test_escape_option_toggles_check_mark_and_stored_value(self):
        self.editor = e = Editor("escape_option")
        e.start()
        e.command(1011)
        self.assertTrue(harness.wait_until(lambda: "c" in e.menu()[0][1011][0]))
        self.assertEqual(e.settings()["OPTION"]["ESCAPE_MSG"], "1")
        e.command(1011)
        self.assertTrue(harness.wait_until(lambda: "c" not in e.menu()[0][1011][0]))
        self.assertEqual(e.settings()["OPTION"]["ESCAPE_MSG"], "0")
        self.assertNotIn("MARGIN", e.settings()["WINDOW"], "the option writes only its own key")

    def test_f1_opens_the_readme_and_quit_closes_without_asking(self):
        self.editor = e = Editor("help_and_quit")
        e.start()
        e.activate()
        e.keys("F1")
        viewer = harness.find_window("-", "Readme", timeout_ms=20000)
        self.assertIsNotNone(viewer, "F1 opens Readme.txt in the associated program")
        harness.driver("post", viewer, 0x0010, 0, 0)
        e.click_into_edit()
        e.type_text("unsaved words")
        e.command(1001)
        self.assertTrue(harness.wait_gone(e.proc, 15), "the quit command closes the editor")
        self.assertEqual(e.proc.returncode, 0)
        self.assertTrue(e.no_dialog(), "nothing asks before closing")


if __name__ == "__main__":
    harness.main()
