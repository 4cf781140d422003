"""test_system_overlay_gui.py: what qor-system draws over and beside the frame under Xvfb:
attribute lines in the image and on the screen, frame-rate text, single-step prompt, the bars'
cleared band and the status block filling the bottom of the screen."""
import os
import unittest

from harness import Running, Xvfb, read_trace, workdir
from viewer_gui import ALLOC, FRAME, LINE_HEIGHT, SCREEN_H, SCREEN_W, control_rows, probe

PROMPT = "Press enter for next frame..."


def kinds(img, x0, y0, x1, y1):
    """The set of 'white', 'black' and 'grey' found in [x0, x1) x [y0, y1)."""
    found = set()
    for y in range(y0, y1):
        for x in range(x0, x1):
            p = img.pixel(x, y)
            found.add("white" if min(p) >= 240 else "black" if max(p) <= 15 else "grey")
    return found


class OverlayTest(unittest.TestCase):
    def setUp(self):
        self.dir = workdir(self.id())

    def reread(self, x, run):
        """V, then waits for the allocation it causes and a frame read after it. With single
        step on, the cycle is paused after that frame whatever state V found it in; sending
        nothing until then keeps another key from sending the cycle back to waiting."""
        mark = len(run.stdout)
        x.keys("v")

        def read_after_alloc(o):
            i = o.find(ALLOC, mark)
            return i >= 0 and FRAME in o[i:]
        run.wait_output(read_after_alloc, what="a frame after the allocation")

    def frozen(self, x, run, name):
        """A screenshot once the single-stepped cycle has stopped taking frames."""
        out = probe(x, run)
        later = probe(x, run)
        self.assertEqual(later[len(out):].count(FRAME), 0, "no frame while paused")
        return x.screenshot(os.path.join(self.dir, name + ".png"))

    def assert_text(self, shot, x0, y0, x1, y1, what):
        """A text cell row: drawn white on black over whatever was there."""
        self.assertEqual(kinds(shot, x0, y0, x1, y1), {"white", "black"}, what)

    def assert_bar_edges(self, shot, top):
        """Each bar: white from the status line up, then at least 20 cleared rows."""
        for x in range(0, 256, 3):
            y = top - 1
            while y > top - 257 and min(shot.pixel(x, y)) >= 240:
                y -= 1
            self.assertGreater(top - 1 - y, 60, "bar at x %d is tall" % x)
            self.assertTrue(all(max(shot.pixel(x, yy)) <= 15 for yy in range(y - 19, y + 1)),
                            "cleared band above the bar at x %d (top of bar %d)" % (x, y))

    def test_overlay_over_a_paused_frame_and_in_attribute_view(self):
        with Xvfb(SCREEN_W, SCREEN_H) as x:
            run = Running("qor-system", ["s1"], display=x.display)
            try:
                run.wait_output(lambda o: o.count(FRAME) >= 3, what="3 frames")
                rows = control_rows(run.stdout)
                top = SCREEN_H - (rows + 4) * LINE_HEIGHT
                self.assertGreater(top, 256 + 40, "room for the bars")

                # Histogram on while frames come, then single step. Whether the frame after F3
                # came before the probe cannot be told from the output, so two V (attribute
                # view on and off again) each read one frame that surely pauses.
                x.keys("F4")
                out = probe(x, run)
                run.wait_output(lambda o: o[len(out):].count(FRAME) >= 2, what="2 frames")
                x.keys("F3")
                probe(x, run)
                self.reread(x, run)
                self.reread(x, run)
                shot = self.frozen(x, run, "paused")

                # "Total 3 attribute" and three attribute lines, written into the image (which
                # sits at (1, 1)); below them the image itself.
                for i in range(4):
                    self.assert_text(shot, 1, 1 + 10 * i, 49, 9 + 10 * i, "attribute line %d" % i)
                self.assertIn("grey", kinds(shot, 1, 41, 49, 49), "image below the attributes")
                # Frame rate and the constant dT line, right-aligned in the top-right corner.
                self.assertIn("white", kinds(shot, 650, 1, SCREEN_W, 9), "FPS text")
                self.assertIn("white", kinds(shot, 700, 11, SCREEN_W, 19), "dT text")
                self.assertEqual(kinds(shot, 650, 21, SCREEN_W, 31), {"black"})
                # The prompt starts at the centre, colour 255 on 0 over the grey image.
                self.assert_text(shot, SCREEN_W // 2, SCREEN_H // 2,
                                 SCREEN_W // 2 + 8 * len(PROMPT), SCREEN_H // 2 + 8, "prompt")
                # Four status lines from the overlay top, then the rows down to the bottom.
                for i in range(4):
                    y = top + i * LINE_HEIGHT
                    self.assert_text(shot, 0, y, 56, y + 8, "status line %d" % i)
                last = SCREEN_H - LINE_HEIGHT   # "  INPUT_CONTROL       :"
                self.assert_text(shot, 16, last, 16 + 8 * 13, last + 8, "last control row")
                self.assert_bar_edges(shot, top)

                # Attribute view: the buffers are made anew, the screen cleared, and the next
                # frame's attribute lines go on the screen at (0, 0) with no image.
                self.reread(x, run)
                shot = self.frozen(x, run, "attribute_view")
                for i in range(4):
                    self.assert_text(shot, 0, 10 * i, 48, 8 + 10 * i, "attribute line %d" % i)
                self.assertEqual(kinds(shot, 0, 40, 260, top - 280), {"black"}, "no image")
                self.assertEqual(kinds(shot, 260, 40, 650, 290), {"black"}, "no image, no frame")

                x.keys("Escape")
                self.assertEqual(run.wait_exit(30), 0, run.stdout[-500:])
            finally:
                run.kill()

    def blocks(self, trace):
        """The calls of each block, from BeginBlock to EndBlock, without the row transfers."""
        found, block = [], None
        for line in trace:
            name = line.split("(", 1)[0]
            if name == "InDInterfaceBeginBlock":
                block = []
            elif name == "InDInterfaceEndBlock" and block is not None:
                found.append(block)
                block = None
            elif block is not None and name not in ("InDInterfaceTransfer",
                                                    "InDInterfacePIOTransfer"):
                block.append(line)
        return found

    def test_attribute_calls_in_order_and_their_failures_do_not_stop_the_frames(self):
        trace = os.path.join(self.dir, "trace.txt")
        # The second frame's total and the first attribute of the third frame are refused.
        faults = "InDInterfaceGetAddOnAtributeTotal#2=5,InDInterfaceGetAddOnAtributeNum#4=7"
        with Xvfb(SCREEN_W, SCREEN_H) as x:
            run = Running("qor-system", ["s1"], display=x.display,
                          env={"QORSIM_TRACE": trace, "QORSIM_FAULTS": faults})
            try:
                run.wait_output(lambda o: o.count(FRAME) >= 5, what="5 frames")
                x.keys("Escape")
                self.assertEqual(run.wait_exit(30), 0, run.stdout[-500:])
            finally:
                run.kill()
        self.assertNotIn("\nQORLIB3 ", run.stdout, "no error report at shutdown")
        blocks = self.blocks(read_trace(trace))
        self.assertGreaterEqual(len(blocks), 5)

        def attribute(i, status, type_name):
            num = r"InDInterfaceGetAddOnAtributeNum\(\d+, %d, ptr, ptr, ptr, ptr\) -> %d"
            return [num % (i, status),
                    r"ListGetStdList\(7\) -> \d+",
                    r"ListGetString\(\d+, \d+\) -> %s" % type_name]

        total = [r"InDInterfaceGetAddOnAtributeTotal\(\d+, ptr, ptr\) -> 0"]
        whole = total + attribute(0, 0, '"Temperature"') + attribute(1, 0, '"Angle"') + \
            attribute(2, 0, '"Ratio"')
        expected = [
            whole,
            [r"InDInterfaceGetAddOnAtributeTotal\(\d+, ptr, ptr\) -> 5"],
            total + attribute(0, 7, "null") + attribute(1, 0, '"Angle"') +
            attribute(2, 0, '"Ratio"'),
            whole,
        ]
        for n, (block, want) in enumerate(zip(blocks, expected)):
            self.assertEqual(len(block), len(want), "block %d: %s" % (n, block))
            for line, pattern in zip(block, want):
                self.assertRegex(line, "^" + pattern + "$", "block %d" % n)


if __name__ == "__main__":
    unittest.main()
