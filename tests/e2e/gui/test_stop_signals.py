"""test_stop_signals.py: SIGINT, SIGTERM and SIGHUP end the viewers as their own way out does:
qor-system's full shutdown with ESC's exit status, qor-line's cleanup; an inherited "ignore"
stays; a second signal ends the process at once."""
import os
import signal
import subprocess
import tempfile
import unittest

import harness
from system_bmp_helpers import wait_dialog
from system_startup_expect import SYSTEM_LIST, TREE
from test_line_startup import STARTED

FRAME = "LineSize:640\n"


class Started(harness.Running):
    """harness.Running with a hook run in the child before exec (signal dispositions)."""

    def __init__(self, name, args=(), env=None, display=None, preexec=None):
        self.errfile = tempfile.TemporaryFile()
        self.proc = subprocess.Popen([harness.program(name)] + list(args), stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=self.errfile,
                                     env=harness.base_env(env, display), preexec_fn=preexec)
        os.set_blocking(self.proc.stdout.fileno(), False)
        self.out = b""


def ignore_sigint():
    signal.signal(signal.SIGINT, signal.SIG_IGN)


class ViewerSignals(unittest.TestCase):
    def files(self, tag):
        d = harness.workdir(self.id() + "." + tag)
        return os.path.join(d, "trace"), os.path.join(d, "stats.json")

    def test_a_stop_signal_runs_the_shutdown_as_escape_does(self):
        with harness.Xvfb() as x:
            for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
                with self.subTest(signal=sig.name):
                    trace, stats = self.files(sig.name)
                    r = Started("qor-system", ["s1"], display=x.display,
                                env={"QORSIM_TRACE": trace, "QORSIM_STATS": stats})
                    try:
                        r.wait_output(FRAME, timeout=60)
                        r.proc.send_signal(sig)
                        rc = r.wait_exit(60)
                    finally:
                        r.kill()
                    self.assertEqual(rc, 0, r.stdout + r.stderr)
                    self.assertTrue(r.stdout.endswith(FRAME + TREE + "Destroy system:OK\n"),
                                    r.stdout)
                    self.assertNotIn("Shutting down Allegro", r.stderr)
                    calls = harness.read_trace(trace)
                    self.assertEqual(calls[-2:], ["SystemDestroy(16, ptr) -> 0", "Exit(ptr) -> 0"])
                    self.assertGreater(harness.read_stats(stats)["frames_delivered"], 0)

    def test_an_inherited_ignore_stays_and_escape_still_ends_the_run(self):
        trace, stats = self.files("ignored")
        with harness.Xvfb() as x:
            r = Started("qor-system", ["s1"], display=x.display, preexec=ignore_sigint,
                        env={"QORSIM_TRACE": trace, "QORSIM_STATS": stats})
            try:
                r.wait_output(FRAME, timeout=60)
                r.proc.send_signal(signal.SIGINT)
                # Frames keep coming after the signal, and the keyboard still answers.
                n = r.stdout.count(FRAME)
                r.wait_output(lambda o: o.count(FRAME) >= n + 3, what="frames after SIGINT")
                x.keys("Escape")
                rc = r.wait_exit(60)
            finally:
                r.kill()
        self.assertEqual(rc, 0, r.stdout + r.stderr)
        self.assertTrue(r.stdout.endswith(FRAME + TREE + "Destroy system:OK\n"), r.stdout)
        self.assertIn("frames_delivered", harness.read_stats(stats))

    def test_a_second_signal_ends_the_process_at_once(self):
        # The file selector holds the loop: the first signal waits for it, the second does not.
        with harness.Xvfb(800, 600) as x:
            r = Started("qor-system", ["s1"], display=x.display)
            try:
                r.wait_output(FRAME, timeout=60)
                x.keys("F2")
                wait_dialog(x)
                r.proc.send_signal(signal.SIGTERM)
                wait_dialog(x)  # still shown, and still held still
                self.assertIsNone(r.proc.poll())
                r.proc.send_signal(signal.SIGINT)
                rc = r.wait_exit(30)
            finally:
                r.kill()
        self.assertEqual(rc, -signal.SIGINT, r.stdout)
        self.assertNotIn("Destroy system:", r.stdout)

    def test_a_signal_at_the_system_prompt_ends_the_dialogue(self):
        trace, _ = self.files("prompt")
        r = Started("qor-system", env={"QORSIM_TRACE": trace})
        try:
            r.wait_output(SYSTEM_LIST)
            r.proc.send_signal(signal.SIGINT)
            rc = r.wait_exit(30)
        finally:
            r.kill()
        self.assertEqual(rc, 255, r.stdout)
        self.assertTrue(r.stdout.startswith("Init QOR-VOZ3:OK\n" + SYSTEM_LIST), r.stdout)
        self.assertEqual(harness.read_trace(trace)[-1], "Exit(ptr) -> 0")

    def test_a_crash_under_allegro_shows_the_sanitizer_report(self):
        # Allegro puts a handler of its own on SIGSEGV; the tests' environment keeps it out.
        ldd = subprocess.run(["ldd", harness.program("qor-system")], stdout=subprocess.PIPE,
                             check=True).stdout
        if b"libasan" not in ldd:
            self.skipTest("not a sanitizer build")
        with harness.Xvfb() as x:
            r = Started("qor-system", ["s1"], display=x.display)
            try:
                r.wait_output(FRAME, timeout=60)
                r.proc.send_signal(signal.SIGSEGV)
                r.wait_exit(30)
            finally:
                r.kill()
        self.assertIn("ERROR: AddressSanitizer: SEGV", r.stderr)
        self.assertNotIn("Shutting down Allegro", r.stderr)

    def test_qor_line_runs_its_cleanup_on_a_signal(self):
        with harness.Xvfb(800, 600) as x:
            for sig in (signal.SIGINT, signal.SIGTERM):
                with self.subTest(signal=sig.name):
                    trace, stats = self.files("line." + sig.name)
                    r = Started("qor-line", display=x.display,
                                env={"QORSIM_TRACE": trace, "QORSIM_STATS": stats})
                    try:
                        r.wait_output("LinesInBlock:256\n", timeout=60)
                        harness.wait_for(lambda: sum(
                            c.startswith("InDInterfaceEndBlock")
                            for c in harness.read_trace(trace)) == 10, 30, "ten blocks")
                        r.proc.send_signal(sig)
                        rc = r.wait_exit(30)
                    finally:
                        r.kill()
                    self.assertEqual(rc, 128 + sig, r.stdout + r.stderr)
                    self.assertTrue(r.stdout.startswith(STARTED), r.stdout)
                    self.assertTrue(r.stdout.endswith("LinesInBlock:256\nCleanup...Done\n"),
                                    r.stdout)
                    calls = [c.split("(")[0] for c in harness.read_trace(trace)]
                    self.assertEqual(calls[-4:],
                                     ["SystemDestroy", "DataheaderFree", "Exit", "ErrorDataFree"])
                    self.assertEqual(harness.read_stats(stats)["blocks_ended"], 10)


if __name__ == "__main__":
    unittest.main()
