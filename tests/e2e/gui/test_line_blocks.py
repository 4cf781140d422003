"""test_line_blocks.py: qor-line under Xvfb: ten strips, the ending key, block-phase failures."""
import os
import re
import unittest

from harness import Running, Xvfb, read_stats, read_trace, wait_for, workdir
from test_line_startup import RELEASES, STARTED, framed

BLOCK_BYTES = 2048 * 256
DATA_TYPE = ("Get data type:Image, 8 bits x 524288, 2048x256, line 2048 x 256, bpp 8, "
             "format 0x10001, layout 0x20000\n    LineSize    :2048\n    LinesInBlock:256\n")
WHITE = (255, 255, 255)
# The 64 levels of the grey palette as an 8-bit display shows them.
GREYS = {(i << 2) | (i >> 4) for i in range(64)}


def row(img, y):
    return [img.pixel(x, y) for x in range(img.width)]


def names(trace):
    return [line.split("(", 1)[0] for line in trace]


class LineBlocks(unittest.TestCase):
    def start(self, x, faults=None):
        d = workdir(self.id() + "." + (faults or "plain"))
        self.trace = os.path.join(d, "trace.txt")
        self.stats = os.path.join(d, "stats.json")
        self.shot = os.path.join(d, "screen.ppm")
        env = {"QORSIM_TRACE": self.trace, "QORSIM_STATS": self.stats}
        if faults:
            env["QORSIM_FAULTS"] = faults
        p = Running("qor-line", env=env, display=x.display)
        self.addCleanup(self.stop, p)
        return p

    @staticmethod
    def stop(p):
        p.kill()
        for f in (p.proc.stdin, p.proc.stdout, p.errfile):
            f.close()

    def calls(self):
        return names(read_trace(self.trace)) if os.path.exists(self.trace) else []

    def test_ten_strips_stay_until_a_key_ends_the_program(self):
        with Xvfb(800, 600) as x:
            p = self.start(x)
            p.wait_output("LinesInBlock:256\n")
            wait_for(lambda: self.calls().count("InDInterfaceEndBlock") == 10, 30, "ten blocks")
            # The last strip's middle line is the last thing drawn.
            img = wait_for(lambda: (lambda s: s if row(s, 570) == [WHITE] * 800 else None)(
                x.screenshot()), 30, "the tenth strip on screen")
            with open(self.shot, "wb") as f:  # kept for a look when a check below fails
                f.write(b"P6 %d %d 255\n" % (img.width, img.height) + img.data)
            self.assertIsNone(p.proc.poll(), "the program must wait for the key")

            self.assertEqual((800, 600), (img.width, img.height))
            for n in range(10):
                top = row(img, 60 * n)
                self.assertEqual([WHITE] * 101, top[:101], "left mark of strip %d" % n)
                self.assertEqual([WHITE] * 100, top[700:], "right mark of strip %d" % n)
                self.assertNotEqual([WHITE] * 599, top[101:700], "block data between the marks")
                self.assertEqual([WHITE] * 800, row(img, 60 * n + 30), "middle of strip %d" % n)
                for y in (60 * n + 1, 60 * n + 29, 60 * n + 31, 60 * n + 59):
                    self.assertNotEqual([WHITE] * 800, row(img, y), "data row %d" % y)
            # Every pixel is one of the palette's greys. The source's noise covers all byte
            # values evenly, so four of them to a level give all 64 levels and white only for
            # the top four bytes (a sixty-fourth of the data rows).
            levels = {img.data[i:i + 3] for i in range(0, len(img.data), 3)}
            self.assertTrue(all(r == g == b and r in GREYS for r, g, b in levels), levels)
            self.assertEqual(64, len(levels))
            data = [p for y in range(600) if y % 30 for p in row(img, y)]
            self.assertLess(data.count(WHITE) / len(data), 0.03)

            x.keys("space")
            self.assertEqual(0, p.wait_exit(30), p.stderr)
        self.assertEqual(STARTED + DATA_TYPE + "Cleanup...Done\n", p.stdout)

        trace = read_trace(self.trace)
        calls = names(trace)
        start = calls.index("InDInterfaceGetType")
        self.assertEqual(["InDInterfaceGetType", "DataPrintf", "DataheaderGetU32",
                          "DataheaderGetU32"], calls[start:start + 4])
        # Each block: the readiness test with at most one wait, then one transfer of the block.
        blocks = " ".join(calls[start + 4:-len(RELEASES)])
        one = (r"InDInterfaceQueryReady (?:InDInterfaceWait )?InDInterfaceQueryReady "
               r"InDInterfaceBeginBlock InDInterfaceTransfer InDInterfaceEndBlock")
        self.assertRegex(blocks, r"^(?:%s ){9}%s$" % (one, one))
        self.assertEqual(list(RELEASES), calls[-len(RELEASES):])
        transfers = [t for t in trace if t.startswith("InDInterfaceTransfer(")]
        self.assertEqual(10, len(transfers))
        for t in transfers:
            self.assertRegex(t, r"^InDInterfaceTransfer\(\d+, ptr, %d, ptr, ptr\) -> 0$"
                             % BLOCK_BYTES)
        stats = read_stats(self.stats)
        self.assertEqual((10, 10, 10, 10 * BLOCK_BYTES),
                         (stats["frames_delivered"], stats["blocks_begun"], stats["blocks_ended"],
                          stats["bytes_transferred"]))

    def test_failing_wait_ends_with_the_report(self):
        # The line-scan source is never ready at its first query, so the first block waits.
        with Xvfb(800, 600) as x:
            for code in (1202, 208, 1):
                with self.subTest(code=code):
                    p = self.start(x, "InDInterfaceWait=%d" % code)
                    self.assertEqual(255, p.wait_exit(30))
                    self.assertRegex(p.stdout, "^" + re.escape(STARTED + DATA_TYPE)
                                     + framed("InDInterfaceWait", code)
                                     + re.escape("Cleanup...Done\n") + r"\Z")
                    calls = self.calls()
                    self.assertNotIn("InDInterfaceBeginBlock", calls)
                    wait = calls.index("InDInterfaceWait")
                    self.assertEqual(["ListGetStdList", "ErrorSPrintf"] + list(RELEASES),
                                     calls[wait + 1:])

    def test_failing_block_call_ends_with_the_report(self):
        # (fault, what is printed before "Error", the failing call, blocks read before it)
        type_line = DATA_TYPE.split("\n", 1)[0] + "\n"
        cases = [
            ("InDInterfaceGetType=301", "Get data type:", "InDInterfaceGetType", 0),
            ("DataheaderGetU32#1=309", type_line, "DataheaderGetU32", 0),
            ("DataheaderGetU32#2=309", type_line, "DataheaderGetU32", 0),
            ("InDInterfaceQueryReady#3=1", DATA_TYPE, "InDInterfaceQueryReady", 1),
            ("InDInterfaceBeginBlock#3=1", DATA_TYPE, "InDInterfaceBeginBlock", 2),
            ("InDInterfaceTransfer#2=1", DATA_TYPE, "InDInterfaceTransfer", 1),
            ("InDInterfaceEndBlock#10=1", DATA_TYPE, "InDInterfaceEndBlock", 9),
        ]
        with Xvfb(800, 600) as x:
            for fault, printed, operation, blocks in cases:
                with self.subTest(fault=fault):
                    p = self.start(x, fault)
                    self.assertEqual(255, p.wait_exit(30), p.stderr)
                    code = int(fault.rsplit("=", 1)[1])
                    self.assertRegex(p.stdout, "^" + re.escape(STARTED + printed)
                                     + framed(operation, code)
                                     + re.escape("Cleanup...Done\n") + r"\Z")
                    calls = self.calls()
                    ended = [t for t in read_trace(self.trace)
                             if t.startswith("InDInterfaceEndBlock(") and t.endswith("-> 0")]
                    self.assertEqual(blocks, len(ended))
                    failed = max(i for i, n in enumerate(calls) if n == operation)
                    self.assertEqual(["ListGetStdList", "ErrorSPrintf"] + list(RELEASES),
                                     calls[failed + 1:])

    def test_nothing_ready_after_the_wait(self):
        with Xvfb(800, 600) as x:
            p = self.start(x, "InDInterfaceWait=0")
            self.assertEqual(255, p.wait_exit(30))
        self.assertEqual(STARTED + DATA_TYPE + "Error: no data\nCleanup...Done\n", p.stdout)
        calls = self.calls()
        start = calls.index("DataheaderGetU32")
        self.assertEqual(["DataheaderGetU32", "InDInterfaceQueryReady", "InDInterfaceWait",
                          "InDInterfaceQueryReady"] + list(RELEASES), calls[start + 1:])


if __name__ == "__main__":
    unittest.main()
