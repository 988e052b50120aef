"""Steps shared by the editor's end-to-end tests: a private copy of Tessark
for each test (so that each has its own settings file), reading and writing
that settings file, the editor's windows, menu and dialogs through the
driver, and pictures of its client area and of its dialogs."""
import codecs
import os
import shutil
import struct
import subprocess
import time

import harness

EDITOR_DIR = os.path.join(harness.WIN_BUILD, "editor")
RUNS = os.path.join(harness.WIN_BUILD, "e2e_editor")
WM_CLOSE = 0x0010
WM_COMMAND = 0x0111
WHITE = (255, 255, 255)


def write_ini(path, sections):
    """Writes sections ({section: {key: value}}) as a UTF-16 INI file, the
    way the editor itself creates it."""
    lines = []
    for section, keys in sections.items():
        lines.append(f"[{section}]")
        lines.extend(f"{k}={v}" for k, v in keys.items())
    with open(path, "wb") as f:
        f.write(codecs.BOM_UTF16_LE + ("\r\n".join(lines) + "\r\n").encode("utf-16-le"))


def read_ini(path):
    """{section: {key: value}} of an INI file, or {} when there is none."""
    if not os.path.exists(path):
        return {}
    data = open(path, "rb").read()
    text = data.decode("utf-16") if data[:2] in (codecs.BOM_UTF16_LE, codecs.BOM_UTF16_BE) else data.decode("cp932")
    sections, current = {}, None
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1], {})
        elif "=" in line and current is not None:
            key, value = line.split("=", 1)
            current[key] = value
    return sections


def write_bmp(path, rows):
    """A 24-bit bottom-up .bmp of rows (top row first) of (r, g, b) pixels."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = b""
    for row in reversed(rows):
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        pixels += line + b"\0" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def close_to(pixel, colour, tolerance=0):
    return all(abs(pixel[k] - colour[k]) <= tolerance for k in range(3))


class Editor:
    """One copy of Tessark in a folder of its own, started and driven as a
    user would drive it."""

    def __init__(self, name, settings=None, runs=RUNS):
        self.folder = os.path.join(runs, name)
        if os.path.isdir(self.folder):
            subprocess.run(["chattr", "-R", "-i", self.folder], capture_output=True)
            shutil.rmtree(self.folder)
        os.makedirs(self.folder)
        for f in ("Tessark.exe", "Readme.txt"):
            shutil.copy(os.path.join(EDITOR_DIR, f), self.folder)
        self.exe = os.path.join(self.folder, "Tessark.exe")
        self.settings_path = os.path.join(self.folder, f"{harness.wine_user()} Tessark.ini")
        if settings is not None:
            write_ini(self.settings_path, settings)
        self.proc = None
        self.hwnd = None

    # --- running -----------------------------------------------------------
    def start(self, *args):
        self.proc = harness.start(self.exe, *args)
        self.hwnd = harness.find_window("TESSARK_MAIN", "Tessark", timeout_ms=60000)
        assert self.hwnd, "the editor's main window did not appear"
        # The first size message has placed the edit control once it has a size.
        assert harness.wait_until(lambda: self.edit_rect() and self.edit_rect()[2] > self.edit_rect()[0]), \
            "the edit control was not laid out"
        return self.hwnd

    def close(self):
        """Closes the editor with its close command; kills it if it hangs."""
        if self.proc is None:
            return
        if self.proc.poll() is None:
            if self.hwnd:
                harness.driver("post", self.hwnd, WM_CLOSE, 0, 0)
            if not harness.wait_gone(self.proc, 15):
                self.proc.kill()
                self.proc.wait()
        self.proc = None

    def command(self, command_id):
        harness.driver("post", self.hwnd, WM_COMMAND, command_id, 0, check=True)

    def activate(self):
        harness.driver("activate", self.hwnd)
        time.sleep(0.3)

    # --- what the user sees --------------------------------------------------
    def title(self):
        return harness.driver("text", self.hwnd, check=True)[1]

    def window_size(self):
        r = harness.window_rect(self.hwnd)
        return (r[2] - r[0], r[3] - r[1])

    def client_size(self):
        r = harness.window_rect(self.hwnd)
        return (r[4], r[5])

    def client_origin(self):
        rc, out = harness.driver("origin", self.hwnd, check=True)
        return tuple(int(v) for v in out.split())

    def edit_rect(self):
        """(left, top, right, bottom) of the edit control in client coordinates."""
        rc, out = harness.driver("childrect", self.hwnd, 1)
        return tuple(int(v) for v in out.split()[:4]) if rc == 0 else None

    def menu(self):
        """({id: (flags, text)}, [sub-menu texts by depth], class background)."""
        rc, out = harness.driver("menu", self.hwnd, check=True)
        items, popups, background = {}, [], None
        for line in out.splitlines():
            if line.startswith("class_background"):
                background = line.split(" ", 1)[1]
                continue
            if not line[:1].isdigit():  # what the hook read besides the menu
                continue
            depth, item_id, flags, text = line.split("\t", 3)
            if int(item_id) == -1:
                popups.append((int(depth), text))
            elif "s" not in flags:
                items[int(item_id)] = (flags, text.replace("\\t", "\t"))
        return items, popups, background

    def inside(self):
        """What the hook read inside the editor besides its menu:
        {"class_background": ..., "current_directory": PATH}."""
        rc, out = harness.driver("menu", self.hwnd, check=True)
        return dict(line.split(" ", 1) for line in out.splitlines() if line[:1].isalpha())

    def style_labels(self):
        """The nine labels of the style sub-menus."""
        _, popups, _ = self.menu()
        return [text for depth, text in popups if depth == 1 and text.startswith("スタイル")]

    def class_background(self):
        return self.menu()[2]

    def settings(self):
        """The settings file as it stands once the editor has stopped writing
        it (each key is one rewrite of the file)."""
        self.wait_saved()
        return read_ini(self.settings_path)

    def setting(self, section, key):
        return read_ini(self.settings_path).get(section, {}).get(key)

    def wait_saved(self, quiet=0.4, timeout=10):
        deadline = time.monotonic() + timeout
        last = self.settings_bytes()
        stable_since = time.monotonic()
        while time.monotonic() < deadline:
            time.sleep(0.1)
            now = self.settings_bytes()
            if now != last:
                last, stable_since = now, time.monotonic()
            elif time.monotonic() - stable_since >= quiet:
                return

    def settings_bytes(self):
        return open(self.settings_path, "rb").read() if os.path.exists(self.settings_path) else None

    def screenshot(self, name):
        """The whole screen, and the client origin to read it by."""
        time.sleep(0.4)  # let the compositor catch up with the last paint
        return harness.screenshot(name), self.client_origin()

    def client_pixel(self, image, origin, x, y):
        return image.pixel(origin[0] + x, origin[1] + y)

    def count_in_client(self, image, origin, colour, rect, tolerance=0):
        left, top, right, bottom = rect
        return image.count(colour, origin[0] + left, origin[1] + top, origin[0] + right, origin[1] + bottom,
                           tolerance)

    # --- dialogs -------------------------------------------------------------
    def dialog(self, title="-", timeout_ms=20000):
        """The handle of the open dialog with that title (any dialog with "-")."""
        hwnd = harness.find_window("#32770", title, timeout_ms=timeout_ms)
        assert hwnd, f"no dialog {title!r} appeared"
        return hwnd

    def no_dialog(self, timeout_ms=1500):
        return harness.find_window("#32770", "-", timeout_ms=timeout_ms) is None

    def open_dialog(self, command_id, title):
        self.command(command_id)
        return self.dialog(title)

    def field(self, dialog, control_id):
        return harness.driver("gettext", dialog, control_id, check=True)[1]

    def set_field(self, dialog, control_id, text):
        # The driver reads backslash escapes; a path's backslashes stay themselves.
        harness.driver("settext", dialog, control_id, text.replace("\\", "\\\\"), check=True)

    def press(self, dialog, control_id):
        harness.driver("click", dialog, control_id, check=True)

    def press_and_wait_closed(self, dialog, control_id):
        """Presses the button until its dialog closes: a press that arrives
        while a common dialog is still setting itself up can be lost."""
        for attempt in range(5):
            harness.driver("click", dialog, control_id)
            if harness.wait_until(lambda: not harness.alive(dialog), 3):
                return
        raise AssertionError("the dialog did not close")

    def checked(self, dialog, control_id):
        return harness.driver("checked", dialog, control_id, check=True)[1].strip() == "1"

    def enabled(self, dialog, control_id):
        return harness.driver("enabled", dialog, control_id, check=True)[1].strip() == "1"

    def updown(self, dialog, control_id):
        """(position, minimum, maximum) of an up-down control."""
        return tuple(int(v) for v in harness.driver("updown", dialog, control_id, check=True)[1].split())

    def children(self, dialog):
        """[(id, class, visible, text)] of a dialog's controls."""
        rows = []
        for line in harness.driver("children", dialog, check=True)[1].splitlines():
            control_id, cls, visible, text = line.split("\t", 3)
            rows.append((int(control_id), cls, visible == "1", text))
        return rows

    def message_text(self, box):
        """The message of a message box (its static text)."""
        texts = [text for cid, cls, visible, text in self.children(box) if cls.lower() == "static" and text]
        return "\n".join(texts).replace("|", "\n")

    def window_picture(self, title, name):
        return harness.window_picture(title, name)

    def popup_picture(self, name):
        """A picture of the editor's open drop-down menu (an unnamed X window of
        the editor's), taken from its own X window like window_picture."""
        tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
        for line in tree.splitlines():
            parts = line.split()
            if "(has" in line and '("tessark.exe"' in line and "x" in parts[-2]:
                width, height = parts[-2].split("+")[0].split("x")
                if int(width) > 20 and int(height) > 20:
                    xwd = subprocess.run(["xwd", "-id", parts[0], "-silent"], capture_output=True,
                                         check=True).stdout
                    ppm = subprocess.run(["/usr/bin/convert", "xwd:-", "ppm:-"], input=xwd, capture_output=True,
                                         check=True).stdout
                    subprocess.run(["/usr/bin/convert", "ppm:-", os.path.join(harness.SHOTS, name + ".png")],
                                   input=ppm, check=True)
                    return harness.Image(ppm)
        return None

    # --- keyboard and mouse --------------------------------------------------
    def click_into_edit(self):
        """Clicks into the edit control, which then has the keyboard focus."""
        left, top, right, bottom = self.edit_rect()
        ox, oy = self.client_origin()
        harness.xdotool("mousemove", ox + left + 5, oy + top + 5)
        harness.xdotool("click", "1")
        assert harness.wait_until(lambda: self.focused_id() == 1, 10), "the edit control did not take the focus"

    def focused_id(self):
        rc, out = harness.driver("focus", self.hwnd)
        return int(out.split()[1]) if rc == 0 and out.strip() else None

    def keys(self, *keys):
        for key in keys:
            harness.xdotool("key", "--delay", "60", key)
        time.sleep(0.3)

    def type_text(self, text):
        harness.xdotool("type", "--delay", "60", text)
        time.sleep(0.3)

    def text(self):
        return harness.driver("gettext", self.hwnd, 1, check=True)[1]


def windows_path(path):
    return harness.to_windows_path(path)


def make_read_only(path):
    """Makes path unwritable even for root (the Wine server ignores the
    permission bits for root). Returns False where that cannot be done."""
    if os.geteuid() != 0:
        os.chmod(path, 0o444)
        return True
    return subprocess.run(["chattr", "+i", path], capture_output=True).returncode == 0


def make_writable(path):
    if os.geteuid() == 0:
        subprocess.run(["chattr", "-i", path], capture_output=True)
    if os.path.exists(path):
        os.chmod(path, 0o644)
