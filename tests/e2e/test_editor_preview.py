"""The editor as a live preview: the colour and font choosers reach the
window and the settings file, colour mode and background image mode look as
the note will, and in image mode the picture is repainted under changed text
and under a selection that goes away."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from editor_support import WHITE, Editor, close_to, windows_path, write_bmp  # noqa: E402

RED, GREEN, BLUE, BLACK, YELLOW = (255, 0, 0), (0, 255, 0), (0, 0, 255), (0, 0, 0), (255, 255, 0)
# Wine's colour chooser: the R, G, B fields, "Add to Custom Colors", "Define Custom Colors >>".
RED_FIELD, GREEN_FIELD, BLUE_FIELD, ADD_CUSTOM, DEFINE_CUSTOM = 706, 707, 708, 712, 719
# Wine's font chooser: face and size boxes.
FACE_BOX, SIZE_BOX = 1136, 1138


def set_chooser_colour(editor, chooser, rgb):
    for field, value in zip((RED_FIELD, GREEN_FIELD, BLUE_FIELD), rgb):
        editor.set_field(chooser, field, str(value))


def choose_colour(editor, command, rgb):
    chooser = editor.open_dialog(command, "-")
    set_chooser_colour(editor, chooser, rgb)
    editor.press_and_wait_closed(chooser, 1)


def quarters(editor, name):
    """The colours at the centres of the four quarters of the client area."""
    shot, origin = editor.screenshot(name)
    width, height = editor.client_size()
    return [editor.client_pixel(shot, origin, x * width // 4, y * height // 4) for y in (1, 3) for x in (1, 3)]


def foreign_pixels(editor, shot, origin, rect, allowed):
    """Pixels in rect that are neither one of the allowed colours nor a blend
    of black with one of them (anti-aliased text)."""
    left, top, right, bottom = rect
    return sum(1 for y in range(origin[1] + top, origin[1] + bottom) for x in range(origin[0] + left, origin[0] + right)
               if not any(on_black_line(shot.pixel(x, y), c) for c in allowed))


def on_black_line(p, c):
    """True when p lies, within a small tolerance, between black and c."""
    t = max(p) / (max(c) or 1)
    return all(abs(p[k] - c[k] * t) <= 12 for k in range(3))


class Preview(unittest.TestCase):
    def tearDown(self):
        self.editor.close()

    def test_colour_choosers_basic_form_palettes_and_preview(self):
        self.editor = e = Editor("colours")
        e.start()
        chooser = e.open_dialog(1002, "-")
        visible = {cid: vis for cid, cls, vis, text in e.children(chooser)}
        self.assertFalse(visible[RED_FIELD], "the chooser opens in its basic form")
        self.assertEqual(e.field(chooser, RED_FIELD), "255", "it starts at the current background colour")
        # A custom colour added in a cancelled chooser is kept; the colour is not.
        e.press(chooser, DEFINE_CUSTOM)
        self.assertTrue(harness.wait_until(lambda: dict((c, v) for c, _, v, _ in e.children(chooser))[RED_FIELD]))
        set_chooser_colour(e, chooser, (10, 200, 30))
        e.press(chooser, ADD_CUSTOM)
        e.press_and_wait_closed(chooser, 2)
        self.assertTrue(harness.wait_until(lambda: "PALETTE" in e.settings()))
        palette = e.settings()["PALETTE"]
        self.assertEqual(len(palette), 96)
        self.assertEqual((palette["BG_COLOR_01_R"], palette["BG_COLOR_01_G"], palette["BG_COLOR_01_B"]),
                         ("10", "200", "30"))
        self.assertEqual(palette["BG_COLOR_02_R"], "255")
        self.assertNotIn("COLOR_R", e.settings()["WINDOW"], "a cancelled chooser leaves the colour")
        self.assertEqual(e.class_background(), "solid FFFFFF")

        choose_colour(e, 1002, (0, 128, 0))
        self.assertTrue(harness.wait_until(lambda: e.setting("WINDOW", "COLOR_G") == "128"))
        self.assertEqual((e.settings()["WINDOW"]["COLOR_R"], e.settings()["WINDOW"]["COLOR_B"]), ("0", "0"))
        self.assertEqual(e.class_background(), "solid 008000")
        width, height = e.client_size()
        shot, origin = e.screenshot("editor_green_background")
        self.assertEqual(e.count_in_client(shot, origin, (0, 128, 0), (0, 0, width, height)), width * height,
                         "margin and text box both show the new colour")

        # Choosing the colour already set saves again all the same.
        os.remove(e.settings_path)
        choose_colour(e, 1002, (0, 128, 0))
        self.assertTrue(harness.wait_until(lambda: e.setting("WINDOW", "COLOR_G") == "128"))

        chooser = e.open_dialog(1003, "-")
        self.assertEqual(e.field(chooser, RED_FIELD), "0", "the text chooser starts at the text colour")
        set_chooser_colour(e, chooser, (200, 0, 0))
        e.press_and_wait_closed(chooser, 1)
        self.assertTrue(harness.wait_until(lambda: e.setting("FONT", "COLOR_R") == "200"))
        self.assertEqual(len(e.settings()["PALETTE"]), 96)
        e.click_into_edit()
        e.type_text("HHHH")
        shot, origin = e.screenshot("editor_red_text")
        self.assertGreater(e.count_in_client(shot, origin, (200, 0, 0), (10, 10, 300, 60), tolerance=10), 20)

    def test_font_chooser_cancel_keeps_and_ok_reaches_preview_and_file(self):
        self.editor = e = Editor("font")
        e.start()
        e.click_into_edit()
        e.type_text("HHHH")
        width, _ = e.client_size()

        def text_height(name):
            # The first letter only: the caret stands after the last one.
            shot, origin = e.screenshot(name)
            box = shot.bounding_box(BLACK, origin[0] + 10, origin[1] + 10, origin[0] + 22, origin[1] + 150,
                                    tolerance=80)
            return box[3] - box[1] + 1

        before = text_height("editor_font_before")
        chooser = e.open_dialog(1004, "-")
        self.assertFalse([cid for cid, cls, vis, text in e.children(chooser) if cid == 1041 and vis],
                         "the chooser offers no effects")
        harness.driver("cbselect", chooser, SIZE_BOX, "72", check=True)
        e.press_and_wait_closed(chooser, 2)
        self.assertNotIn("FONT", e.settings(), "Cancel changes nothing")
        self.assertEqual(text_height("editor_font_cancelled"), before)

        chooser = e.open_dialog(1004, "-")
        harness.driver("cbselect", chooser, FACE_BOX, "IPAPGothic", check=True)
        harness.driver("cbselect", chooser, SIZE_BOX, "36", check=True)
        e.press_and_wait_closed(chooser, 1)
        self.assertTrue(harness.wait_until(lambda: e.setting("FONT", "FACE_NAME") == "IPAPGothic"))
        font = e.settings()["FONT"]
        self.assertEqual((font["HEIGHT"], font["WIDTH"], font["WEIGHT"], font["ITALIC"]), ("-48", "0", "400", "0"),
                         "36 points on a 96 dpi screen is a character height of 48")
        after = text_height("editor_font_after")
        self.assertGreater(after, before * 1.3, "the preview uses the chosen size")

    def test_image_mode_shows_the_picture_and_repaints_it_under_the_text(self):
        self.editor = e = Editor("image_mode")
        picture = os.path.join(e.folder, "quarters.bmp")
        write_bmp(picture, [[RED, BLUE], [GREEN, BLACK]])
        e.start()
        dialog = e.open_dialog(1030, "背景画像設定")
        e.press(dialog, 2003)
        e.set_field(dialog, 2005, windows_path(picture))
        e.press_and_wait_closed(dialog, 1)
        self.assertTrue(harness.wait_until(lambda: e.class_background() == "null"), "image mode")
        self.assertEqual(quarters(e, "editor_image_mode"), [RED, BLUE, GREEN, WHITE],
                         "stretched over the client area, black replaced by the background colour")
        self.assertEqual(e.settings()["WINDOW"]["IMG_ENABLED"], "1")

        text_area = (10, 10, 260, 60)
        past_caret = (16, 10, 260, 60)  # the caret blinks at the start of the line
        e.click_into_edit()
        e.type_text("WWWW")
        shot, origin = e.screenshot("editor_image_text")
        self.assertGreater(e.count_in_client(shot, origin, BLACK, text_area, tolerance=60), 30)
        self.assertTrue(close_to(e.client_pixel(shot, origin, 5, 5), RED), "the picture shows in the margin")
        e.keys("BackSpace", "BackSpace", "BackSpace", "BackSpace")
        shot, origin = e.screenshot("editor_image_text_deleted")
        self.assertEqual(e.count_in_client(shot, origin, RED, past_caret), 244 * 50,
                         "deleted text leaves no trace on the picture")

        e.type_text("WWWW")
        e.keys("shift+Home")
        shot, origin = e.screenshot("editor_image_selected")
        self.assertGreater(foreign_pixels(e, shot, origin, text_area, [RED]), 50, "the selection is highlighted")
        e.keys("Home")
        shot, origin = e.screenshot("editor_image_unselected")
        self.assertEqual(foreign_pixels(e, shot, origin, past_caret, [RED]), 0,
                         "the picture is repainted where the highlight was")
        self.assertGreater(e.count_in_client(shot, origin, BLACK, text_area, tolerance=60), 30)

        # A new background colour prepares the picture again.
        choose_colour(e, 1002, YELLOW)
        self.assertTrue(harness.wait_until(lambda: e.setting("WINDOW", "COLOR_B") == "0"))
        self.assertEqual(quarters(e, "editor_image_yellow"), [RED, BLUE, GREEN, YELLOW])
        dialog = e.open_dialog(1030, "背景画像設定")
        for field, value in ((2006, 0), (2007, 0), (2008, 255)):
            e.set_field(dialog, field, str(value))
        e.press_and_wait_closed(dialog, 1)
        self.assertTrue(harness.wait_until(lambda: e.setting("WINDOW", "IMG_T_B") == "255"))
        self.assertEqual(quarters(e, "editor_image_blue_transparent"), [RED, YELLOW, GREEN, BLACK],
                         "now blue is the transparent colour and black shows as it is")
        dialog = e.open_dialog(1030, "背景画像設定")
        e.press(dialog, 2003)
        e.press_and_wait_closed(dialog, 1)
        self.assertTrue(harness.wait_until(lambda: e.class_background() == "solid FFFF00"), "colour mode again")
        self.assertEqual(quarters(e, "editor_image_disabled"), [YELLOW] * 4)

    def test_image_that_cannot_load_reports_and_stays_in_colour_mode(self):
        self.editor = e = Editor("image_missing")
        e.start()
        dialog = e.open_dialog(1030, "背景画像設定")
        e.press(dialog, 2003)
        e.set_field(dialog, 2005, windows_path(os.path.join(e.folder, "no such picture.bmp")))
        e.press_and_wait_closed(dialog, 1)
        box = e.dialog("エラー")
        self.assertEqual(e.message_text(box), "背景画像用BMPオブジェクトの作成に失敗しました")
        e.press_and_wait_closed(box, 1)
        self.assertEqual(e.class_background(), "solid FFFFFF")
        self.assertEqual(quarters(e, "editor_image_missing"), [WHITE] * 4)
        self.assertTrue(harness.wait_until(lambda: e.setting("WINDOW", "IMG_ENABLED") == "1"),
                        "the flag and the path are kept and saved")
        self.assertTrue(e.settings()["WINDOW"]["IMG_PATH"].endswith("no such picture.bmp"))


if __name__ == "__main__":
    harness.main()
