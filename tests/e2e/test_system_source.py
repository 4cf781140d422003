"""test_system_source.py: qor-system on system 9 without a display: listed only while
QORSIM_SOURCE is set, and a bad description ends the start-up with the report and -1."""
import re
import unittest

from system_startup_expect import normalise, run_viewer

REPORT_LINE = re.compile(r"QORLIB3 Error: (\d+) - ([^\n]*)\n")


class SystemNine(unittest.TestCase):
    def test_listed_only_while_the_variable_is_set(self):
        # The system dialogue, answered with a bad id and then no more input.
        for source, listed in [(None, False), ("videotestsrc", True)]:
            with self.subTest(source=source):
                env = {"QORSIM_SOURCE": source} if source else {}
                r = run_viewer([], env=env, stdin="9\n")
                self.assertIn("SimLineScan         : 8\n", r.stdout, r)
                self.assertEqual("SimSource           : 9\n" in r.stdout, listed, r)
                self.assertEqual("Bad ID !!!\n" in r.stdout, not listed, r)
        r = run_viewer(["s9"])
        self.assertTrue(normalise(r.stdout).startswith(
            "Init QOR-VOZ3:OK\nCreate system [unknown]: <REPORT 310>"), r)
        self.assertEqual(r.rc, 255, r)

    def test_bad_descriptions_end_with_the_report(self):
        cases = [
            # does not parse, names a missing element: creation fails
            ("videotestsrc ! ! identity", "Create system [SimSource]: ", "syntax error"),
            ("nosuchelement_qor", "Create system [SimSource]: ",
             'no element "nosuchelement_qor"'),
            # parses, but the source cannot start: initialisation fails
            ("multifilesrc location=/nonexistent/qor%d.png caps=image/png ! pngdec",
             "Init system:ERR\n", '"/nonexistent/qor0.png"'),
        ]
        for source, step, words in cases:
            with self.subTest(source=source):
                r = run_viewer(["s9"], env={"QORSIM_SOURCE": source}, timeout=120)
                out = normalise(r.stdout)
                self.assertIn(step + "<REPORT 1>", out, r)
                m = REPORT_LINE.search(r.stdout)
                self.assertIsNotNone(m, r)
                self.assertIn("GStreamer: ", m.group(2))
                self.assertIn(words, m.group(2))
                self.assertEqual(r.rc, 255, r)


if __name__ == "__main__":
    unittest.main()
