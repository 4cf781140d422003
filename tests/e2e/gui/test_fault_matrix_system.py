"""test_fault_matrix_system.py: qor-system on system 1 with each start-up call failed once and
a sample of its loop calls (with the shutdown's), under Xvfb.

Before the loop a checked call's failure prints the report and ends with -1 (the fifth data
header, the display buffer's, with its one-line reason); a call the start-up only probes
changes no exit status. In the loop a failure ends the loop: the report follows text mode and
the device tree, and a clean shutdown still ends with 0.
"""
import unittest

import fault_matrix as fm
import harness
from system_startup_expect import TREE

LOOP_START = "InDInterfaceQueryReady"
LOOP_SAMPLE_STEP = 97     # every so many loop calls, besides each operation's first in the loop
LOOP_SAMPLE_SPAN = 2000   # loop calls looked at for the sample
# The calls whose failure ends the start-up; of SystemGetCInterface only the last two, the
# input and transfer control lookups (the control table's lookups before them only probe).
START_CHECKED = {"Init", "SystemCreate", "SystemInit", "SystemGetInDInterface"}
SHUT_DOWN_CHECKED = {"SystemDestroy", "Exit"}
LOOP_CHECKED = {"InDInterfaceQueryReady", "InDInterfaceBeginBlock", "InDInterfaceTransfer",
                "InDInterfaceEndBlock", "InDInterfaceGetType"}


def checked_at_start(case, controls):
    if case.op == "DataheaderCreate":
        return case.n <= 4
    if case.op == "SystemGetCInterface":
        return case.n > controls - 2
    return case.op in START_CHECKED


class SystemFaultMatrix(unittest.TestCase):
    def in_loop(self, lines, case):
        """The loop runs past the faulted call: it waits for ESC now."""
        after = max(case.index if case else 0, self.first_loop or 0)
        waits = sum(fm.op_of(l) in ("InDInterfaceQueryReady", "InDInterfaceWait")
                    for l in lines[after + 1:])
        return waits >= 3 or len(lines) > after + 400

    def problems(self, o):
        p = o.basic_problems({0, 255})
        if p or o.case.value != 5 or not o.fired:
            return p
        if o.case.index < self.first_loop:
            if o.case.op == "DataheaderCreate" and o.case.n == 5:
                if "Unable to create the display buffer.\n" not in o.stdout or o.rc != 255:
                    p.append("display buffer failure not told")
            elif checked_at_start(o.case, self.controls):
                if not o.reported or o.rc != 255 or "Enable GFX mode" in o.stdout:
                    p.append("start-up failure without report and -1")
                if o.case.op == "SystemInit" and "Init system:ERR\n" not in o.stdout:
                    p.append("no ERR line")
            elif o.rc != 0:
                p.append("a probed call ended the start-up")
            return p
        if o.case.op in SHUT_DOWN_CHECKED:
            if not o.reported or o.rc != 255:
                p.append("shutdown failure without report and -1")
            return p
        if o.rc != 0:
            p.append("a loop failure changed the exit status")
        if o.case.op in LOOP_CHECKED and not o.reported:
            p.append("loop failure not reported")
        if o.reported:
            at = o.stdout.rfind(TREE)
            report = o.stdout.find(fm.injected(o.case.op))
            if at < 0 or report < at or not o.stdout.endswith("Destroy system:OK\n"):
                p.append("loop failure reported out of place")
        return p

    def test_start_up_calls_and_a_sample_of_loop_calls(self):
        folder = harness.workdir(self.id())
        self.first_loop = None
        with harness.Xvfb(800, 600) as x:
            self.calls = fm.normal_trace("qor-system", ["s1"], folder, x.display,
                                         self.in_loop, "Escape")
        self.first_loop = next(i for i, l in enumerate(self.calls) if l.startswith(LOOP_START))
        self.controls = sum(fm.op_of(l) == "SystemGetCInterface"
                            for l in self.calls[:self.first_loop])
        loop_ops = set()

        def select(i, op, n):
            if i < self.first_loop:
                return True
            if op not in loop_ops:
                loop_ops.add(op)
                return True
            return (i - self.first_loop) % LOOP_SAMPLE_STEP == 0 and \
                i < self.first_loop + LOOP_SAMPLE_SPAN
        cases = fm.cases(self.calls, select)
        outcomes = fm.run_all("qor-system", ["s1"], cases, folder, gui=True,
                              finish=self.in_loop, key="Escape")
        bad = [(o, self.problems(o)) for o in outcomes if self.problems(o)]
        start = [o for o in outcomes if o.case.index < self.first_loop]
        print(fm.table("qor-system start-up", start, [b for b in bad if b[0] in start]))
        print(fm.table("qor-system loop", [o for o in outcomes if o not in start],
                       [b for b in bad if b[0] not in start]))
        print("\n".join("%s: %s" % (o.case.spec, p) for o, p in bad))
        self.assertEqual([], ["%s: %s\n%r" % (o.case.spec, p, o) for o, p in bad])


if __name__ == "__main__":
    unittest.main()
