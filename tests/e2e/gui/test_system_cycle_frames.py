"""test_system_cycle_frames.py: qor-system on system 1 under Xvfb: frames in their one-pixel
frame, stretching, histogram bars on a frozen frame, single-step with ENTER."""
import os
import unittest

from harness import Running, Xvfb, workdir
from viewer_gui import FRAME, LINE_HEIGHT, SCREEN_H, SCREEN_W, black, control_rows, probe, white


class FramesTest(unittest.TestCase):
    def setUp(self):
        self.dir = workdir(self.id())

    def shot(self, x, name):
        return x.screenshot(os.path.join(self.dir, name + ".png"))

    def frames_after(self, run, mark, count):
        run.wait_output(lambda o: o[mark:].count(FRAME) >= count,
                        what="%d frames after the mark" % count)

    def assert_framed(self, img, top, cleared_outside=True):
        for y in range(40, top - 10, 23):
            self.assertTrue(white(img.pixel(0, y)), "left frame at y %d" % y)
            self.assertTrue(white(img.pixel(641, y)), "right frame at y %d" % y)
            for xx in range(650, SCREEN_W, 37) if cleared_outside else ():
                self.assertTrue(black(img.pixel(xx, y)), "outside the frame at %d,%d" % (xx, y))
        self.assertTrue(white(img.pixel(641, 0)) and white(img.pixel(630, 0)), "top frame row")
        # The gradient pattern (x + y + n) & 255 read 1:1 at (1, 1): equal along anti-diagonals.
        for y in range(60, top - 20, 31):
            for xx in range(300, 630, 47):
                self.assertEqual(img.pixel(xx, y), img.pixel(xx + 1, y - 1), "at %d,%d" % (xx, y))

    def assert_stretched(self, img, top):
        lit = sum(not black(img.pixel(xx, y)) for y in range(40, top - 10, 23)
                  for xx in range(650, SCREEN_W, 37))
        self.assertGreater(lit, 20, "the image reaches the right edge")

    def assert_bars(self, img, top):
        for xx in range(0, 256, 5):
            self.assertTrue(white(img.pixel(xx, top - 2)) and white(img.pixel(xx, top - 120)),
                            "bar at x %d" % xx)
            self.assertTrue(any(black(img.pixel(xx, y)) for y in range(top - 280, top - 230)),
                            "cleared band above the bar at x %d" % xx)

    def test_frames_stretch_histogram_and_single_step(self):
        with Xvfb(SCREEN_W, SCREEN_H) as x:
            run = Running("qor-system", ["s1"], display=x.display)
            try:
                run.wait_output(lambda o: o.count(FRAME) >= 3, what="3 frames")
                top = SCREEN_H - (control_rows(run.stdout) + 4) * LINE_HEIGHT
                self.frames_after(run, len(run.stdout), 2)
                self.assert_framed(self.shot(x, "framed"), top)

                x.keys("s")
                self.frames_after(run, len(probe(x, run)), 2)
                self.assert_stretched(self.shot(x, "stretched"), top)
                x.keys("s")
                self.frames_after(run, len(probe(x, run)), 2)
                # Nothing clears what stretching left beside the frame: no back buffer.
                self.assert_framed(self.shot(x, "framed_again"), top, cleared_outside=False)

                # Stop the input (D on the first INPUT_CONTROL row), so that nothing arrives
                # unasked; histogram and single step on; SPACE triggers exactly one frame.
                row = control_rows(run.stdout) - 2
                x.keys(*(["Down"] * row))
                x.keys("d", "F4", "F3")
                out = probe(x, run)
                x.keys("space")
                self.frames_after(run, len(out), 1)
                x.keys("e")   # frames flow again, but the cycle waits for ENTER
                out = probe(x, run)
                paused = probe(x, run)
                self.assertEqual(paused[len(out):].count(FRAME), 0, "stopped after one frame")
                frozen = self.shot(x, "frozen")
                out = probe(x, run)
                again = self.shot(x, "frozen_again")
                self.assertEqual(out[len(paused):].count(FRAME), 0)
                self.assert_bars(frozen, top)
                for y in range(40, top - 10, 13):
                    for xx in range(260, 640, 11):
                        self.assertEqual(frozen.pixel(xx, y), again.pixel(xx, y),
                                         "frozen image at %d,%d" % (xx, y))

                x.keys("Return")
                self.frames_after(run, len(out), 1)
                probe(x, run)
                after = probe(x, run)
                self.assertEqual(after[len(out):].count(FRAME), 1, "ENTER reads one frame")

                x.keys("Escape")
                self.assertEqual(run.wait_exit(30), 0, run.stdout)
                self.assertTrue(run.stdout.endswith("Destroy system:OK\n"), run.stdout[-300:])
            finally:
                run.kill()


if __name__ == "__main__":
    unittest.main()
