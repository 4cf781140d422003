"""test_help.py: qor-system --help / -h and qor-line --help: the help text, exit status 0, no
library call; look-alike arguments keep their usual meaning; README's key table and the help
text name the same keys."""
import os
import re
import unittest

import harness

README = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "README.md")


def traced(test, program, args):
    trace = os.path.join(harness.workdir(test.id()), "trace.txt")
    if os.path.exists(trace):
        os.remove(trace)
    r = harness.run(program, args, env={"QORSIM_TRACE": trace}, stdin="")
    calls = harness.read_trace(trace) if os.path.exists(trace) else []
    return r, calls


def readme_keys():
    """First column of the README's key table for qor-system, e.g. "UP / DOWN", "F2"."""
    with open(README, encoding="utf-8") as f:
        text = f.read()
    section = text[text.index("### qor-system"):text.index("### qor-line")]
    table = section[section.index("| key | action |"):]
    keys = []
    for line in table.splitlines()[2:]:
        if not line.startswith("|"):
            break
        keys.append(line.split("|")[1].strip())
    return keys


class SystemHelp(unittest.TestCase):
    def test_help_arguments(self):
        for args in (["--help"], ["-h"], ["s1", "-h"], ["--help", "o640-480", "bad"]):
            with self.subTest(args=args):
                r, calls = traced(self, "qor-system", args)
                self.assertEqual(0, r.rc, r)
                self.assertTrue(r.stdout.startswith("usage: qor-system [sID] [oWIDTH-HEIGHT"), r)
                self.assertIn("Keys while frames are shown", r.stdout)
                self.assertNotIn("Bad command line option:", r.stdout)
                self.assertEqual([], calls)

    def test_look_alikes_are_overrides(self):
        # Only the exact words ask for help; these start with '-' and are overrides as ever.
        for arg in ("-help", "--help=1", "-h=2", "--HELP", "-hh", "-H"):
            with self.subTest(arg=arg):
                r, calls = traced(self, "qor-system", ["s6", arg])
                self.assertNotIn("usage:", r.stdout)
                self.assertTrue(r.stdout.startswith("Init QOR-VOZ3:OK\n"), r)
                self.assertIn("SystemCreate(6, ptr, ptr) -> 0", calls)

    def test_readme_and_help_name_the_same_keys(self):
        r = harness.run("qor-system", ["--help"])
        help_keys = r.stdout[r.stdout.index("Keys while frames are shown"):]
        help_keys = help_keys[:help_keys.index("\nExit status")]
        listed = [re.split(r"\s{2,}", l.strip())[0] for l in help_keys.splitlines()[1:]
                  if l.startswith("  ") and not l.startswith("    ")]
        self.assertEqual(readme_keys(), listed)


class LineHelp(unittest.TestCase):
    def test_help(self):
        for args in (["--help"], ["x", "--help"]):
            with self.subTest(args=args):
                r, calls = traced(self, "qor-line", args)
                self.assertEqual(0, r.rc, r)
                self.assertTrue(r.stdout.startswith("usage: qor-line\n"), r)
                self.assertIn("system 8", r.stdout)
                self.assertIn("ten blocks", r.stdout)
                self.assertEqual([], calls)

    def test_other_arguments_are_ignored(self):
        for args in (["-h"], ["--help=1", "s1"]):
            with self.subTest(args=args):
                r, calls = traced(self, "qor-line", args)
                self.assertTrue(r.stdout.startswith("QorVoz3Init...Ok\n"), r)
                self.assertIn("SystemCreate(8, ptr, ptr) -> 0", calls)


if __name__ == "__main__":
    unittest.main()
