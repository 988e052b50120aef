#!/usr/bin/env python3
"""Makes the README's pictures: the editor with a Japanese note in a chosen
look, and the note that it outputs, started from the desktop. Run by
scripts/screenshots.sh inside the Wine test environment."""
import os
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(ROOT, "tests/e2e"))
import editor_support  # noqa: E402
import harness  # noqa: E402

OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "docs")
TEXT = "牛乳を買う\\r\\nBuy milk\\r\\n18:00 までに"  # the driver reads \r\n escapes

LOOK = {
    "WINDOW": {"WIDTH": 420, "HEIGHT": 300, "MARGIN": 16, "COLOR_R": 255, "COLOR_G": 236, "COLOR_B": 140},
    "FONT": {"COLOR_R": 60, "COLOR_G": 40, "COLOR_B": 20, "HEIGHT": -28},
    "ACTION": {"AUTO_CLOSE": 0},
}


def crop(image_png, rect, out_png):
    left, top, right, bottom = rect
    subprocess.run(["/usr/bin/convert", image_png, "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                    "+repage", out_png], check=True)


def main():
    os.makedirs(OUT, exist_ok=True)
    desktop = harness.desktop_dir()
    editor = editor_support.Editor("readme", LOOK)
    editor.start()
    harness.driver("move", editor.hwnd, 40, 40)
    harness.driver("settext", editor.hwnd, 1, TEXT, check=True)
    time.sleep(1)
    harness.screenshot("readme_editor")
    crop(os.path.join(harness.SHOTS, "readme_editor.png"), harness.window_rect(editor.hwnd)[:4],
         os.path.join(OUT, "editor.png"))

    editor.command(1000)  # output the note (F3)
    note = os.path.join(desktop, "牛乳を買う,.Buy milk,.18,：00 までに.exe")
    assert harness.wait_until(lambda: os.path.exists(note), 20), "the note was not written"
    time.sleep(1)
    editor.close()
    harness.xdotool("mousemove", 520, 200)
    proc = harness.start(note, cwd=desktop)
    hwnd = harness.find_window("VEMTO_SRC_MAIN", "-", 20000)
    assert hwnd, "the note did not open"
    time.sleep(1.5)
    harness.screenshot("readme_note")
    crop(os.path.join(harness.SHOTS, "readme_note.png"), harness.window_rect(hwnd)[:4],
         os.path.join(OUT, "note.png"))
    harness.xdotool("click", "1")
    harness.wait_gone(proc, 10)
    print(os.path.join(OUT, "editor.png"))
    print(os.path.join(OUT, "note.png"))


if __name__ == "__main__":
    main()
