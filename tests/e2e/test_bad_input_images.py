"""Broken pictures, as a user might pick them: background images cut short,
claiming sizes whose pixels cannot be held, or no bitmaps at all, in the
editor's preview and in a started note; icon templates of every broken
kind at output. Each ends with the editor's message and its fallback (the
background colour, the default note icon), the editor still answering, and
nothing lost.

The helpers at the top are shared by the other bad-input test files."""
import os
import shutil
import struct
import subprocess
import sys
import time
import unittest
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from editor_support import Editor, windows_path, write_bmp  # noqa: E402
import test_note  # noqa: E402
from test_output import DEFAULT_GROUP, clear_desktop, note_resources, on_desktop, wait_note_file  # noqa: E402

FILES = os.path.join(harness.WIN_BUILD, "e2e_bad_input")
IMAGE_FAILED = "背景画像用BMPオブジェクトの作成に失敗しました"
ICON_FAILED = "アイコンファイルの読み込みに失敗しました"
WM_CLOSE = 0x0010


# --- shared steps ----------------------------------------------------------------
def message_box(owner, caption="エラー", timeout=10.0):
    """{"hwnd", "owner", "buttons", "text"} of the message box with exactly
    that caption owned by owner (any owner for 0), or None."""
    rc, out = harness.driver("msgbox", caption, owner, int(timeout * 1000), timeout=timeout + 30)
    if rc != 0:
        return None
    # The driver's stdout is in text mode: every LF arrived as CR LF.
    head, _, text = out.replace("\r\n", "\n").partition("\ntext ")
    box = {"text": text}
    for line in head.splitlines():
        key, _, value = line.partition(" ")
        box[key] = [int(v) for v in value.split()] if key == "buttons" else int(value)
    return box


def answer(box):
    """Presses OK until the box is gone."""
    for attempt in range(5):
        harness.driver("click", box["hwnd"], 1)
        if harness.wait_until(lambda: not harness.alive(box["hwnd"]), 3):
            return
    raise AssertionError("the message box did not close")


def responds(hwnd):
    return harness.driver("responds", hwnd, 5000, timeout=60)[0] == 0


class BadInputCase(unittest.TestCase):
    """Checks shared by the bad-input tests; holds no tests itself."""

    def setUp(self):
        self.editors = []

    def tearDown(self):
        for e in self.editors:
            e.close()

    def editor(self, name, settings=None):
        e = Editor(name, settings)
        self.editors.append(e)
        return e

    def assert_message(self, owner, text, caption="エラー"):
        """Exactly one message box with that caption and text, owned by owner,
        with an OK button alone; answers it."""
        box = message_box(owner, caption)
        self.assertIsNotNone(box, f"no message {text!r}")
        self.assertEqual(box["owner"], owner, "the box is not owned by the editor's window")
        self.assertEqual(box["buttons"], [1], "a message box with OK alone")
        self.assertEqual(box["text"], text)
        answer(box)
        self.assert_no_message(owner, 1.0)

    def assert_no_message(self, owner, seconds=1.5):
        box = message_box(owner, "-", seconds)
        self.assertIsNone(box, f"an unexpected message: {box and box['text']!r}")

    def assert_running(self, e):
        """The editor's window is there and answers."""
        self.assertIsNone(e.proc.poll(), "the editor ended")
        self.assertTrue(responds(e.hwnd), "the editor does not answer")

    def set_image(self, e, path):
        """The background image dialog: enabled, path, OK."""
        dialog = e.open_dialog(1030, "背景画像設定")
        if not e.checked(dialog, 2003):
            e.press(dialog, 2003)
            self.assertTrue(harness.wait_until(lambda: e.checked(dialog, 2003), 5))
        e.set_field(dialog, 2005, path)
        e.press_and_wait_closed(dialog, 1)

    def set_icon_template(self, e, path, enabled=True):
        dialog = e.open_dialog(1031, "アイコンテンプレート設定")
        if e.checked(dialog, 2003) != enabled:
            e.press(dialog, 2003)
            self.assertTrue(harness.wait_until(lambda: e.checked(dialog, 2003) == enabled, 5))
        e.set_field(dialog, 2001, path)
        e.press_and_wait_closed(dialog, 1)


def screenshot(name):
    """The whole screen as an Image, saved as SHOTS/name.png; xwd is asked
    again when a window goes away under it."""
    for attempt in range(3):
        xwd = subprocess.run(["xwd", "-root", "-silent"], capture_output=True)
        if xwd.returncode == 0:
            break
        print("xwd:", xwd.stderr.decode(errors="replace").strip(), file=sys.stderr)
        time.sleep(0.3)
    ppm = subprocess.run(["/usr/bin/convert", "xwd:-", "ppm:-"], input=xwd.stdout, capture_output=True,
                         check=True).stdout
    subprocess.run(["/usr/bin/convert", "ppm:-", os.path.join(harness.SHOTS, name + ".png")], input=ppm, check=True)
    return harness.Image(ppm)


def shot_until(name, check, timeout=15):
    """Screenshots until check(image) holds; returns the last image."""
    last = [None]

    def attempt():
        last[0] = screenshot(name)
        return check(last[0])

    harness.wait_until(attempt, timeout, interval=0.3)
    return last[0]


def files_folder(name):
    folder = os.path.join(FILES, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    return folder


# --- broken bitmaps --------------------------------------------------------------------
def bmp_bytes(width, height, bits=24, pixels=None, compression=0, header_size=40, colours_used=0,
              image_size=0, palette=b""):
    """A .bmp file; pixels default to as many bytes as the size needs."""
    stride = ((width * bits + 31) // 32) * 4 if width > 0 else 0
    if pixels is None:
        pixels = b"\x80" * (stride * abs(height))
    info = struct.pack("<IiiHHIIiiII", header_size, width, height, 1, bits, compression, image_size, 0, 0,
                       colours_used, 0)
    info = info[:header_size] if header_size < 40 else info + bytes(header_size - 40)
    offset = 14 + len(info) + len(palette)
    return struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + info + palette + pixels


def broken_bitmaps():
    """{case: file bytes} of pictures that no preview can show."""
    whole = bmp_bytes(64, 64)
    return {
        "cut short in its pixels": whole[:len(whole) // 2],
        "headers alone": whole[:54],
        "a huge picture claimed by a small file": bmp_bytes(30000, 30000, pixels=b"\x11" * 1000),
        # 50000 x 50000 costs a run-length file two bytes; its 32-bit pixel
        # buffer would take 10 GB and cannot be allocated.
        "pixels that cannot be allocated": bmp_bytes(50000, 50000, 8, pixels=b"\x00\x01", compression=1,
                                                     image_size=2, palette=bytes(1024)),
        "no width": bmp_bytes(0, 64, pixels=b""),
        "a negative width": bmp_bytes(-64, 64, pixels=b"\x11" * 12288),
        "seven bits per pixel": bmp_bytes(64, 64, 7, pixels=b"\x11" * 4096),
        "no information header": bmp_bytes(64, 64, header_size=0, pixels=b"\x11" * 12288),
        "an empty file": b"",
        "a text file": b"Buy milk\r\n",
    }


# --- broken icon templates ------------------------------------------------------------
def icon_dib(width=32, height=32, bits=4, header_size=40, colours_used=0, palette=None):
    """An icon image: header (height doubled), palette, colour and mask rows."""
    colours = colours_used or (1 << bits if bits <= 8 else 0)
    if palette is None:
        grey = b"".join(bytes((v, v, v, 0)) for v in [0] + [17 * i for i in range(1, 15)] + [255])
        palette = (grey * ((colours + 15) // 16))[:4 * colours]
    header = struct.pack("<IiiHHIIiiII", header_size, width, height * 2, 1, bits, 0, 0, 0, 0, colours_used, 0)
    header += bytes(max(0, header_size - 40))
    colour = bytes((i * 7) & 0xFF for i in range(((width * bits + 31) // 32) * 4 * height))
    return header + palette + colour + bytes(((width + 31) // 32) * 4 * height)


def ico_bytes(image, width=32, height=32, colours=16, bits=4, count=1, offset=22):
    entry = struct.pack("<BBBBHHII", width, height, colours, 0, 1, bits, len(image), offset)
    return struct.pack("<HHH", 0, 1, count) + entry + image


def png_bytes(width=32, height=32):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + bytes(width * 4) for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def broken_icon_templates():
    """{case: file bytes} of icon templates that cannot be used. The first
    five load as icons on the platform, so only the composer's own checks
    stand between them and a read past the image."""
    good = ico_bytes(icon_dib())
    return {
        "256 pixels wide (width byte 0)": ico_bytes(icon_dib(256, 256), width=0, height=0),
        "height byte 0": ico_bytes(icon_dib(), height=0),
        "entry and header disagree on the depth": ico_bytes(icon_dib(), bits=8),
        "a PNG image": ico_bytes(png_bytes(), colours=0, bits=32),
        "more colours than the file holds": ico_bytes(icon_dib(32, 32, 1), colours=255, bits=1),
        "a 108-byte image header": ico_bytes(icon_dib(header_size=108)),
        "an image offset past the end": ico_bytes(icon_dib(), offset=5000),
        "cut short inside the image": good[:22 + 40 + 64 + 100],
        "a palette past the image": ico_bytes(icon_dib(colours_used=100000, palette=b"")),
        "no directory entry": ico_bytes(icon_dib(), count=0),
        "shorter than its directory": good[:10],
        "an empty file": b"",
        "a bitmap": bmp_bytes(32, 32),
    }


class BrokenPictures(BadInputCase):
    def test_preview_reports_each_broken_background_image_and_keeps_its_colour(self):
        folder = files_folder("images")
        e = self.editor("bad_images", {"WINDOW": {"COLOR_R": "0", "COLOR_G": "128", "COLOR_B": "128",
                                                  "WIDTH": "420", "HEIGHT": "300"}})
        e.start()
        good = os.path.join(folder, "good.bmp")
        write_bmp(good, [[(255, 0, 0), (0, 0, 255)], [(0, 255, 0), (255, 255, 0)]])
        for number, (case, data) in enumerate(broken_bitmaps().items()):
            with self.subTest(case):
                path = os.path.join(folder, f"broken{number}.bmp")
                with open(path, "wb") as f:
                    f.write(data)
                self.set_image(e, windows_path(path))
                self.assert_message(e.hwnd, IMAGE_FAILED)
                self.assert_running(e)
                self.assertEqual(e.class_background(), "solid 008080", "colour mode")
                # The dialog's choice is kept and saved, as for any missing picture.
                self.assertTrue(harness.wait_until(lambda: e.setting("WINDOW", "IMG_PATH") == windows_path(path)))
                self.assertEqual(e.setting("WINDOW", "IMG_ENABLED"), "1")
            # A good picture in between proves the failure above is no leftover.
            self.set_image(e, windows_path(good))
            self.assert_no_message(e.hwnd, 1.0)
            self.assertTrue(harness.wait_until(lambda: e.class_background() == "null", 5), "image mode")
        shot, origin = e.screenshot("bad_input_images_editor")
        width, height = e.client_size()
        self.assertEqual(e.client_pixel(shot, origin, width // 4, height // 4), (255, 0, 0))

    def test_notes_with_broken_background_images_show_their_colour(self):
        folder = files_folder("image_notes")
        os.makedirs(test_note.NOTES, exist_ok=True)
        teal = (0, 128, 128)
        cases = broken_bitmaps()
        for number, case in enumerate(("cut short in its pixels", "a huge picture claimed by a small file",
                                       "pixels that cannot be allocated")):
            with self.subTest(case):
                picture = os.path.join(folder, f"broken{number}.bmp")
                with open(picture, "wb") as f:
                    f.write(cases[case])
                exe = test_note.make_note(folder, f"broken picture {number}", background=teal,
                                          image=harness.to_windows_path(picture), transparent=0x00FF00, close=0)
                note = test_note.RunningNote(exe, (300, 200))
                try:
                    self.assertEqual(note.wait_rect((300, 200, 300, 200)), (300, 200, 300, 200))
                    shot = shot_until(f"bad_input_note_image{number}",
                                                lambda i: i.count(teal, 300, 200, 600, 400) > 300 * 200 * 0.8)
                    self.assertGreater(shot.count(teal, 300, 200, 600, 400), 300 * 200 * 0.8,
                                       "the note does not show its background colour")
                    self.assertIsNone(message_box(0, "-", 0.5), "a note shows no message")
                    harness.xdotool("mousemove", 400, 300, "click", 1)
                    self.assertTrue(note.gone(20), "the note did not close on a click")
                finally:
                    note.close()

    def test_output_with_each_broken_icon_template_reports_and_writes_the_default_icon(self):
        clear_desktop()
        folder = files_folder("icons")
        e = self.editor("bad_icons", {"WINDOW": {"COLOR_R": "255", "COLOR_G": "255", "COLOR_B": "0",
                                                 "WIDTH": "420", "HEIGHT": "300"},
                                      "FONT": {"FACE_NAME": "IPAGothic"}})
        e.start()
        # Good templates first: no message and the template's own group. Many
        # real icon files leave the entry's depth 0: the header's counts.
        for name, data in (("good", ico_bytes(icon_dib())), ("depthless", ico_bytes(icon_dib(), bits=0))):
            with self.subTest(name):
                path = os.path.join(folder, name + ".ico")
                with open(path, "wb") as f:
                    f.write(data)
                self.set_icon_template(e, windows_path(path))
                harness.driver("settext", e.hwnd, 1, "icon " + name, check=True)
                e.command(1000)
                res = wait_note_file(f"icon {name}.exe")
                self.assertIsNotNone(res)
                self.assert_no_message(e.hwnd, 1.0)
                self.assertEqual(res["group"], "0000010001002020100001000400e80200000200")
        default_tinted = None
        cases = dict(broken_icon_templates())
        cases["a missing file"] = None
        cases["an empty path"] = None
        for number, (case, data) in enumerate(cases.items()):
            with self.subTest(case):
                path = os.path.join(folder, f"broken{number}.ico")
                if data is not None:
                    with open(path, "wb") as f:
                        f.write(data)
                self.set_icon_template(e, "" if case == "an empty path" else windows_path(path))
                e.wait_saved()
                settings = e.settings_bytes()
                name = f"icon {number}"
                harness.driver("settext", e.hwnd, 1, name, check=True)
                e.command(1000)
                self.assert_message(e.hwnd, ICON_FAILED)
                res = wait_note_file(name + ".exe")
                self.assertIsNotNone(res, "the output did not go on with the default icon")
                self.assertEqual(res["group"], DEFAULT_GROUP)
                self.assertEqual(len(res["icon2"]), 2 * 4144)
                # Sheet yellow, fold the lighter shade, like every default icon in yellow.
                self.assertEqual(res["icon2"][80:96], "00ffff00" + "80ffff00")
                default_tinted = default_tinted or res["icon2"]
                self.assertEqual(res["icon2"], default_tinted)
                self.assertTrue(harness.wait_until(lambda: e.title() == f"Tessark - {name}.exe", 5))
                self.assert_running(e)
                self.assertEqual(e.settings_bytes(), settings, "output wrote the settings file")
        clear_desktop()


if __name__ == "__main__":
    harness.main()
