"""The release zip: exactly Tessark.exe and Readme.txt in one folder, and the
editor starts from a freshly unpacked copy with nothing else beside it. The
zip is unpacked as the CI's Windows job unpacks it: by scripts/check_bundle.py,
after checking its SHA-256, which refuses a zip whose sum differs."""
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

import harness

EDITOR_BUILD = os.path.join(harness.WIN_BUILD, "editor")


def check_bundle(*args):
    return subprocess.run([sys.executable, os.path.join(harness.ROOT, "scripts/check_bundle.py"), *args],
                          capture_output=True, text=True)


class ReleaseZip(unittest.TestCase):
    def test_unpacked_zip_runs_on_its_own(self):
        work = tempfile.mkdtemp(prefix="release ")
        try:
            archive = os.path.join(work, "Tessark.zip")
            subprocess.run([os.path.join(harness.ROOT, "scripts/pack_release.sh"), EDITOR_BUILD, archive],
                           check=True, capture_output=True)
            with zipfile.ZipFile(archive) as z:
                names = sorted(n for n in z.namelist() if not n.endswith("/"))
                self.assertEqual(names, ["Tessark/Readme.txt", "Tessark/Tessark.exe"])
            unpacked = os.path.join(work, "unpacked here")
            sums = os.path.join(work, "SHA256SUMS")
            self.assertEqual(check_bundle("--write", sums, archive).returncode, 0)
            with open(sums) as f:
                good = f.read()
            with open(archive, "rb") as f:
                self.assertEqual(good, hashlib.sha256(f.read()).hexdigest() + "  Tessark.zip\n")
            with open(sums, "w") as f:
                f.write(("0" if good[0] != "0" else "1") + good[1:])
            refused = check_bundle(sums, unpacked, archive)
            self.assertEqual(refused.returncode, 1, refused.stdout + refused.stderr)
            self.assertIn("Tessark.zip: SHA-256", refused.stderr)
            self.assertFalse(os.path.exists(unpacked), "a zip whose sum differs was unpacked")
            with open(sums, "w") as f:
                f.write(good)
            checked = check_bundle(sums, unpacked, archive)
            self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)
            folder = os.path.join(unpacked, "Tessark")
            exe = os.path.join(folder, "Tessark.exe")
            os.chmod(exe, 0o755)
            proc = harness.start(exe, cwd=folder)
            try:
                hwnd = harness.find_window("TESSARK_MAIN", "Tessark", 30000, 0)
                self.assertIsNotNone(hwnd, "the unpacked editor did not open its window")
                # Its settings file appears beside it at the first save (the size).
                self.assertTrue(harness.wait_until(
                    lambda: any(n.endswith(" Tessark.ini") for n in os.listdir(folder)), 20))
                harness.driver("post", hwnd, 0x0010, 0, 0)  # WM_CLOSE
                self.assertTrue(harness.wait_gone(proc, 20))
            finally:
                if proc.poll() is None:
                    proc.kill()
        finally:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    harness.main()
