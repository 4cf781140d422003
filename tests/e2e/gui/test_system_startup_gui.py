"""test_system_startup_gui.py: qor-system's graphics start and shutdown under a private X server."""
import os
import re
import unittest

import harness
from system_startup_expect import TREE, colours, normalise, run_viewer, s1_startup

FRAME = "!" * 21 + "LineSize:640\n"
MODE_OK = re.compile(r"Mode \([^\n]*\.\.\.OK\n")


def gfx(mode_text, mode_line):
    return "Enable GFX mode  VideoMode:%s\n%s" % (mode_text, mode_line)


class GraphicsStart(unittest.TestCase):
    def run_to_escape(self, x, args, env=None):
        """Runs the viewer until it has shown a frame, then ends it with ESC."""
        r = harness.Running("qor-system", args, env=env, display=x.display)
        try:
            r.wait_output(FRAME, timeout=60)
            x.keys("Escape")
            rc = r.wait_exit(60)
        finally:
            r.kill()
        return rc, normalise(r.stdout)

    def test_system1_from_start_to_escape(self):
        d = harness.workdir(self.id())
        trace = os.path.join(d, "trace")
        with harness.Xvfb() as x:
            rc, out = self.run_to_escape(x, ["s1"], env={"QORSIM_TRACE": trace})
        start = (s1_startup() +
                 gfx("800x600 GRAY_FULL", "Mode (800x600x8) GFX_AUTODETECT...OK\n") +
                 "**INPUT_STATE_ALLOC_BUFFERS**\nCompareResult=0\n")
        self.assertRegex(out, "^" + re.escape(start) + "(" + re.escape(FRAME) + ")+" +
                         re.escape(TREE + "Destroy system:OK\n") + "$")
        self.assertEqual(rc, 0, out)
        calls = harness.read_trace(trace)
        self.assertEqual(calls[-2:], ["SystemDestroy(16, ptr) -> 0", "Exit(ptr) -> 0"])

    def test_mode_letters_pick_the_mode_entered(self):
        cases = [
            (["o640-480-cw"], "640x480 COLOR_WIN", "Mode (640x480x8) GFX_AUTODETECT_WINDOWED...OK\n"),
            (["o800-600-CG"], "800x600 GRAY_FULL", "Mode (800x600x8) GFX_AUTODETECT...OK\n"),
            (["o800-600-W", "o1024-768-f"], "1024x768 GRAY_FULL",
             "Mode (1024x768x8) GFX_AUTODETECT...OK\n"),
            (["o640-480-c"], "640x480 COLOR_FULL", "Mode (640x480x24) GFX_AUTODETECT...OK\n"),
        ]
        with harness.Xvfb() as x:
            for args, text, line in cases:
                with self.subTest(args=args):
                    r = harness.Running("qor-system", ["s1"] + args, display=x.display)
                    try:
                        out = r.wait_output(MODE_OK, timeout=60)
                        x.keys("Escape")
                        rc = r.wait_exit(60)
                    finally:
                        r.kill()
                    self.assertIn(gfx(text, line), out)
                    self.assertTrue(r.stdout.endswith(TREE + "Destroy system:OK\n"), r.stdout)
                    self.assertEqual(rc, 0, r.stdout)


class LoopFailure(unittest.TestCase):
    def test_failure_in_the_loop_is_reported_at_shutdown(self):
        # The first pass asks whether data is ready; its failure ends the loop. The report
        # comes after text mode, tree and Allegro's exit, and a clean shutdown still exits 0.
        with harness.Xvfb() as x:
            r = run_viewer(["s1"], env={"QORSIM_FAULTS": "InDInterfaceQueryReady=5"},
                           display=x.display)
        self.assertEqual(normalise(r.stdout),
                         s1_startup() +
                         gfx("800x600 GRAY_FULL", "Mode (800x600x8) GFX_AUTODETECT...OK\n") +
                         TREE + "<REPORT 5>Destroy system:OK\n", r)
        self.assertEqual(r.rc, 0, r)


class Colours(unittest.TestCase):
    """The grey palette in 8-bit modes (white text and the white selected row, nothing but
    greys); yellow text and a dark cyan selected row in the other depths."""

    def test_colour_slots_per_depth(self):
        WHITE, BLACK, YELLOW, CYAN = (255, 255, 255), (0, 0, 0), (255, 255, 0), (0, 127, 127)
        cases = [
            ([], FRAME * 3, {WHITE, BLACK}, {YELLOW, CYAN}),
            (["o800-600-c"], "!" * 63, {WHITE, BLACK, YELLOW, CYAN}, set()),
        ]
        with harness.Xvfb() as x:
            for args, shown, present, absent in cases:
                with self.subTest(args=args):
                    r = harness.Running("qor-system", ["s1"] + args, display=x.display)
                    try:
                        r.wait_output(shown, timeout=60)
                        # The drawing reaches the server when Allegro's thread flushes the
                        # connection, which a loaded machine can hold back past the console line.
                        seen = harness.wait_for(
                            lambda: (lambda c: c if present <= c else None)(
                                colours(x.screenshot())),
                            timeout=30, what="the colours %s" % sorted(present))
                        x.keys("Escape")
                        self.assertEqual(r.wait_exit(60), 0, r.stdout)
                    finally:
                        r.kill()
                    self.assertEqual(present - seen, set())
                    self.assertEqual(absent & seen, set())
                    if not args:
                        self.assertEqual({c for c in seen if len(set(c)) != 1}, set())


class GraphicsFailures(unittest.TestCase):
    """Without a graphics mode or a display buffer the loop cannot run: a one-line reason,
    the shutdown with text mode and Allegro's exit, and exit status -1."""

    def test_failures_skip_the_loop(self):
        cases = [
            # A screen whose pixel memory overflows Allegro's int sizes is refused, not tried.
            (["o30000-30000"], {},
             gfx("30000x30000 GRAY_FULL", "Mode (30000x30000x8) GFX_AUTODETECT...Not awailable\n"
                 "Unable setup video mode.\n")),
        ] + [
            # A side of 0, or one that X's 16 bits make 0, made Allegro's X11 driver abort the
            # process (both 0 is the driver's default size).
            (["o%s-%s" % size], {},
             gfx("%sx%s GRAY_FULL" % size, "Mode (%sx%sx8) GFX_AUTODETECT...Not awailable\n"
                 "Unable setup video mode.\n" % size))
            for size in [("0", "600"), ("640", "0"), ("4294967295", "0"), ("65536", "10"),
                         ("10", "131072")]
        ] + [
            # The fifth header is the display buffer's.
            ([], {"QORSIM_FAULTS": "DataheaderCreate#5=308"},
             gfx("800x600 GRAY_FULL", "Mode (800x600x8) GFX_AUTODETECT...OK\n"
                 "Unable to create the display buffer.\n")),
        ]
        with harness.Xvfb() as x:
            for args, env, graphics in cases:
                with self.subTest(args=args, env=env):
                    r = run_viewer(["s1"] + args, env=env, display=x.display)
                    self.assertEqual(normalise(r.stdout),
                                     s1_startup() + graphics + TREE + "Destroy system:OK\n", r)
                    self.assertEqual(r.rc, 255, r)


if __name__ == "__main__":
    unittest.main()
