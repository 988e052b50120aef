"""A long editing session, driven from outside as a user would drive it:
hundreds of background and text colours, fonts, style loads (with pictures,
transparent colours and icon templates), outputs and reopens. The editor's
GDI objects, windows and committed memory are read after every round, after
a warm-up round. The platform's caches may take more than one round to fill
(Wine 10's device contexts and regions do), so GDI objects are judged by
their growth from the first round after the warm-up to the last: caches that
level off stay within a small bound, while a leak of one object in every few
changes grows by dozens over those rounds.

Wine answers GetGuiResources with 0, so the driver counts GDI objects in
the process's handle table there, and the windows of the process stand for
its USER objects."""
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from editor_support import Editor, windows_path, write_bmp  # noqa: E402
from test_bad_input_images import files_folder, icon_dib, ico_bytes, message_box  # noqa: E402
from test_output import clear_desktop  # noqa: E402

ROUNDS = 4
# One round: steps of each kind, in this order.
ROUND = (("bgcolor", 25), ("textcolor", 25), ("font", 15), ("style", 27), ("output", 10), ("reopen", 6))
GDI_BOUND = 12                 # objects gained from the first round after the warm-up to the last
MEMORY_BOUND = 4 * 1024 * 1024  # bytes of committed private memory


def chooser_colour(step):
    """The colour the driver picks in a colour chooser at that step."""
    return ((step * 37) & 0xFF, (step * 91 + 40) & 0xFF, (step * 53 + 200) & 0xFF)


def styles(folder):
    """Nine style sections that differ in everything a style holds."""
    pictures = []
    for k, colours in enumerate(([(255, 0, 0), (0, 0, 0)], [(0, 0, 255), (0, 255, 0)])):
        path = os.path.join(folder, f"picture{k}.bmp")
        write_bmp(path, [colours * 32] * 24 + [list(reversed(colours)) * 32] * 24)
        pictures.append(windows_path(path))
    icon = os.path.join(folder, "template.ico")
    with open(icon, "wb") as f:
        f.write(ico_bytes(icon_dib()))
    sections = {}
    for n in range(1, 10):
        sections[f"STYLE_{n}"] = {
            "STYLE_NAME": f"Style {n}", "WINDOW_MARGIN": str(3 * n), "WINDOW_WIDTH": str(400 + 10 * n),
            "WINDOW_HEIGHT": str(300 + 5 * n), "WINDOW_COLOR_R": str(20 * n), "WINDOW_COLOR_G": str(255 - 20 * n),
            "WINDOW_COLOR_B": "128", "WINDOW_IMG_ENABLED": str(n % 2), "WINDOW_IMG_PATH": pictures[n % 3 % 2],
            "WINDOW_IMG_T_R": "0", "WINDOW_IMG_T_G": str(255 * (n % 3 == 0)), "WINDOW_IMG_T_B": "0",
            "FONT_COLOR_R": str(10 * n), "FONT_COLOR_G": "0", "FONT_COLOR_B": str(255 - 10 * n),
            "FONT_HEIGHT": str(16 + 2 * n), "FONT_WIDTH": "0", "FONT_WEIGHT": str(400 + 100 * (n % 4)),
            "FONT_ITALIC": str(n % 2), "FONT_FACE_NAME": ("IPAGothic", "IPAPGothic")[n % 2],
            "ACTION_AUTO_CLOSE": str(n), "ICON_ENABLED": str(int(n % 3 == 0)), "ICON_PATH": windows_path(icon)}
    return sections


class LongSession(unittest.TestCase):
    def setUp(self):
        clear_desktop()
        folder = files_folder("long_session")
        settings = styles(folder)
        settings["WINDOW"] = {"WIDTH": "420", "HEIGHT": "300"}
        settings["FONT"] = {"FACE_NAME": "IPAGothic"}
        self.editor = Editor("long_session", settings)
        self.editor.start()
        self.pid = harness.driver("pid", self.editor.hwnd, check=True)[1].split()[0]
        desktop = "C:\\users\\" + harness.wine_user() + "\\Desktop\\"
        self.notes = desktop + "Session note 0.exe|" + desktop + "Session note 1.exe"
        self.step = 0

    def tearDown(self):
        self.editor.close()
        clear_desktop()

    def resources(self):
        rc, out = harness.driver("resources", self.pid)
        self.assertEqual(rc, 0, "the editor's resources cannot be read")
        values = dict(line.split(" ", 1) for line in out.replace("\r\n", "\n").strip().splitlines())
        return {"gdi": int(values["gdi"]), "types": values["gdi_types"].strip(), "windows": int(values["windows"]),
                "private": int(values["private"])}

    def run_steps(self, kind, count):
        """count steps of one kind in one driver run; checks what they left."""
        first = self.step
        rc, out = harness.driver("session", self.editor.hwnd, kind, first, count, self.notes, timeout=600)
        self.step += count
        box = message_box(0, "-", 0.2)
        self.assertEqual((rc, out.strip()), (0, f"done {count}"),
                         f"{kind} stopped; {box and box['text']!r} is showing")
        last = self.step - 1
        if kind in ("bgcolor", "textcolor"):
            section = "WINDOW" if kind == "bgcolor" else "FONT"
            saved = self.editor.settings()[section]
            self.assertEqual(tuple(int(saved[f"COLOR_{c}"]) for c in "RGB"), chooser_colour(last),
                             f"the last {kind} chosen was not kept")
        elif kind == "font":
            # The chooser gives character heights, which are negative.
            self.assertLess(int(self.editor.settings()["FONT"]["HEIGHT"]), 0)
        elif kind == "style":
            slot = last % 9 + 1
            self.assertEqual(self.editor.settings()["WINDOW"]["MARGIN"], str(3 * slot))
            self.assertEqual(self.editor.window_size(), (400 + 10 * slot, 300 + 5 * slot))

    def run_round(self):
        for kind, count in ROUND:
            self.run_steps(kind, count)

    def test_hundreds_of_changes_leave_no_objects_or_memory_behind(self):
        self.run_round()  # fills the choosers' and the file dialog's caches
        baseline = self.resources()
        samples = []
        for _ in range(ROUNDS):
            self.run_round()
            samples.append(self.resources())
            print(f"after {self.step} steps: {samples[-1]}", file=sys.stderr)
        self.assertGreaterEqual(self.step, 500)
        # Judged from the first sample after the warm-up: 324 changes with a
        # leak in any one kind of change (the rarest, reopen, is 6 a round)
        # leave 18 objects or more.
        worst = max(s["gdi"] for s in samples[1:])
        self.assertLessEqual(worst - samples[0]["gdi"], GDI_BOUND,
                             f"GDI objects grew over the last {ROUNDS - 1} rounds: {[s['gdi'] for s in samples]}"
                             f" (after the warm-up: {baseline}; samples: {samples})")
        self.assertEqual([s["windows"] for s in samples], [baseline["windows"]] * ROUNDS, "windows were left behind")
        growth = max(s["private"] for s in samples) - baseline["private"]
        self.assertLessEqual(growth, MEMORY_BOUND, f"memory grew by {growth} bytes: {samples}")
        self.assertTrue(harness.driver("responds", self.editor.hwnd)[0] == 0)


if __name__ == "__main__":
    harness.main()
