"""test_fault_matrix_line.py: every library call of qor-line failed once, under Xvfb.

qor-line checks every call but the error record's creation (which ends it with -1 and no
output), the data type print and the four releases of its cleanup: a checked failure prints
"Error", the framed report and "Cleanup...Done" and ends with -1.
"""
import unittest

import fault_matrix as fm
import harness

UNCHECKED = {"DataPrintf", "SystemDestroy", "DataheaderFree", "Exit", "ErrorDataFree"}
FRAME_RULE = "=" * 33


def waiting_for_key(lines, case):
    return sum(fm.op_of(l) == "InDInterfaceEndBlock" for l in lines) >= 10


def problems(o):
    p = o.basic_problems({0, 255})
    if p or o.case.value != 5 or not o.fired:
        return p
    if o.case.op == "ErrorDataCreate":
        if (o.rc, o.stdout) != (255, ""):
            p.append("not a silent -1")
    elif o.case.op in UNCHECKED:
        if o.reported or o.rc != 0:
            p.append("an unchecked call changed the outcome")
    else:
        framed = "Error\n\n%s\n" % FRAME_RULE
        if not (o.reported and framed in o.stdout and
                o.stdout.endswith("\n%s\nCleanup...Done\n" % FRAME_RULE) and o.rc == 255):
            p.append("no framed report with status -1")
    return p


class LineFaultMatrix(unittest.TestCase):
    def test_every_call_failed_once(self):
        folder = harness.workdir(self.id())
        with harness.Xvfb(800, 600) as x:
            calls = fm.normal_trace("qor-line", [], folder, x.display, waiting_for_key, "space")
        self.assertEqual(fm.op_of(calls[-1]), "ErrorDataFree")
        outcomes = fm.run_all("qor-line", [], fm.cases(calls), folder, gui=True,
                              finish=waiting_for_key, key="space")
        bad = [(o, problems(o)) for o in outcomes if problems(o)]
        print(fm.table("qor-line", outcomes, bad))
        self.assertEqual([], ["%s: %s\n%r" % (o.case.spec, p, o) for o, p in bad])


if __name__ == "__main__":
    unittest.main()
