"""test_system_startup_faults.py: every qor-system failure before the loop, and the shutdown's."""
import os
import unittest

import harness
from system_startup_expect import (NO_DISPLAY, TREE, normalise, run_viewer, s1_startup,
                                   shutdown_after_no_display)

FULL = s1_startup()


def upto(label):
    """The clean system 1 transcript up to and including a step's label."""
    return FULL[:FULL.index(label) + len(label)]


def control_lookup_numbers():
    """Call numbers of the input-control and transfer-control lookups: the last two
    SystemGetCInterface calls of a clean start-up (the control table makes many before)."""
    d = harness.workdir("control_lookup_numbers")
    trace = os.path.join(d, "trace")
    run_viewer(["s1"], env={"QORSIM_TRACE": trace})
    calls = [c for c in harness.read_trace(trace) if c.startswith("SystemGetCInterface(")]
    assert calls[-2].startswith("SystemGetCInterface(16, 3224371202, 0,"), calls[-2]
    assert calls[-1].startswith("SystemGetCInterface(16, 3224371203, 0,"), calls[-1]
    return len(calls) - 1, len(calls)


class FailuresBeforeTheLoop(unittest.TestCase):
    def test_failure_table(self):
        n_input, n_transfer = control_lookup_numbers()
        header_labels = ["Alloc DataHeaderIn: ", "Alloc DataHeaderInOld: ",
                         "Alloc DataHeader16: ", "Alloc DataHeaderTmp: "]
        cases = [
            ("Init=1", "Init QOR-VOZ3:<REPORT 1>"),
            ("SystemCreate=308", upto("Create system [SimMono8]: ") + "<REPORT 308>"),
            # list calls with s1: 1 system name, 2 options, 3 interfaces, 4 infos
            ("ListGetStdList#2=0", upto("Get system options:\n") + "Error get InterfaceList\n"),
            ("SystemInit=1", upto("Init system:") + "ERR\n<REPORT 1>" + TREE),
            ("ListGetStdList#3=0", upto("Get interfaces:\n") + "Error get InterfaceList\n"),
            ("ListGetStdList#4=0", upto("Info intefaces\n") + "Error get InterfaceList\n"),
            ("SystemGetInDInterface=301", upto("QorVoz3SystemGetInDInterface: ") + "<REPORT 301>"),
            ("SystemGetCInterface#%d=5" % n_input,
             upto("QORLIB3_CINTERFACE_INPUT_CONTROL: ") + "<REPORT 5>"),
            ("SystemGetCInterface#%d=1904" % n_transfer,
             upto("QORLIB3_CINTERFACE_TRANSFER_CONTROL: ") + "<REPORT 1904>"),
        ] + [("DataheaderCreate#%d=308" % (i + 1), upto(label) + "<REPORT 308>")
             for i, label in enumerate(header_labels)]
        for faults, expected in cases:
            with self.subTest(faults=faults):
                r = run_viewer(["s1"], env={"QORSIM_FAULTS": faults})
                self.assertEqual(normalise(r.stdout), expected, r)
                self.assertEqual(r.rc, 255, r)

    def test_absent_controls_are_skipped(self):
        n_input, n_transfer = control_lookup_numbers()
        for n, label, ok_line in [
                (n_input, "QORLIB3_CINTERFACE_INPUT_CONTROL: ",
                 "QORLIB3_CINTERFACE_TRANSFER_CONTROL:   Ok (29)\n"),
                (n_transfer, "QORLIB3_CINTERFACE_TRANSFER_CONTROL: ", "")]:
            with self.subTest(call=n):
                r = run_viewer(["s1"], env={"QORSIM_FAULTS": "SystemGetCInterface#%d=1903" % n})
                expected = (FULL[:FULL.index(label)] + label + "  Skipped\n" + ok_line +
                            shutdown_after_no_display())
                self.assertEqual(normalise(r.stdout), expected, r)


class OptionInstances(unittest.TestCase):
    def test_at_most_ten_instances_per_option_type(self):
        # Every lookup "succeeds" without a handle: each of the nine option types lists
        # instances 0 to 9 and instance 10 is never asked for.
        names = ["TestPattern", "PixelFormat", "ExposureTime", "FrameRate", "Gain", "ROI",
                 "LineScanMode", "LineRate", "LineTrigger"]
        d = harness.workdir(self.id())
        trace = os.path.join(d, "trace")
        r = run_viewer(["s1"], env={"QORSIM_FAULTS": "SystemGetOptionCInterface=0",
                                    "QORSIM_TRACE": trace})
        listing = "Get system options:\n" + "".join(
            "  %-20s %u:(4294967295) <UNKNOWN>\n" % (n, j) for n in names for j in range(10))
        out = normalise(r.stdout)
        start = out.index("Get system options:\n")
        self.assertEqual(out[start:out.index("Alloc DataHeaderIn: ")], listing, r)
        lookups = [c for c in harness.read_trace(trace)
                   if c.startswith("SystemGetOptionCInterface(")]
        self.assertEqual(len(lookups), 90)
        self.assertFalse([c for c in lookups if ", 10, " in c])


class ShutdownFailures(unittest.TestCase):
    def test_destroy_and_exit_failures(self):
        d = harness.workdir(self.id())
        cases = [
            ("SystemDestroy=1", "Destroy system:<REPORT 1>", False),
            ("Exit=1", "Destroy system:OK\n<REPORT 1>", True),
        ]
        for faults, tail, exit_called in cases:
            with self.subTest(faults=faults):
                trace = os.path.join(d, "trace")
                r = run_viewer(["s1"], env={"QORSIM_FAULTS": faults, "QORSIM_TRACE": trace})
                self.assertEqual(normalise(r.stdout), FULL + NO_DISPLAY + TREE + tail, r)
                self.assertEqual(r.rc, 255, r)
                exits = [c for c in harness.read_trace(trace) if c.startswith("Exit(")]
                self.assertEqual(len(exits), 1 if exit_called else 0)


if __name__ == "__main__":
    unittest.main()
