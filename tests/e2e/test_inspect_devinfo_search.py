"""test_inspect_devinfo_search.py: qor-devinfo's listing, its quiet failures, its error check and
its library calls, on the stand-in library's object tree."""
import re
import unittest

import harness
import inspect_cases as ic


class ListingTest(unittest.TestCase):
    def test_whole_tree(self):
        r = harness.run("qor-devinfo")
        self.assertEqual((ic.devinfo_transcript(), 0), (r.stdout, r.rc), r)

    def test_no_match_goes_straight_to_shutdown(self):
        r = harness.run("qor-devinfo", ["-nNoSuchObject"])
        self.assertEqual(("Init QOR-VOZ3: Ok\n"
                          "QOR-VOZ3:3.0.0-sim (stand-in acquisition library)\n"
                          'Searc options Class "*" Type "*" Name "NoSuchObject"\n'
                          "Shutdown QOR-VOZ3: Ok\n", 0), (r.stdout, r.rc), r)

    def test_objects_without_control_interface(self):
        # Both ports lack the object control interface; the search still reaches the second.
        r = harness.run("qor-devinfo", ["-n", "Port0"])
        self.assertEqual(ic.devinfo_transcript(name="Port0", body=(
            "Object id 3\n"
            "   Class:Port Type:CameraPort Name:Port0 \n"
            "   File:qorsim_grabber.drv Modify date:2026-10-20 Modify time:14:02:11 "
            "Version :1.4.2 \n"
            "Object id 8\n"
            "   Class:Port Type:LinePort Name:Port0 \n"
            "   File:qorsim_line.drv Modify date:2026-08-12 Modify time:16:20:05 "
            "Version :1.0.7 \n")), r.stdout, r)
        self.assertEqual(0, r.rc, r)


class QuietFailureTest(unittest.TestCase):
    """Failed queries leave their output out; nothing is reported and the run ends with 0."""

    def test_failed_info_queries(self):
        first = "   Class:Camera Type:SimMono8 Name:Cam0 \n"
        second = ("   File:qorsim_camera.drv Modify date:2026-09-30 Modify time:08:45:30 "
                  "Version :2.1.0 \n")
        control = ("   Descript string:Simulated mono camera 640x480\n"
                   "   Serial number:QS-CAM-2001\n")
        # Queries go 1 class, 2 type, 3 name, then 6 file, 4 date, 5 time, 7 version.
        cases = [
            ("ObjectInfo#2=1", first.replace("Type:SimMono8 ", ""), second),
            ("ObjectInfo#4=309", first, second.replace("File:qorsim_camera.drv ", "")),
            ("ObjectInfo#7=303", first, second.replace("Version :2.1.0 ", "")),
            ("ObjectInfo=1", "   \n", "   \n"),
        ]
        for faults, line1, line2 in cases:
            with self.subTest(faults=faults):
                r = harness.run("qor-devinfo", ["-nCam0"], env={"QORSIM_FAULTS": faults})
                self.assertEqual(ic.devinfo_transcript(name="Cam0", body=(
                    "Object id 4\n" + line1 + line2 + control)), r.stdout, r)
                self.assertEqual(0, r.rc, r)

    def test_failed_control_interface_calls(self):
        cams = ic.matching(cls="Camera")
        full = [ic.object_block(o) for o in cams]
        bare = [ic.object_block(o, with_control=False) for o in cams]
        cases = [
            ("GetCInterface=1", "".join(bare)),
            ("GetCInterface#2=1903", full[0] + bare[1] + full[2]),
            ("CallCInterface_1#1=1", full[0].replace(
                "   Descript string:Simulated mono camera 640x480\n", "") + full[1] + full[2]),
            ("CallCInterface_1#2=1", full[0].replace("   Serial number:QS-CAM-2001\n", "")
             + full[1] + full[2]),
        ]
        for faults, body in cases:
            with self.subTest(faults=faults):
                r = harness.run("qor-devinfo", ["-cCamera"], env={"QORSIM_FAULTS": faults})
                self.assertEqual(ic.devinfo_transcript(cls="Camera", body=body), r.stdout, r)
                self.assertEqual(0, r.rc, r)

    def test_search_and_exit_statuses_end_quietly(self):
        cases = [
            # Any status above 0 ends the search, not only the exhausted one.
            ("ObjectSearch#2=1903", ic.object_block(ic.OBJECTS[0])),
            ("Exit=5", None),
        ]
        for faults, body in cases:
            with self.subTest(faults=faults):
                r = harness.run("qor-devinfo", env={"QORSIM_FAULTS": faults})
                self.assertEqual(ic.devinfo_transcript(body=body), r.stdout, r)
                self.assertEqual(0, r.rc, r)


class ErrorCheckTest(unittest.TestCase):
    def test_start_up_failures(self):
        version_ok = "QOR-VOZ3:%s\n" % ic.VERSION
        cases = [
            # (faults, text before the report, code and message, source file)
            ("Init=5", "Init QOR-VOZ3: ", ic.injected("Init", 5), r"faults\.cpp"),
            ("Bogus=1", "Init QOR-VOZ3: ", (303, 'QORSIM_FAULTS: malformed entry "Bogus=1": '
                                            "unknown operation"), None),
            ("VersionInfo=7", ic.INIT, ic.injected("VersionInfo", 7), r"faults\.cpp"),
            # Init reports success without starting the library and without touching the
            # record: the record must start with code 0, and the version query then fails.
            ("Init=0", ic.INIT, (305, "library not initialised (QorVoz3Init not called or "
                                      "after QorVoz3Exit)"), None),
        ]
        for faults, before, (code, message), source in cases:
            with self.subTest(faults=faults):
                r = harness.run("qor-devinfo", ["-cCamera"], env={"QORSIM_FAULTS": faults})
                pattern = re.escape(before) + (ic.report_pattern(code, message, source)
                                               if source else ic.report_pattern(code, message))
                self.assertRegex(r.stdout, "^" + pattern + re.escape(ic.FAILED_SHUTDOWN) + r"\Z")
                self.assertNotIn(version_ok, r.stdout)
                self.assertEqual(1, r.rc, r)

    def test_error_check_calls(self):
        trace = ic.trace_path(self)
        r = harness.run("qor-devinfo", env={"QORSIM_FAULTS": "VersionInfo=7",
                                            "QORSIM_TRACE": trace})
        self.assertEqual(1, r.rc, r)
        self.assertEqual([
            "Init(ptr) -> 0",
            "VersionInfo(ptr, ptr) -> 7",
            "ListGetStdList(1) -> 2",
            'ErrorPrintf("\\nQORLIB3 %t: %c - %m\\n  File: %f\\n  Line: %l\\n  Date: %d\\n'
            '  Object Id: %i\\n  File: %I \\n\\n", ptr, 2) -> 0',
            "Exit(ptr) -> 0",
        ], harness.read_trace(trace))


class CallOrderTest(unittest.TestCase):
    def test_one_object(self):
        trace = ic.trace_path(self)
        r = harness.run("qor-devinfo", ["-nCam0"], env={"QORSIM_TRACE": trace})
        self.assertEqual(ic.devinfo_transcript(name="Cam0"), r.stdout, r)
        search = 'ObjectSearch(%d, 4294967295, null, null, "Cam0", 1, ptr, ptr) -> %d'
        # 0xc0000002 object control, 0x50000066 description, 0x50000065 serial number;
        # the stand-in hands out its first handle as 16.
        self.assertEqual(
            ["Init(ptr) -> 0", "VersionInfo(ptr, ptr) -> 0", search % (0, 0)]
            + ["ObjectInfo(4, %d, ptr, ptr) -> 0" % s for s in (1, 2, 3, 6, 4, 5, 7)]
            + ["GetCInterface(4, 3221225474, ptr, ptr) -> 0",
               "CallCInterface_1(16, 1342177382, 284, ptr, ptr) -> 0",
               "CallCInterface_1(16, 1342177381, 284, ptr, ptr) -> 0",
               search % (1, 309), "Exit(ptr) -> 0"],
            harness.read_trace(trace))


if __name__ == "__main__":
    unittest.main()
