"""test_console_streams_gui.py: the two viewers with a closed standard descriptor (the X
connection or the trace file must not take its number: the keys still reach the program) and with standard output
on a full device (a failure at the end, with the program's failure status)."""
import os
import re
import subprocess
import tempfile
import unittest

import harness

TRACE_LINE = re.compile(r"^\w+\(.*\) -> ")
# program, arguments, the key that ends it, the trace line counted, how many show it is waiting.
VIEWERS = [("qor-system", ["s1"], "Escape", "InDInterfaceEndBlock", 3),
           ("qor-line", [], "space", "InDInterfaceEndBlock", 10)]


class ViewerStreams(unittest.TestCase):
    def run_viewer(self, x, name, args, key, marker, count, tag, close=None, full=False):
        """Starts the viewer, waits for its trace to show it running, sends the ending key;
        returns (rc, stderr, trace lines)."""
        trace = os.path.join(harness.workdir("%s.%s.%s" % (self.id(), name, tag)), "trace")
        preexec = (lambda: os.close(close)) if close is not None else None
        out = open("/dev/full", "w") if full else subprocess.DEVNULL
        err = tempfile.TemporaryFile()
        p = subprocess.Popen([harness.program(name)] + args, stdin=subprocess.DEVNULL,
                             stdout=None if close == 1 else out,
                             stderr=None if close == 2 else err, preexec_fn=preexec,
                             env=harness.base_env({"QORSIM_TRACE": trace}, x.display))
        try:
            def running():
                return os.path.exists(trace) and sum(
                    l.startswith(marker) for l in harness.read_trace(trace)) >= count
            harness.wait_for(lambda: running() or p.poll() is not None, 60, "the viewer's loop")
            self.assertIsNone(p.poll(), "ended before its key")
            x.keys(key)
            rc = p.wait(30)
        finally:
            if p.poll() is None:
                p.kill()
                p.wait()
            if full:
                out.close()
        err.seek(0)
        stderr = err.read().decode("latin-1")
        err.close()
        return rc, stderr, harness.read_trace(trace)

    def test_closed_descriptors_leave_the_keyboard_working(self):
        with harness.Xvfb(800, 600) as x:
            for name, args, key, marker, count in VIEWERS:
                for fd in (0, 1, 2):
                    with self.subTest(program=name, closed=fd):
                        rc, stderr, calls = self.run_viewer(x, name, args, key, marker, count,
                                                            "closed%d" % fd, close=fd)
                        self.assertEqual(rc, 0, stderr)
                        self.assertIn("Exit(ptr) -> 0", calls[-2:])
                        # Nor did the trace file take the closed number.
                        self.assertEqual([l for l in calls if not TRACE_LINE.match(l)], [])

    def test_a_full_standard_output_ends_with_the_failure_status(self):
        with harness.Xvfb(800, 600) as x:
            for name, args, key, marker, count in VIEWERS:
                with self.subTest(program=name):
                    rc, stderr, calls = self.run_viewer(x, name, args, key, marker, count,
                                                        "full", full=True)
                    self.assertEqual(rc, 255, stderr)
                    self.assertRegex(stderr, r"(^|\n)%s: cannot write to standard output" % name)
                    # The shutdown itself still ran in full.
                    self.assertIn("Exit(ptr) -> 0", calls[-2:])


if __name__ == "__main__":
    unittest.main()
