"""test_inspect_objtree.py: qor-objtree's whole transcript, exit code and library calls."""
import re
import unittest

import harness
import inspect_cases as ic


class TreeTest(unittest.TestCase):
    def test_tree(self):
        r = harness.run("qor-objtree")
        self.assertEqual((ic.objtree_transcript(), 0), (r.stdout, r.rc), r)

    def test_arguments_are_ignored(self):
        for args in (["-?"], ["-x"], ["-c", "Camera"], ["", "two words"]):
            with self.subTest(args=args):
                r = harness.run("qor-objtree", args)
                self.assertEqual((ic.objtree_transcript(), 0), (r.stdout, r.rc), r)

    def test_calls(self):
        trace = ic.trace_path(self)
        r = harness.run("qor-objtree", ["ignored"], env={"QORSIM_TRACE": trace})
        self.assertEqual(0, r.rc, r)
        lines = harness.read_trace(trace)
        self.assertEqual([
            "Init(ptr) -> 0",
            "StrAlloc(ptr, 200000, null) -> 0",
            "ObjTreeSprintf(ptr, 4294967295, 3) -> 0",
            "Str2CStr(ptr)",
            "StrFree(ptr) -> 0",
            "Exit(ptr) -> 0",
        ], [l.split(" -> ")[0] if l.startswith("Str2CStr(") else l for l in lines])
        self.assertTrue(lines[3].startswith('Str2CStr(ptr) -> "[1] Library QorSimLibrary'),
                        lines[3])


class NoTreeTextTest(unittest.TestCase):
    """Statuses after Init are not examined: whatever text the string holds is printed, and
    nothing when it holds none."""

    def test_failures_after_init(self):
        cases = [
            ("StrAlloc=1", ""),           # no buffer at all
            ("StrAlloc=0", ""),           # success claimed, no buffer made
            ("ObjTreeSprintf=1", ""),     # buffer left as allocated
            ("Str2CStr=0", ""),           # no text pointer
            # A text without a final newline runs into the shutdown message.
            ("Str2CStr=1", "Injected text"),
            ("StrFree=1,Exit=5", None),
        ]
        for faults, text in cases:
            with self.subTest(faults=faults):
                r = harness.run("qor-objtree", env={"QORSIM_FAULTS": faults})
                self.assertEqual((ic.objtree_transcript(text), 0), (r.stdout, r.rc), r)


class InitFailureTest(unittest.TestCase):
    def test_init_failures(self):
        cases = [
            ("Init=5", ic.injected("Init", 5)),
            ("Init#1=3,ObjTreeSprintf", (303, 'QORSIM_FAULTS: malformed entry '
                                               '"ObjTreeSprintf": no \'=\'')),
        ]
        for faults, (code, message) in cases:
            with self.subTest(faults=faults):
                r = harness.run("qor-objtree", ["-x"], env={"QORSIM_FAULTS": faults})
                self.assertRegex(r.stdout, "^" + re.escape("Init QOR-VOZ3: ")
                                 + ic.report_pattern(code, message)
                                 + re.escape(ic.FAILED_SHUTDOWN) + r"\Z")
                self.assertEqual(1, r.rc, r)


if __name__ == "__main__":
    unittest.main()
