"""test_system_cycle_keys.py: qor-system's keys under Xvfb: the highlighted row, the arrows'
steps with shift and ctrl, SPACE and shift+SPACE, V, M, T and ESC, seen on screen, in the
console and in the library's call trace."""
import os
import re
import unittest

from harness import Running, Xvfb, read_trace, workdir
from viewer_gui import (ALLOC, DASHES, FRAME, LINE_HEIGHT, SCREEN_H, SCREEN_W, control_rows,
                        probe, white, xdo)

TREE = "QOR-VOZ3 Device Tree:\n"


class KeysTest(unittest.TestCase):
    def setUp(self):
        self.dir = workdir(self.id())
        self.trace = os.path.join(self.dir, "trace.txt")

    def wait_call(self, pattern, after):
        """Waits until the trace, past its first `after` lines, holds a call matching pattern;
        returns those calls."""
        found = []

        def seen(_):
            found[:] = [l for l in read_trace(self.trace)[after:] if re.match(pattern, l)]
            return bool(found)
        self.run_.wait_output(seen, what="trace line %r" % pattern)
        return found

    def highlighted(self, img, top, rows):
        """Rows drawn in the selection colours (white behind the text in 8-bit modes)."""
        return [i for i in range(rows)
                if white(img.pixel(700, top + (4 + i) * LINE_HEIGHT + 3))]

    def test_keys(self):
        with Xvfb(SCREEN_W, SCREEN_H) as x:
            run = self.run_ = Running("qor-system", ["s1"], display=x.display,
                                      env={"QORSIM_TRACE": self.trace})
            try:
                run.wait_output(lambda o: o.count(FRAME) >= 2, what="2 frames")
                out = run.stdout
                top = SCREEN_H - (control_rows(out) + 4) * LINE_HEIGHT
                gain = re.search(r"  Gain\s+0: \((\d+)\) <SCALAR>", out).group(1)
                input_control = re.search(r"INPUT_CONTROL:   Ok \((\d+)\)", out).group(1)
                transfer_control = re.search(r"TRANSFER_CONTROL:   Ok \((\d+)\)", out).group(1)
                drawn = 6   # rows 0..5 are options, drawn with text across x 700

                # UP and DOWN move the highlight and stop at the first row.
                probe(x, run)
                self.assertEqual(self.highlighted(x.screenshot(os.path.join(
                    self.dir, "row0.png")), top, drawn), [0])
                for keys, row in ((["Down", "Down"], 2), (["Up"], 1), (["Up", "Up", "Up"], 0),
                                  (["Down"] * 4, 4)):
                    x.keys(*keys)
                    probe(x, run)
                    img = x.screenshot(os.path.join(self.dir, "row%d.png" % row))
                    self.assertEqual(self.highlighted(img, top, drawn), [row], keys)

                # On the Gain row: 1, 10 with shift, 100 with ctrl, 1000 with both.
                for mods, key, delta in (((), "Right", 1), (("shift",), "Right", 10),
                                         (("ctrl",), "Right", 100),
                                         (("ctrl", "shift"), "Left", -1000)):
                    mark = len(read_trace(self.trace))
                    if mods:
                        xdo(x.display, "keydown", *mods)
                    try:
                        x.keys(key)
                        calls = self.wait_call(r"OptionRelScalar\(", mark)
                    finally:
                        if mods:
                            xdo(x.display, "keyup", *mods)
                    self.assertEqual(len(calls), 1, calls)
                    self.assertTrue(calls[0].startswith("OptionRelScalar(%s, %d, 5, " % (gain, delta)),
                                    calls[0])

                # SPACE triggers input control 0; shift+SPACE restarts the transfer.
                mark = len(read_trace(self.trace))
                x.keys("space")
                self.wait_call(r"CallCInterface_0\(%s, 2684354661, " % input_control, mark)
                mark = len(read_trace(self.trace))
                xdo(x.display, "keydown", "shift")
                try:
                    x.keys("space")
                    self.wait_call(r"CallCInterface_0\(%s, 2952790019, " % transfer_control, mark)
                finally:
                    xdo(x.display, "keyup", "shift")

                # V allocates anew (each time), M and T print. Nothing is sent after a V until
                # its allocation shows: a key after V in the same pass would send the cycle
                # back to waiting.
                before = probe(x, run)
                for n in (1, 2):
                    x.keys("v")
                    run.wait_output(lambda o: o[len(before):].count(ALLOC) >= n,
                                    what="allocation #%d after V" % n)
                x.keys("t")
                after = probe(x, run)
                run.wait_output(lambda o: o[len(after):].count(FRAME) >= 2,
                                what="frames after V")
                grown = run.stdout[len(before):]
                seen = re.findall(r"\*\*INPUT_STATE_ALLOC_BUFFERS\*\*|CompareResult=\d+|!{21}"
                                  r"|-{60}|QOR-VOZ3 Device Tree:", grown)
                self.assertEqual(grown.count(ALLOC), 2, seen)
                self.assertEqual(grown.count("CompareResult=0\n"), 2)
                self.assertEqual(grown.count(TREE), 1)
                self.assertIn("\n" + DASHES, grown)

                x.keys("Escape")
                self.assertEqual(run.wait_exit(30), 0, run.stdout[-2000:])
                self.assertTrue(run.stdout.endswith("Destroy system:OK\n"), run.stdout[-300:])
                self.assertNotIn("QORLIB3 ", run.stdout[len(after):])
            finally:
                run.kill()


if __name__ == "__main__":
    unittest.main()
