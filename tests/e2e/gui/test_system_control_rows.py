"""test_system_control_rows.py: the control rows of qor-system s1 on a real screen (Xvfb):
selection colours across the whole row, and the output interface's data type scrolling with the
rest of its row kept clear."""
import os
import time
import unittest

from harness import Running, Xvfb, workdir
from viewer_gui import FRAME, LINE_HEIGHT, SCREEN_H, SCREEN_W, black, probe, white

ROWS = 15                     # system 1: 12 from the lists, the output interface, 2 input controls
FIRST_ROW_Y = SCREEN_H - ROWS * LINE_HEIGHT
OUT_ROW = 12                  # "OUTINTERFACE0"
LABEL_W = 23 * 8              # "  %-20s:"


def row_y(index):
    return FIRST_ROW_Y + index * LINE_HEIGHT


class ControlRowsTest(unittest.TestCase):
    def setUp(self):
        self.dir = workdir(self.id())
        self.shots = 0

    def shot(self, x):
        """The screen, kept as a PNG beside the test's other files."""
        self.shots += 1
        return x.screenshot(os.path.join(self.dir, "shot%02d.png" % self.shots))

    def band(self, img, index, x0, x1):
        y = row_y(index)
        return [img.pixel(px, py) for py in range(y, y + 8) for px in range(x0, x1)]

    def test_selection_colours_and_scrolling_data_type(self):
        with Xvfb(SCREEN_W, SCREEN_H) as x:
            run = Running("qor-system", ["s1"], display=x.display)
            try:
                out = run.wait_output(lambda o: o.count(FRAME) >= 3, what="3 frames")
                self.assertIn("QorVoz3SystemGetOutDInterface: OK", out)
                self.assertIn("QORLIB3_CINTERFACE_INPUT_CONTROL[2]: Not present\n", out)
                # Single-step: no image is drawn over the rows while the checks run.
                x.keys("F3")
                probe(x, run)

                # Row 0 (TestPattern) selected: black on white, its blanks paint the whole row
                # white; row 4 (Gain) white on black with its blanks black.
                img = self.shot(x)
                selected = self.band(img, 0, 0, SCREEN_W)
                self.assertTrue(any(black(p) for p in selected), "selected row text")
                self.assertTrue(all(white(p) for p in self.band(img, 0, 300, SCREEN_W)),
                                "selected row's blanks")
                self.assertTrue(any(white(p) for p in self.band(img, 4, 0, 200)), "row text")
                self.assertTrue(all(black(p) for p in self.band(img, 4, 400, 750)),
                                "unselected row's blanks")

                # The data type text (85 characters, 8 too many beside the label) moves under a
                # still label. Its end comes into view for the last four of its 13 positions;
                # in three of them the text ends two cells or more before the screen's edge,
                # and whatever an earlier pass drew there must be gone.
                label = self.band(img, OUT_ROW, 0, LABEL_W)
                self.assertTrue(any(white(p) for p in label), "label drawn")
                texts, cleared_end = set(), False
                deadline = time.monotonic() + 20
                while (len(texts) < 3 or not cleared_end) and time.monotonic() < deadline:
                    img = self.shot(x)
                    self.assertEqual(label, self.band(img, OUT_ROW, 0, LABEL_W), "label still")
                    texts.add(bytes(v for p in self.band(img, OUT_ROW, LABEL_W, SCREEN_W)
                                    for v in p))
                    tail = self.band(img, OUT_ROW, SCREEN_W - 16, SCREEN_W)
                    cleared_end = cleared_end or all(black(p) for p in tail)
                self.assertGreaterEqual(len(texts), 3, "the text moves")
                self.assertTrue(cleared_end, "the row is clear after the text's end")

                # Selection moved down to the output interface row: it turns black on white.
                x.keys(*(["Down"] * OUT_ROW))
                probe(x, run)
                img = self.shot(x)
                self.assertTrue(all(black(p) for p in self.band(img, 0, 300, 750)),
                                "row 0 no longer selected")
                row = self.band(img, OUT_ROW, 0, SCREEN_W)
                self.assertTrue(any(black(p) for p in row) and any(white(p) for p in row))
                self.assertTrue(all(white(p) for p in self.band(img, OUT_ROW, 0, 8)),
                                "selection background from x 0")

                x.keys("Escape")
                self.assertEqual(run.wait_exit(), 0, run.stdout)
            finally:
                run.kill()


if __name__ == "__main__":
    unittest.main()
