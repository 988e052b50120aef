#!/usr/bin/env python3
"""Shows what Tessark is for on a virtual screen and photographs it: a sample
note written the way a user writes one (text typed into the editor, a style
loaded, F3) and the note itself, started from the desktop folder. Run inside
the Wine environment by scripts/screenshots.sh (the README's pictures) and by
scripts/run.sh without a display, which also uses it to show one given note
or to open the editor with one.

    screenshots.py OUT                 the sample; prints the two pictures and the note
    screenshots.py OUT --note FILE     shows the note FILE; prints its picture
    screenshots.py OUT --open FILE     opens the editor with FILE; prints its picture
The editor runs from a copy in OUT/editor, whose settings file holds the style."""
import argparse
import os
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(ROOT, "tests/e2e"))
import editor_support  # noqa: E402
import harness  # noqa: E402

TEXT = "牛乳を買う\nBuy milk\n18:00 までに"
NOTE_NAME = "牛乳を買う,.Buy milk,.18,：00 までに.exe"  # TEXT as the editor escapes it
STYLE = {"STYLE_1": {
    "STYLE_NAME": "レモン", "WINDOW_MARGIN": 16, "WINDOW_WIDTH": 420, "WINDOW_HEIGHT": 300,
    "WINDOW_COLOR_R": 255, "WINDOW_COLOR_G": 236, "WINDOW_COLOR_B": 140,
    "FONT_COLOR_R": 60, "FONT_COLOR_G": 40, "FONT_COLOR_B": 20, "FONT_HEIGHT": -28,
}}
CURSOR = (520, 200)  # where the note opens


def crop(image_png, rect, out_png):
    left, top, right, bottom = rect
    subprocess.run(["/usr/bin/convert", image_png, "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                    "+repage", out_png], check=True)


def photograph(hwnd, name, out_png):
    """Saves the window's rectangle of the screen as out_png."""
    time.sleep(1)  # let the compositor show the last paint
    harness.screenshot(name)
    crop(os.path.join(harness.SHOTS, name + ".png"), harness.window_rect(hwnd)[:4], out_png)


def type_text(editor, text):
    """Types text into the editor, a line at a time. xdotool maps each
    character that the keyboard lacks (the Japanese ones) onto a spare key just
    before pressing it, and Wine may read the key after the next remapping: so
    it types slowly, checks what arrived and types again when it was wrong."""
    for attempt in range(3):
        harness.driver("settext", editor.hwnd, 1, "", check=True)
        for i, line in enumerate(text.split("\n")):
            if i:
                editor.keys("Return")
            harness.xdotool("type", "--delay", "250", line)
        # Line breaks are checked by the note's name (",." stands for CR LF).
        if harness.wait_until(lambda: editor.text().replace("\r", "") == text, 5):
            return
    raise AssertionError(f"typing gave {editor.text()!r}")


def write_note(editor):
    """Types the sample text, loads the sample style (Ctrl+1) and outputs the
    note (F3); gives the note's path."""
    editor.click_into_edit()
    type_text(editor, TEXT)
    editor.keys("ctrl+1")
    assert harness.wait_until(lambda: editor.setting("WINDOW", "COLOR_B") == "140", 10), "the style did not load"
    editor.keys("F3")
    note = os.path.join(harness.desktop_dir(), NOTE_NAME)
    assert harness.wait_until(lambda: os.path.exists(note), 20), "the note was not written"
    return note


def show_note(note, out_png):
    """Starts the note from its folder at the cursor, photographs it and
    closes it with a click."""
    harness.xdotool("mousemove", *CURSOR)
    proc = harness.start(note, cwd=os.path.dirname(note))
    try:
        hwnd = harness.find_window("VEMTO_SRC_MAIN", "-", 20000)
        assert hwnd, "the note did not open"
        photograph(hwnd, "run_note", out_png)
        harness.xdotool("click", "1")
        assert harness.wait_gone(proc, 10), "the note did not close on a click"
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()


def sample(out):
    editor = editor_support.Editor("sample", STYLE, runs=out)
    try:
        editor.start()
        harness.driver("move", editor.hwnd, 40, 40)
        note = write_note(editor)
        photograph(editor.hwnd, "run_editor", os.path.join(out, "editor.png"))
    finally:
        editor.close()
    show_note(note, os.path.join(out, "note.png"))
    print(os.path.join(out, "editor.png"))
    print(os.path.join(out, "note.png"))
    print(note)


def open_in_editor(out, note):
    editor = editor_support.Editor("open", runs=out)
    try:
        editor.start(harness.to_windows_path(note))
        harness.driver("move", editor.hwnd, 40, 40)
        photograph(editor.hwnd, "run_open", os.path.join(out, "editor.png"))
    finally:
        editor.close()
    print(os.path.join(out, "editor.png"))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--note")
    parser.add_argument("--open")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    if args.note:
        show_note(os.path.abspath(args.note), os.path.join(args.out, "note.png"))
        print(os.path.join(args.out, "note.png"))
    elif args.open:
        open_in_editor(args.out, os.path.abspath(args.open))
    else:
        sample(args.out)


if __name__ == "__main__":
    main()
