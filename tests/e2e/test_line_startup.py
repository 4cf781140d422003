"""test_line_startup.py: qor-line's start-up on the stand-in: transcripts, exit codes, calls."""
import os
import re
import unittest

from harness import read_trace, run, workdir

STEPS = [("QorVoz3Init...", "Ok\n"), ("SystemCreate: ", "OK\n"), ("SystemInit: ", "OK\n"),
         ("Get Interfaces: ", "OK\n"), ("Set options: ", "OK\n")]
STARTED = "".join(a + b for a, b in STEPS) + "Go to video mode and show images.\n"
RULE = "=" * 33
RELEASES = ("SystemDestroy", "DataheaderFree", "Exit", "ErrorDataFree")


def printed_until(step):
    """What the start-up prints up to and including the label of step (0..4); -1: nothing."""
    if step < 0:
        return ""
    return "".join(a + b for a, b in STEPS[:step]) + STEPS[step][0]


def framed(operation, code):
    """A pattern of the framed report for an injected failure; the stand-in's source line and
    build date vary with its build, so those two are matched by form."""
    return (re.escape("Error\n\n%s\n\nQORLIB3 Error: %d - injected fault: QORSIM_FAULTS makes %s "
                      "return %d\n  File: faults.cpp\n  Line: " % (RULE, code, operation, code))
            + r"\d+" + re.escape("\n  Date: ") + r"[A-Z][a-z]{2} [ \d]\d \d{4}"
            + re.escape("\n  Object Id: -1\n  ObjFile  :  \n\n\n%s\n" % RULE))


def names(trace):
    return [line.split("(", 1)[0] for line in trace]


class LineStartup(unittest.TestCase):
    def run_line(self, faults=None):
        d = workdir(self.id())
        trace = os.path.join(d, "trace.txt")
        env = {"QORSIM_TRACE": trace}
        if faults:
            env["QORSIM_FAULTS"] = faults
        r = run("qor-line", env=env, timeout=60)
        return r, names(read_trace(trace)) if os.path.exists(trace) else []

    def test_failing_start_up_call_reports_and_releases_what_was_taken(self):
        # (fault, step whose label shows before "Error", the failing operation, releases made)
        cases = [
            ("DataheaderCreate=1", -1, "DataheaderCreate", ["Exit", "ErrorDataFree"]),
            ("Init=1", 0, "Init", ["DataheaderFree", "Exit", "ErrorDataFree"]),
            ("SystemCreate=310", 1, "SystemCreate", ["DataheaderFree", "Exit", "ErrorDataFree"]),
            ("SystemInit=1", 2, "SystemInit", list(RELEASES)),
            ("SystemGetCInterface#1=1903", 3, "SystemGetCInterface", list(RELEASES)),
            ("SystemGetCInterface#2=1903", 3, "SystemGetCInterface", list(RELEASES)),
            ("SystemGetCInterface#3=1", 3, "SystemGetCInterface", list(RELEASES)),
            ("SystemGetCInterface#4=1903", 3, "SystemGetCInterface", list(RELEASES)),
            ("SystemGetInDInterface=1903", 3, "SystemGetInDInterface", list(RELEASES)),
            ("OptionSetScalar#1=303", 4, "OptionSetScalar", list(RELEASES)),
            ("OptionSetScalar#2=303", 4, "OptionSetScalar", list(RELEASES)),
        ]
        for fault, step, operation, releases in cases:
            with self.subTest(fault=fault):
                r, calls = self.run_line(fault)
                code = int(fault.rsplit("=", 1)[1])
                self.assertEqual(255, r.rc, r)
                self.assertRegex(r.stdout, "^" + re.escape(printed_until(step))
                                 + framed(operation, code) + re.escape("Cleanup...Done\n") + r"\Z")
                self.assertEqual("", r.stderr)
                # The report is formatted right after the failure, then only the releases follow.
                failed = max(i for i, n in enumerate(calls) if n == operation)
                self.assertEqual(["ListGetStdList", "ErrorSPrintf"] + releases,
                                 calls[failed + 1:], calls)

    def test_no_error_record_ends_at_once_without_a_word(self):
        r, calls = self.run_line("ErrorDataCreate=1")
        self.assertEqual((255, "", ""), (r.rc, r.stdout, r.stderr))
        self.assertEqual(["ErrorDataCreate"], calls)

    def test_no_display_ends_like_a_mode_that_cannot_be_entered(self):
        r, calls = self.run_line()
        self.assertEqual(0, r.rc, r)
        self.assertEqual(STARTED + "Cleanup...Done\n", r.stdout)
        self.assertEqual("Unable to set video mode\n", r.stderr)
        set_options = [i for i, n in enumerate(calls) if n == "OptionSetScalar"]
        self.assertEqual(2, len(set_options), calls)
        self.assertEqual(list(RELEASES), calls[set_options[-1] + 1:])


if __name__ == "__main__":
    unittest.main()
