"""Shared helpers of the end-to-end tests: run programs under Wine, drive them
through driver.exe and xdotool, take and read screenshots, wait for conditions,
and write JUnit XML for the summary.

The test script (scripts/test.sh) has already started Xvfb, openbox, xcompmgr
and a persistent wineserver, and exported DISPLAY and WINEPREFIX."""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import xml.etree.ElementTree as ET

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "../.."))
WIN_BUILD = os.environ.get("TESSARK_WIN_BUILD", os.path.join(ROOT, "build/win64"))
WINE = os.path.join(ROOT, "scripts/wine")  # picks the loader this machine can run
RESULTS = os.environ.get("TESSARK_RESULTS", os.path.join(WIN_BUILD, "results"))
SHOTS = os.path.join(WIN_BUILD, "shots")
DRIVER = os.path.join(WIN_BUILD, "tests/e2e/driver.exe")
WINEPREFIX = os.environ.get("WINEPREFIX", "")
os.makedirs(SHOTS, exist_ok=True)


def wine_user():
    """The logon user whose profile the prefix has (root in CI)."""
    users = os.path.join(WINEPREFIX, "drive_c/users")
    for name in sorted(os.listdir(users)):
        if name not in ("Public", "Default") and os.path.isdir(os.path.join(users, name)):
            return name
    return os.environ.get("USER", "root")


def desktop_dir():
    return os.path.join(WINEPREFIX, "drive_c/users", wine_user(), "Desktop")


def to_windows_path(path):
    """Wine maps the Unix root to drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def start(exe, *args, cwd=None):
    """Starts a Windows program under Wine without waiting; returns the Popen."""
    return subprocess.Popen([WINE, exe, *args], cwd=cwd or os.path.dirname(os.path.abspath(exe)),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def driver(*args, timeout=60, check=False):
    """Runs a driver command; returns (exit code, stdout text)."""
    # Output goes through a file, not a pipe: a Wine service that the driver
    # happens to start (explorer.exe /desktop) inherits the handle and would
    # keep a pipe open long after the driver ended.
    with tempfile.TemporaryFile() as out_file:
        result = subprocess.run([WINE, DRIVER, *[str(a) for a in args]], stdout=out_file,
                                stderr=subprocess.DEVNULL, timeout=timeout)
        out_file.seek(0)
        out = out_file.read().decode("utf-8", "replace")
    if check and result.returncode != 0:
        raise AssertionError(f"driver {' '.join(map(str, args))} failed ({result.returncode}): {out}")
    return result.returncode, out


def launch(command_line):
    """Starts a program through the driver with an exact command line and
    returns its process id. Wine has now and then refused a start, loaded or
    not, before the program ran; that says nothing of the program, so a
    refused start is tried once more."""
    for _ in range(2):
        rc, out = driver("launch", command_line)
        if rc == 0:
            return int(out.split()[0])
    raise AssertionError(f"the program did not start (driver exit code {rc}: {out.strip()})")


def find_window(cls="-", title="-", timeout_ms=20000, pid=0):
    """The handle of a top-level window, or None after the time-out."""
    rc, out = driver("find", cls, title, timeout_ms, pid, timeout=timeout_ms / 1000 + 30)
    return int(out.split()[0]) if rc == 0 and out.strip() else None


def window_rect(hwnd):
    """(left, top, right, bottom, client_width, client_height) or None."""
    rc, out = driver("rect", hwnd)
    return tuple(int(v) for v in out.split()) if rc == 0 else None


def alive(hwnd):
    return driver("alive", hwnd)[0] == 0


def xdotool(*args):
    subprocess.run(["xdotool", *[str(a) for a in args]], check=True, capture_output=True)


def wait_until(predicate, timeout=20.0, interval=0.1):
    """Polls predicate until it returns a true value; returns it, or None."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            return None
        time.sleep(interval)


def wait_gone(proc, timeout=20.0):
    """True when the process ended within the time-out."""
    try:
        proc.wait(timeout=timeout)
        return True
    except subprocess.TimeoutExpired:
        return False


class Image:
    """A screenshot as RGB rows, read from a binary PPM."""

    def __init__(self, data):
        # Header: magic, width, height, maximum, with "#" comments between
        # fields; exactly one white-space byte then separates it from the
        # pixels, whose first bytes may well look like white space.
        fields, at = [], 0
        while len(fields) < 4:
            while data[at:at + 1].isspace():
                at += 1
            if data[at:at + 1] == b"#":
                at = data.index(b"\n", at) + 1
                continue
            end = at
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[at:end])
            at = end
        assert fields[0] == b"P6", "not a binary PPM"
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[at + 1: at + 1 + self.width * self.height * 3]

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def count(self, color, left, top, right, bottom, tolerance=0):
        """Pixels of color within the rectangle (right and bottom excluded)."""
        n = 0
        for y in range(max(top, 0), min(bottom, self.height)):
            for x in range(max(left, 0), min(right, self.width)):
                p = self.pixel(x, y)
                if all(abs(p[k] - color[k]) <= tolerance for k in range(3)):
                    n += 1
        return n

    def bounding_box(self, color, left, top, right, bottom, tolerance=0):
        """(min x, min y, max x, max y) of pixels of color in the rectangle, or None."""
        box = None
        for y in range(max(top, 0), min(bottom, self.height)):
            for x in range(max(left, 0), min(right, self.width)):
                p = self.pixel(x, y)
                if all(abs(p[k] - color[k]) <= tolerance for k in range(3)):
                    box = (x, y, x, y) if box is None else (min(box[0], x), min(box[1], y),
                                                            max(box[2], x), max(box[3], y))
        return box


def screenshot(name):
    """Saves the whole screen as SHOTS/name.png and returns it as an Image."""
    png = os.path.join(SHOTS, name + ".png")
    xwd = subprocess.run(["xwd", "-root", "-silent"], capture_output=True, check=True).stdout
    ppm = subprocess.run(["/usr/bin/convert", "xwd:-", "ppm:-"], input=xwd, capture_output=True,
                         check=True).stdout
    subprocess.run(["/usr/bin/convert", "ppm:-", png], input=ppm, check=True)
    return Image(ppm)


def window_picture(title, name):
    """A picture of one top-level window's client area, taken from its own X
    window: the compositor leaves Wine's dialogs out of screenshots of the
    whole screen here."""
    out = subprocess.run(["xdotool", "search", "--name", title], capture_output=True, text=True).stdout.split()
    assert out, f"no X window named {title!r}"
    xwd = subprocess.run(["xwd", "-id", out[0], "-silent"], capture_output=True, check=True).stdout
    ppm = subprocess.run(["/usr/bin/convert", "xwd:-", "ppm:-"], input=xwd, capture_output=True,
                         check=True).stdout
    subprocess.run(["/usr/bin/convert", "ppm:-", os.path.join(SHOTS, name + ".png")], input=ppm,
                   check=True)
    return Image(ppm)


class _JUnitResult(unittest.TextTestResult):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.records = []
        self._started = 0.0

    def startTest(self, test):
        self._started = time.monotonic()
        super().startTest(test)

    def _record(self, test, kind, detail=""):
        self.records.append((test.id(), kind, detail, time.monotonic() - self._started))

    def addSuccess(self, test):
        super().addSuccess(test)
        self._record(test, "pass")

    def addFailure(self, test, err):
        super().addFailure(test, err)
        self._keep_evidence(test)
        self._record(test, "failure", self._exc_info_to_string(err, test))

    def addError(self, test, err):
        super().addError(test, err)
        self._keep_evidence(test)
        self._record(test, "error", self._exc_info_to_string(err, test))

    def addSkip(self, test, reason):
        super().addSkip(test, reason)
        self._record(test, "skipped", reason)

    def _keep_evidence(self, test):
        try:
            screenshot("FAILED-" + test.id().split(".")[-1])
        except Exception:  # the evidence is a courtesy; the failure stands anyway
            pass


def main():
    """Runs the calling module's tests and writes RESULTS/<test name>.xml."""
    name = os.environ.get("TESSARK_TEST_NAME", os.path.splitext(os.path.basename(sys.argv[0]))[0])
    suite = unittest.defaultTestLoader.loadTestsFromModule(sys.modules["__main__"])
    runner = unittest.TextTestRunner(resultclass=_JUnitResult, verbosity=2, stream=sys.stdout)
    result = runner.run(suite)
    root = ET.Element("testsuite", name=name, tests=str(len(result.records)))
    for test_id, kind, detail, seconds in result.records:
        case = ET.SubElement(root, "testcase", name=test_id, time=f"{seconds:.2f}")
        if kind in ("failure", "error"):
            ET.SubElement(case, kind, message=detail.splitlines()[-1] if detail else kind).text = detail
        elif kind == "skipped":
            ET.SubElement(case, "skipped", message=detail)
    os.makedirs(RESULTS, exist_ok=True)
    ET.ElementTree(root).write(os.path.join(RESULTS, name + ".xml"), encoding="utf-8")
    sys.exit(0 if result.wasSuccessful() else 1)
