"""The nine styles: saving the current look under a name relabels the menu,
loading by menu or by Ctrl+digit restores the look and the window size and
makes it the start-up look, an empty slot gives the defaults at 400 x 300."""
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from editor_support import WHITE, Editor, close_to  # noqa: E402

LOOK = {
    "WINDOW": {"MARGIN": "30", "COLOR_R": "255", "COLOR_G": "200", "COLOR_B": "0", "IMG_ENABLED": "0",
               "IMG_PATH": r"C:\kept.bmp", "IMG_T_R": "9", "IMG_T_G": "8", "IMG_T_B": "7",
               "WIDTH": "520", "HEIGHT": "380"},
    "FONT": {"COLOR_R": "0", "COLOR_G": "0", "COLOR_B": "160", "HEIGHT": "-24", "WIDTH": "0", "WEIGHT": "700",
             "ITALIC": "0", "FACE_NAME": "IPAPGothic"},
    "ACTION": {"AUTO_CLOSE": "12"},
    "ICON": {"ENABLED": "1", "PATH": r"C:\memo.ico"},
}
STYLE_OF_LOOK = {"WINDOW_MARGIN": "30", "WINDOW_WIDTH": "520", "WINDOW_HEIGHT": "380", "WINDOW_COLOR_R": "255",
                 "WINDOW_COLOR_G": "200", "WINDOW_COLOR_B": "0", "WINDOW_IMG_ENABLED": "0",
                 "WINDOW_IMG_PATH": r"C:\kept.bmp", "WINDOW_IMG_T_R": "9", "WINDOW_IMG_T_G": "8",
                 "WINDOW_IMG_T_B": "7", "FONT_COLOR_R": "0", "FONT_COLOR_G": "0", "FONT_COLOR_B": "160",
                 "FONT_HEIGHT": "-24", "FONT_WIDTH": "0", "FONT_WEIGHT": "700", "FONT_ITALIC": "0",
                 "FONT_FACE_NAME": "IPAPGothic", "ACTION_AUTO_CLOSE": "12", "ICON_ENABLED": "1",
                 "ICON_PATH": r"C:\memo.ico"}
DEFAULT_LOOK = {"WINDOW": {"MARGIN": "10", "COLOR_R": "255", "COLOR_G": "255", "COLOR_B": "255", "IMG_ENABLED": "0",
                           "IMG_PATH": "", "IMG_T_R": "0", "IMG_T_G": "0", "IMG_T_B": "0"},
                "FONT": {"COLOR_R": "0", "COLOR_G": "0", "COLOR_B": "0", "HEIGHT": "30", "WIDTH": "0",
                         "WEIGHT": "400", "ITALIC": "0", "FACE_NAME": "ＭＳ ゴシック"},
                "ACTION": {"AUTO_CLOSE": "0"}, "ICON": {"ENABLED": "0", "PATH": ""}}


def label(slot, name=""):
    digit = chr(0xFF10 + slot)
    return f"スタイル{digit} - {name}(&{slot})" if name else f"スタイル{digit}(&{slot})"


class Styles(unittest.TestCase):
    def tearDown(self):
        self.editor.close()

    def save_style(self, slot, name):
        e = self.editor
        dialog = e.open_dialog(1020 + slot, "スタイル名指定")
        self.assertEqual(e.field(dialog, 2001), "", "the name always starts empty")
        e.window_picture("スタイル名指定", "editor_style_name_dialog")
        e.set_field(dialog, 2001, name)
        e.press_and_wait_closed(dialog, 1)
        e.wait_saved()

    def assert_main_sections(self, expected):
        written = self.editor.settings()
        for section, keys in expected.items():
            for key, value in keys.items():
                if key not in ("WIDTH", "HEIGHT"):
                    self.assertEqual(written[section][key], value, f"{section} {key}")

    def assert_look(self, margin, size, background, name):
        e = self.editor
        self.assertTrue(harness.wait_until(lambda: e.window_size() == size), f"outer size {size}")
        width, height = e.client_size()
        self.assertTrue(harness.wait_until(lambda: e.edit_rect() == (margin, margin, width - margin,
                                                                     height - margin)),
                        f"text box at margin {margin}: {e.edit_rect()}")
        shot, origin = e.screenshot(name)
        self.assertTrue(close_to(e.client_pixel(shot, origin, 3, 3), background))
        self.assertTrue(close_to(e.client_pixel(shot, origin, width - 3, height - 3), background))

    def test_save_relabels_and_loading_by_menu_and_ctrl_digit_restores(self):
        self.editor = e = Editor("styles", LOOK)
        e.start()
        self.save_style(9, "Memo")
        self.assertEqual(e.style_labels()[8], label(9, "Memo"))
        self.assertEqual(e.style_labels()[:8], [label(n) for n in range(1, 9)])
        # The relabelled menu, opened from the keyboard.
        e.activate()
        e.keys("alt+t", "Down")
        menu = harness.wait_until(lambda: e.popup_picture("editor_style_menu"), 10)
        self.assertIsNotNone(menu, "the templates menu drops down")
        self.assertGreater(menu.count((0, 0, 0), 0, 0, menu.width, menu.height, tolerance=60), 200,
                           "its nine labels are drawn")
        e.keys("Escape", "Escape")
        written = e.settings()["STYLE_9"]
        self.assertEqual(written, dict({"STYLE_NAME": "Memo"}, **STYLE_OF_LOOK))
        self.assertEqual(list(written), ["STYLE_NAME"] + list(STYLE_OF_LOOK), "keys in their order")

        # An empty slot loads the defaults at 400 x 300 and makes them the start-up look.
        e.command(1012)
        self.assert_look(10, (400, 300), WHITE, "editor_style_empty_slot")
        self.assert_main_sections(DEFAULT_LOOK)
        self.assertEqual(e.class_background(), "solid FFFFFF")

        # Ctrl+9 with the text box focused loads slot 9.
        e.click_into_edit()
        e.type_text("Styled")
        e.keys("ctrl+9")
        self.assert_look(30, (520, 380), (255, 200, 0), "editor_style_ctrl9")
        self.assert_main_sections(LOOK)
        self.assertEqual(e.text(), "Styled", "loading keeps the text")
        self.assertEqual(e.title(), "Tessark")
        shot, origin = e.screenshot("editor_style_ctrl9_text")
        self.assertGreater(e.count_in_client(shot, origin, (0, 0, 160), (30, 30, 300, 80), tolerance=30), 20,
                           "the style's text colour")

        # The menu command loads it as well, after another look was loaded.
        e.command(1012)
        self.assert_look(10, (400, 300), WHITE, "editor_style_back_to_empty")
        e.command(1020)
        self.assert_look(30, (520, 380), (255, 200, 0), "editor_style_menu_load")

        # The saved names label the menu at the next start, and the loaded look is the start-up look.
        e.close()
        e.start()
        self.assertEqual(e.style_labels()[8], label(9, "Memo"))
        self.assert_look(30, (520, 380), (255, 200, 0), "editor_style_restart")

    def test_empty_name_cancel_and_names_that_do_not_fit(self):
        self.editor = e = Editor("style_names")
        e.start()
        self.save_style(9, "Memo")
        self.save_style(9, "")
        self.assertEqual(e.style_labels()[8], label(9))
        self.assertEqual(e.settings()["STYLE_9"]["STYLE_NAME"], "", "the empty name is written")

        before = e.settings_bytes()
        dialog = e.open_dialog(1023, "スタイル名指定")
        e.set_field(dialog, 2001, "Never")
        e.press_and_wait_closed(dialog, 2)
        time.sleep(0.5)
        self.assertEqual(e.settings_bytes(), before, "Cancel writes nothing")
        self.assertEqual(e.style_labels()[2], label(3))

        self.save_style(2, "A&B")
        self.assertEqual(e.style_labels()[1], label(2, "A&B"), "an & is inserted unchanged")
        long_name = "長" * 1023
        self.save_style(1, long_name)
        first = e.style_labels()[0]
        self.assertTrue(first.startswith("スタイル１ - 長長長"))
        self.assertTrue(first.endswith("(&1)"), "a name too long for the label is cut, the mnemonic kept")
        self.assertEqual(len(first), 1023)
        self.assertEqual(e.settings()["STYLE_1"]["STYLE_NAME"], long_name, "the whole name is stored")

    def test_saved_style_round_trips_after_changes(self):
        self.editor = e = Editor("style_round_trip", LOOK)
        e.start()
        self.save_style(4, "Round")
        dialog = e.open_dialog(1005, "余白設定")
        e.set_field(dialog, 2001, "50")
        e.press_and_wait_closed(dialog, 1)
        harness.driver("setsize", e.hwnd, 610, 420, check=True)
        self.assertTrue(harness.wait_until(lambda: e.setting("WINDOW", "MARGIN") == "50"))
        e.command(1015)
        self.assert_look(30, (520, 380), (255, 200, 0), "editor_style_round_trip")
        self.assert_main_sections(LOOK)
        self.assertEqual(e.settings()["WINDOW"]["WIDTH"], "520", "the restored size is saved as the window size")


if __name__ == "__main__":
    harness.main()
