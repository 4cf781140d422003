"""test_fault_matrix_inspect.py: every library call of qor-devinfo and qor-objtree failed once.

Both tools check only the library start (and qor-devinfo the version query): those end with the
report, the shutdown without colon and status 1; every other call's failure leaves its output out
and the run ends normally with 0.
"""
import unittest

import fault_matrix as fm
import harness

TOOLS = [
    ("qor-devinfo", [], {"Init", "VersionInfo"}),
    ("qor-objtree", [], {"Init"}),
]


def problems(o, checked):
    p = o.basic_problems({0, 1})
    if p or o.case.value != 5 or not o.fired:
        return p
    if o.case.op in checked:
        if not (o.reported and o.stdout.endswith("Shutdown QOR-VOZ3 Ok\n") and o.rc == 1):
            p.append("no report with status 1")
    elif o.reported or o.rc != 0 or not o.stdout.endswith("Shutdown QOR-VOZ3: Ok\n"):
        p.append("an unchecked call changed the outcome")
    return p


class InspectFaultMatrix(unittest.TestCase):
    def test_every_call_failed_once(self):
        for name, args, checked in TOOLS:
            with self.subTest(program=name):
                folder = harness.workdir(self.id() + "." + name)
                calls = fm.normal_trace(name, args, folder)
                self.assertGreater(len(calls), 3)
                outcomes = fm.run_all(name, args, fm.cases(calls), folder)
                bad = [(o, problems(o, checked)) for o in outcomes if problems(o, checked)]
                print(fm.table(name, outcomes, bad))
                self.assertEqual([], ["%s: %s\n%r" % (o.case.spec, p, o) for o, p in bad])


if __name__ == "__main__":
    unittest.main()
