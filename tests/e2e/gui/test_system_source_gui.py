"""test_system_source_gui.py: qor-system s9 under Xvfb on a multifilesrc of two PNG images made
by ImageMagick: each image's pixels on the screen in turn, then the last one kept at the end of
the stream."""
import os
import subprocess
import unittest

from harness import Running, Xvfb, read_stats, workdir
from viewer_gui import SCREEN_H, SCREEN_W, probe

W, H = 321, 240              # odd: the source pads its rows, the screen must not show it
DARK, BRIGHT = 40, 200
FRAME = "LineSize:%d\n" % W  # printed by every read of a frame


def level(p):
    return sum(p) / 3.0


class SourceImages(unittest.TestCase):
    def setUp(self):
        self.dir = workdir(self.id())
        # Image 0: dark left half, bright right half. Image 1: bright top half, dark bottom.
        for name, draw in [("img0", "rectangle %d,0 %d,%d" % (W // 2, W - 1, H - 1)),
                           ("img1", "rectangle 0,0 %d,%d" % (W - 1, H // 2 - 1))]:
            subprocess.run(["convert", "-size", "%dx%d" % (W, H), "xc:gray(%d)" % DARK,
                            "-fill", "gray(%d)" % BRIGHT, "-draw", draw, "-depth", "8",
                            "-colorspace", "Gray", os.path.join(self.dir, name + ".png")],
                           check=True, timeout=30)

    def assert_image(self, img, bright):
        """The frame sits at (1, 1); bright(x, y) says which half of the image is bright."""
        for y in range(20, H - 5, 17):
            for x in range(5, W - 5, 23):
                want = BRIGHT if bright(x, y) else DARK
                self.assertAlmostEqual(level(img.pixel(x + 1, y + 1)), want, delta=8,
                                       msg="image pixel %d,%d" % (x, y))

    def test_two_images_then_the_last_one_kept(self):
        stats = os.path.join(self.dir, "stats.json")
        source = ("multifilesrc location=%s/img%%d.png index=0 stop-index=1 "
                  "caps=image/png,framerate=1/3 ! pngdec" % self.dir)
        with Xvfb(SCREEN_W, SCREEN_H) as x:
            run = Running("qor-system", ["s9"], display=x.display,
                          env={"QORSIM_SOURCE": source, "QORSIM_STATS": stats})
            try:
                run.wait_output(FRAME, timeout=60)
                # The frame reaches the screen after its console lines: a probe waits a pass.
                probe(x, run)
                shot = x.screenshot(os.path.join(self.dir, "first.png"))
                self.assertEqual(run.stdout.count(FRAME), 1, "the second image came early")
                self.assert_image(shot, lambda xx, yy: xx >= W // 2)

                run.wait_output(lambda o: o.count(FRAME) >= 2, timeout=60, what="2 frames")
                probe(x, run)
                self.assert_image(x.screenshot(os.path.join(self.dir, "second.png")),
                                  lambda xx, yy: yy < H // 2)
                # The end of the stream: waits time out, the last image stays on the screen.
                out = probe(x, run)
                self.assertEqual(out.count(FRAME), 2)
                self.assert_image(x.screenshot(os.path.join(self.dir, "kept.png")),
                                  lambda xx, yy: yy < H // 2)
                x.keys("Escape")
                rc = run.wait_exit(60)
            finally:
                run.kill()
        self.assertEqual(rc, 0, run.stdout)
        s = read_stats(stats)
        self.assertEqual((s["frames_delivered"], s["frames_dropped"]), (2, 0))


if __name__ == "__main__":
    unittest.main()
