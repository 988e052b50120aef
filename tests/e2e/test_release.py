"""The release zip: exactly Tessark.exe and Readme.txt in one folder, and the
editor starts from a freshly unpacked copy with nothing else beside it."""
import os
import shutil
import subprocess
import tempfile
import unittest
import zipfile

import harness

EDITOR_BUILD = os.path.join(harness.WIN_BUILD, "editor")


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
                z.extractall(unpacked)
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
