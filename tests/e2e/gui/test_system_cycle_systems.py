"""test_system_cycle_systems.py: qor-system's transport paths on systems 2 to 5 under Xvfb, and
a library failure inside the loop reported at shutdown with exit status 0."""
import os
import re
import unittest

from harness import Running, Xvfb, read_trace, workdir
from viewer_gui import ALLOC, SCREEN_H, SCREEN_W


class SystemsTest(unittest.TestCase):
    def setUp(self):
        self.dir = workdir(self.id())

    def session(self, x, name, args, until, env=None):
        """Runs the viewer until the output meets `until` (a predicate and its name), leaves
        with ESC; returns the output and the call trace."""
        trace = os.path.join(self.dir, name + ".trace")
        run = Running("qor-system", args, display=x.display,
                      env=dict(env or {}, QORSIM_TRACE=trace))
        try:
            run.wait_output(until[0], what=until[1])
            x.keys("Escape")
            self.assertEqual(run.wait_exit(30), 0, run.stdout[-2000:])
        finally:
            run.kill()
        self.assertTrue(run.stdout.endswith("Destroy system:OK\n"), run.stdout[-500:])
        return run.stdout, read_trace(trace)

    @staticmethod
    def transfers(trace, size):
        return [l for l in trace
                if l.startswith("InDInterfaceTransfer(") and ", %d, " % size in l]

    def test_transport_paths(self):
        frames = lambda marker, n: (lambda o: o.count(marker) >= n, "%d x %r" % (n, marker))
        with Xvfb(SCREEN_W, SCREEN_H) as x:
            # Raw 8-bit input on the 8-bit screen: the headers differ in pixel format only, and
            # the rows still go straight into the bitmap.
            out, trace = self.session(x, "raw8", ["s2", "-FrameRate=100"],
                                      frames("LineSize:1024\n", 2))
            self.assertIn("CompareResult=32\n", out)
            self.assertGreaterEqual(len(self.transfers(trace, 1024)), 768)

            # 16-bit input goes whole into the transfer buffer; nothing is read row by row.
            out, trace = self.session(x, "mono16", ["s3", "-FrameRate=100"],
                                      frames(21 * "!", 3))
            self.assertIn("CompareResult=50\n", out)
            self.assertNotIn("LineSize:", out)
            self.assertGreaterEqual(len(self.transfers(trace, 640 * 480 * 2)), 2)
            self.assertEqual(len([l for l in trace if l.startswith("InDInterfaceTransfer(")]),
                             len(self.transfers(trace, 640 * 480 * 2)))

            # Colour input in the colour mode: rows straight in when the 24-bit mode was had,
            # otherwise (another depth, another layout) the whole frame into the buffer.
            out, trace = self.session(x, "colour", ["s4", "o800-600-cf", "-FrameRate=100"],
                                      frames(21 * "!", 3))
            depth = int(re.search(r"Mode \(800x600x(\d+)\) GFX_AUTODETECT\.\.\.OK", out).group(1))
            if depth == 24:
                self.assertIn("CompareResult=0\n", out)
                self.assertIn("LineSize:1920\n", out)
                self.assertGreaterEqual(len(self.transfers(trace, 1920)), 480)
            else:
                self.assertNotIn("CompareResult=0\n", out)
                self.assertNotIn("LineSize:", out)
                self.assertGreaterEqual(len(self.transfers(trace, 640 * 480 * 3)), 2)

            # Data that is not an image: every pass asks again, nothing is read, ESC still ends.
            out, trace = self.session(x, "data", ["s5", "-FrameRate=100"], frames(ALLOC, 5))
            self.assertNotIn("CompareResult", out)
            self.assertNotIn(21 * "!", out)
            self.assertFalse([l for l in trace if l.startswith("InDInterfaceBeginBlock(")])
            self.assertNotIn("QORLIB3 ", out)

    def test_library_failure_in_the_loop_is_reported_at_shutdown(self):
        with Xvfb(SCREEN_W, SCREEN_H) as x:
            run = Running("qor-system", ["s1"], display=x.display,
                          env={"QORSIM_FAULTS": "InDInterfaceEndBlock#3=77"})
            try:
                self.assertEqual(run.wait_exit(60), 0, run.stdout[-2000:])
            finally:
                run.kill()
            out = run.stdout
            self.assertEqual(out.count(21 * "!"), 3)
            report = re.search(r"\nQORLIB3 [^\n]*: 77 - [^\n]*\n  File: ", out)
            self.assertIsNotNone(report, out[-2000:])
            self.assertGreater(report.start(), out.rindex("QOR-VOZ3 Device Tree:"))
            self.assertTrue(out.endswith("Destroy system:OK\n"), out[-500:])


if __name__ == "__main__":
    unittest.main()
