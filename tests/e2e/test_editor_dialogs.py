"""The settings dialogs and the About box, driven as a user would: each shows
the current values, keeps them only on OK, changes nothing on Cancel; the
up-down ranges, the background image dialog's enabling, the file choosers,
the About link's colours, and a settings file that cannot be written."""
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from editor_support import (WHITE, Editor, make_read_only, make_writable, windows_path,  # noqa: E402
                            write_bmp)

IMAGE_CONTROLS = (2005, 2004, 2006, 2007, 2008, 2009, 2010, 2011)
BLUE, RED = (0, 0, 255), (255, 0, 0)


class SettingsDialogs(unittest.TestCase):
    def tearDown(self):
        self.editor.close()

    def test_margin_dialog_cancel_keeps_and_ok_moves_the_text_and_saves(self):
        self.editor = e = Editor("margin")
        e.start()
        e.click_into_edit()
        e.type_text("MMMM")
        dialog = e.open_dialog(1005, "余白設定")
        self.assertEqual(e.field(dialog, 2001), "10")
        self.assertEqual(e.updown(dialog, 2002), (10, 0, 32767))
        e.window_picture("余白設定", "editor_margin_dialog")
        e.set_field(dialog, 2001, "60")
        e.press_and_wait_closed(dialog, 2)
        width, height = e.client_size()
        self.assertEqual(e.edit_rect(), (10, 10, width - 10, height - 10), "Cancel leaves the text box in place")
        self.assertNotIn("MARGIN", e.settings()["WINDOW"], "Cancel writes nothing")

        dialog = e.open_dialog(1005, "余白設定")
        self.assertEqual(e.field(dialog, 2001), "10", "the dialog shows the current margin, not the cancelled one")
        e.set_field(dialog, 2001, "60")
        e.press_and_wait_closed(dialog, 1)
        self.assertTrue(harness.wait_until(lambda: e.edit_rect() == (60, 60, width - 60, height - 60)))
        self.assertEqual(e.settings()["WINDOW"]["MARGIN"], "60")
        self.assertEqual(e.settings()["FONT"]["FACE_NAME"], "ＭＳ ゴシック", "OK saves every setting at once")
        shot, origin = e.screenshot("editor_margin_60")
        self.assertEqual(e.count_in_client(shot, origin, (0, 0, 0), (0, 0, 60, 60), tolerance=60), 0,
                         "the text's old place is repainted")
        self.assertGreater(e.count_in_client(shot, origin, (0, 0, 0), (60, 60, 400, 120), tolerance=60), 20,
                           "the text shows at the new margin")
        self.assertEqual(e.text(), "MMMM")

    def test_auto_close_dialog_range_ok_and_cancel(self):
        self.editor = e = Editor("auto_close")
        e.start()
        dialog = e.open_dialog(1006, "自動終了設定")
        self.assertEqual(e.field(dialog, 2001), "0")
        self.assertEqual(e.updown(dialog, 2002), (0, 0, 32767))
        e.window_picture("自動終了設定", "editor_auto_close_dialog")
        e.set_field(dialog, 2001, "15")
        e.press_and_wait_closed(dialog, 1)
        self.assertTrue(harness.wait_until(lambda: e.setting("ACTION", "AUTO_CLOSE") == "15"))
        before = e.settings_bytes()
        dialog = e.open_dialog(1006, "自動終了設定")
        self.assertEqual(e.field(dialog, 2001), "15")
        e.set_field(dialog, 2001, "99")
        harness.driver("post", dialog, 0x0010, 0, 0)  # the close box is a Cancel
        self.assertTrue(harness.wait_until(lambda: not harness.alive(dialog)))
        time.sleep(0.5)
        self.assertEqual(e.settings_bytes(), before)
        dialog = e.open_dialog(1006, "自動終了設定")
        self.assertEqual(e.field(dialog, 2001), "15")
        e.set_field(dialog, 2001, "0")
        e.press_and_wait_closed(dialog, 1)
        self.assertTrue(harness.wait_until(lambda: e.setting("ACTION", "AUTO_CLOSE") == "0"),
                        "0, never closing, is accepted")

    def test_background_image_dialog_enabling_storing_and_file_chooser(self):
        self.editor = e = Editor("image_dialog")
        pictures = os.path.join(e.folder, "pictures")
        os.makedirs(pictures)
        picture = os.path.join(pictures, "plain.bmp")
        write_bmp(picture, [[(10, 20, 30)]])
        e.start()
        dialog = e.open_dialog(1030, "背景画像設定")
        self.assertFalse(e.checked(dialog, 2003))
        self.assertEqual([e.enabled(dialog, c) for c in IMAGE_CONTROLS], [False] * 8)
        for updown in (2009, 2010, 2011):
            self.assertEqual(e.updown(dialog, updown), (0, 0, 255))
        e.press(dialog, 2003)
        self.assertTrue(harness.wait_until(lambda: all(e.enabled(dialog, c) for c in IMAGE_CONTROLS)),
                        "checking the box enables the path, the button and the six colour controls")
        e.window_picture("背景画像設定", "editor_image_dialog")
        # The file chooser puts the chosen path into the field, nothing more:
        # the editor's current directory stays where it was, so the picture's
        # folder is not held in use.
        directory = e.inside()["current_directory"]
        e.press(dialog, 2004)
        chooser = e.dialog("背景画像を選択")
        e.press_and_wait_closed(chooser, 2)
        self.assertEqual(e.field(dialog, 2005), "", "a cancelled chooser leaves the field")
        e.press(dialog, 2004)
        chooser = e.dialog("背景画像を選択")
        # Into the picture's folder first, then the picture, as a user goes.
        e.set_field(chooser, 1148, windows_path(pictures))
        for attempt in range(5):  # a press while the chooser sets itself up can be lost
            e.press(chooser, 1)
            if harness.wait_until(lambda: (1137, "ComboBox", True, "pictures") in e.children(chooser), 3):
                break
        else:
            self.fail("the chooser did not go into the folder")
        e.set_field(chooser, 1148, "plain.bmp")
        e.press_and_wait_closed(chooser, 1)
        self.assertEqual(e.field(dialog, 2005), windows_path(picture))
        self.assertNotEqual(directory.rstrip("\\").lower(), windows_path(pictures).lower())
        self.assertEqual(e.inside()["current_directory"], directory, "the chooser changed the current directory")
        self.assertEqual(e.settings().get("WINDOW", {}).get("IMG_PATH"), None, "nothing is stored before OK")
        # A path pasted from Explorer's "Copy as path" comes with quotes.
        e.set_field(dialog, 2005, f' "{windows_path(picture)}" ')
        e.set_field(dialog, 2006, "255")
        e.set_field(dialog, 2007, "0")
        e.set_field(dialog, 2008, "0")
        e.press(dialog, 2003)
        self.assertTrue(harness.wait_until(lambda: not any(e.enabled(dialog, c) for c in IMAGE_CONTROLS)))
        e.press_and_wait_closed(dialog, 1)
        self.assertTrue(harness.wait_until(lambda: "IMG_T_R" in e.settings().get("WINDOW", {})))
        window = e.settings()["WINDOW"]
        self.assertEqual((window["IMG_ENABLED"], window["IMG_PATH"]), ("0", windows_path(picture)),
                         "OK while unchecked still stores the path")
        self.assertEqual((window["IMG_T_R"], window["IMG_T_G"], window["IMG_T_B"]), ("255", "0", "0"))
        # Shown again as stored; a Cancel after changes keeps them.
        dialog = e.open_dialog(1030, "背景画像設定")
        self.assertFalse(e.checked(dialog, 2003))
        self.assertEqual(e.field(dialog, 2005), windows_path(picture))
        self.assertEqual([e.updown(dialog, u)[0] for u in (2009, 2010, 2011)], [255, 0, 0])
        before = e.settings_bytes()
        e.press(dialog, 2003)
        e.set_field(dialog, 2005, r"C:\elsewhere.bmp")
        e.press_and_wait_closed(dialog, 2)
        time.sleep(0.5)
        self.assertEqual(e.settings_bytes(), before)

    def test_icon_template_dialog(self):
        self.editor = e = Editor("icon_dialog", {"ICON": {"ENABLED": "0", "PATH": r"C:\old.ico"}})
        e.start()
        dialog = e.open_dialog(1031, "アイコンテンプレート設定")
        self.assertFalse(e.checked(dialog, 2003))
        self.assertEqual(e.field(dialog, 2001), r"C:\old.ico")
        self.assertEqual((e.enabled(dialog, 2001), e.enabled(dialog, 2004)), (False, False))
        e.press(dialog, 2003)
        self.assertTrue(harness.wait_until(lambda: e.enabled(dialog, 2001) and e.enabled(dialog, 2004)))
        e.window_picture("アイコンテンプレート設定", "editor_icon_template_dialog")
        e.press(dialog, 2004)
        chooser = e.dialog("アイコンテンプレートを選択")
        self.assertIn("Icon (*.ico)", [text for cid, cls, vis, text in e.children(chooser) if cid == 1136])
        e.press_and_wait_closed(chooser, 2)
        e.set_field(dialog, 2001, '\t"C:\\new.ico"  ')  # as pasted from Explorer's "Copy as path"
        e.press_and_wait_closed(dialog, 1)
        self.assertTrue(harness.wait_until(lambda: e.setting("ICON", "ENABLED") == "1"))
        self.assertEqual(e.settings()["ICON"]["PATH"], r"C:\new.ico")
        self.assertIn("MARGIN", e.settings()["WINDOW"], "OK saves every setting")
        before = e.settings_bytes()
        dialog = e.open_dialog(1031, "アイコンテンプレート設定")
        self.assertTrue(e.checked(dialog, 2003))
        self.assertEqual(e.field(dialog, 2001), r"C:\new.ico")
        e.press(dialog, 2003)
        self.assertTrue(harness.wait_until(lambda: not e.enabled(dialog, 2001) and not e.enabled(dialog, 2004)))
        e.set_field(dialog, 2001, r"C:\other.ico")
        e.press_and_wait_closed(dialog, 2)
        time.sleep(0.5)
        self.assertEqual(e.settings_bytes(), before, "Cancel stores nothing")

    def test_about_box_link_turns_red_under_the_pointer_and_ignores_escape(self):
        self.editor = e = Editor("about")
        e.start()
        harness.xdotool("mousemove", 1020, 760)  # the pointer starts away from the box
        dialog = e.open_dialog(1008, "バージョン情報")
        texts = [(cid, text) for cid, cls, vis, text in e.children(dialog)]
        self.assertIn((2000, "URL : https://tessark.example/"), texts)
        self.assertIn((-1, "Tessark|Version 1.00"), texts)
        left, top, right, bottom, sx, sy = (int(v) for v in harness.driver("childrect", dialog, 2000,
                                                                           check=True)[1].split())
        link = (left, top, right, bottom)

        def link_pixels(name):
            picture = e.window_picture("バージョン情報", name)
            return (picture.count(BLUE, *link, tolerance=40), picture.count(RED, *link, tolerance=40),
                    picture.bounding_box(RED, *link, tolerance=40), picture)

        blue, red, _, _ = link_pixels("editor_about_link_blue")
        self.assertGreater(blue, 30)
        self.assertEqual(red, 0)
        harness.xdotool("mousemove", sx + (right - left) // 2, sy + (bottom - top) // 2)
        harness.xdotool("mousemove", sx + (right - left) // 2 + 2, sy + (bottom - top) // 2)
        self.assertTrue(harness.wait_until(lambda: link_pixels("editor_about_link_red")[1] > 30, 10),
                        "the link turns red under the pointer")
        blue, red, box, picture = link_pixels("editor_about_link_red")
        self.assertEqual(blue, 0)
        # An underline is a red row as wide as the text; glyph rows are sparse.
        widest = max(picture.count(RED, box[0], y, box[2] + 1, y + 1, tolerance=40) for y in range(box[1], box[3] + 1))
        self.assertGreater(widest, (box[2] - box[0]) * 0.9, "the red link is underlined")
        harness.xdotool("mousemove", sx + (right - left) // 2, sy - 25)  # onto the line above the link
        self.assertTrue(harness.wait_until(lambda: link_pixels("editor_about_link_left")[0] > 30, 10),
                        "moving off turns it blue again")
        # Escape leaves the box open; Enter (the OK button) closes it.
        harness.driver("activate", dialog)
        e.keys("Escape")
        time.sleep(0.5)
        self.assertTrue(harness.alive(dialog), "Escape does not close the About box")
        e.keys("Return")
        self.assertTrue(harness.wait_until(lambda: not harness.alive(dialog), 10))

    def test_read_only_settings_file_reports_its_full_path_and_stays_unchanged(self):
        self.editor = e = Editor("read_only", {"WINDOW": {"MARGIN": "10", "WIDTH": "500", "HEIGHT": "350"}})
        e.start()
        before = e.settings_bytes()
        if not make_read_only(e.settings_path):
            self.skipTest("this machine cannot make a file unwritable for root")
        try:
            dialog = e.open_dialog(1005, "余白設定")
            e.set_field(dialog, 2001, "30")
            e.press_and_wait_closed(dialog, 1)
            box = e.dialog("エラー")
            e.window_picture("エラー", "editor_write_failure")
            self.assertEqual(e.message_text(box),
                             "設定ファイルの書き込みに失敗しました\n\n" + windows_path(e.settings_path))
            e.press_and_wait_closed(box, 1)
            width, height = e.client_size()
            self.assertEqual(e.edit_rect(), (30, 30, width - 30, height - 30), "the margin applies all the same")
            # Closing a colour chooser and resizing fail silently.
            chooser = e.open_dialog(1003, "-")
            e.press_and_wait_closed(chooser, 2)
            harness.driver("setsize", e.hwnd, 480, 330, check=True)
            self.assertTrue(e.no_dialog(2000), "no message for palettes or size")
            self.assertEqual(e.settings_bytes(), before)
        finally:
            make_writable(e.settings_path)


if __name__ == "__main__":
    harness.main()
