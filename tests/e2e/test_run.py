"""The run command as a newcomer meets it: without a display it writes a
sample note, shows it and says where the pictures and the note are; a note
file that does not exist is refused before anything starts.

run.sh runs in the built tree (TESSARK_PREBUILT) with a Wine prefix and a
virtual screen of its own in TESSARK_RUN_DIR, in a session of its own, so
that nothing of it can outlive the test."""
import getpass
import os
import signal
import subprocess
import tempfile
import unittest

import harness

RUN = os.path.join(harness.ROOT, "scripts/run.sh")
RUN_DIR = os.path.join(harness.WIN_BUILD, "e2e_run")
NOTE_NAME = "牛乳を買う,.Buy milk,.18,：00 までに.exe"
LEMON = (255, 236, 140)  # the sample style's background


def run_script(*args, env=None, timeout=600):
    """Runs run.sh without a display; gives (exit code, output lines)."""
    environment = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WINEPREFIX")}
    environment.update(env or {})
    # Output through a file: a Wine service may inherit a pipe and keep it open.
    with tempfile.TemporaryFile() as out:
        proc = subprocess.Popen(["bash", RUN, *args], env=environment, stdout=out, stderr=subprocess.STDOUT,
                                start_new_session=True)
        try:
            proc.wait(timeout=timeout)
        finally:
            if proc.poll() is None:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()
        out.seek(0)
        return proc.returncode, out.read().decode("utf-8", "replace").splitlines()


def stop_run_environment():
    """What run.sh's exit trap does, in case it never ran: ends the run's
    Wine server with its programs and its X server, by process id."""
    env_dir = os.path.join(RUN_DIR, "virtual")
    subprocess.run(["bash", "-c", 'source "$1"; wine_env_stop "$2"', "-",
                    os.path.join(harness.ROOT, "scripts/wine_env.sh"), env_dir],
                   env={**os.environ, "WINEPREFIX": os.path.join(env_dir, "wine"), "TESSARK_SWITCH_USER": "0"},
                   capture_output=True, timeout=60)


def labelled(lines, label):
    return [line.split(":", 1)[1].strip() for line in lines if line.strip().startswith(label + ":")]


class RunCommand(unittest.TestCase):
    def test_without_a_display_a_sample_note_is_written_shown_and_photographed(self):
        desktop = os.path.join(RUN_DIR, "virtual/wine/drive_c/users", getpass.getuser(), "Desktop")
        pictures = [os.path.join(RUN_DIR, "editor.png"), os.path.join(RUN_DIR, "note.png")]
        for old in pictures + [os.path.join(desktop, NOTE_NAME)]:
            if os.path.exists(old):
                os.remove(old)
        self.addCleanup(stop_run_environment)
        rc, lines = run_script(env={"CI": "true", "TESSARK_PREBUILT": "1", "TESSARK_RUN_DIR": RUN_DIR,
                                    "BUILD_DIR": os.path.dirname(harness.WIN_BUILD)})
        self.assertEqual(rc, 0, "\n".join(lines))
        self.assertEqual(labelled(lines, "note file"), [os.path.join(desktop, NOTE_NAME)])
        self.assertTrue(os.path.isfile(os.path.join(desktop, NOTE_NAME)))
        self.assertEqual(labelled(lines, "editor") + labelled(lines, "note"), pictures)
        for picture in pictures:
            self.assertTrue(os.path.isfile(picture), picture)
        # The note shows in its look, not as the black box of a layered window
        # drawn without a compositor.
        ppm = subprocess.run(["/usr/bin/convert", pictures[1], "ppm:-"], capture_output=True, check=True).stdout
        note = harness.Image(ppm)
        self.assertGreater(note.count(LEMON, 0, 0, note.width, note.height, 4), note.width * note.height // 2)

    def test_a_missing_note_file_is_refused_before_anything_starts(self):
        with tempfile.TemporaryDirectory() as scratch:
            build_dir = os.path.join(scratch, "build")  # set-up and build would make it
            missing = os.path.join(scratch, "nothing here.exe")
            for args in ([missing], ["--note", missing]):
                rc, lines = run_script(*args, env={"BUILD_DIR": build_dir}, timeout=60)
                self.assertEqual(rc, 2, lines)
                self.assertEqual(len(lines), 1, lines)
                self.assertIn(missing, lines[0])
                self.assertFalse(os.path.exists(build_dir))


if __name__ == "__main__":
    harness.main()
