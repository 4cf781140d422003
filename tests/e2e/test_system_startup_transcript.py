"""test_system_startup_transcript.py: whole qor-system start-up protocols without a display."""
import unittest

from system_startup_expect import (NO_DISPLAY, TREE, headers, interface, normalise, option,
                                   run_viewer, s1_startup, shutdown_after_no_display)


class WholeTranscripts(unittest.TestCase):
    def test_system1_without_display_shuts_down_in_order(self):
        # No display: the start-up runs in full, the loop is skipped, the shutdown steps that
        # apply run (no text mode, no Allegro exit) and the run counts as failed.
        r = run_viewer(["s1"])
        self.assertEqual(normalise(r.stdout), s1_startup() + shutdown_after_no_display(), r)
        self.assertEqual(r.rc, 255, r)
        self.assertNotIn("ERROR: AddressSanitizer", r.stderr)

    def test_system6_skips_controls_and_has_no_output_interface(self):
        r = run_viewer(["s6"])
        expected = ("Init QOR-VOZ3:OK\n"
                    "Create system [SimMinimal]: OK (16)\n"
                    "Get system options:\n" +
                    option("TestPattern", 0, 17, "<ENUM>") +
                    option("FrameRate", 0, 18, "<SCALAR> 25 ") +
                    headers() + "Init system:OK\n" + TREE + TREE +
                    "Get interfaces:\n" +
                    interface("TestPattern", 0, 17, "<ENUM>\n") + interface("TestPattern", 1) +
                    interface("PixelFormat", 0) + interface("ExposureTime", 0) +
                    interface("FrameRate", 0, 18, "<SCALAR>\n") + interface("FrameRate", 1) +
                    interface("Gain", 0) + interface("ROI", 0) +
                    interface("InputControl", 0) + interface("TransferControl", 0) +
                    interface("LineScanMode", 0) + interface("LineRate", 0) +
                    interface("LineTrigger", 0) +
                    "Info intefaces\n" +
                    interface("SensorTemp", 0) + interface("FrameCounter", 0) +
                    interface("FirmwareBuild", 0) +
                    "QorVoz3SystemGetInDInterface: OK (23)\n"
                    "QorVoz3SystemGetOutDInterface: Not present\n"
                    "QORLIB3_CINTERFACE_INPUT_CONTROL[0]: Not present\n"
                    "QORLIB3_CINTERFACE_INPUT_CONTROL:   Skipped\n"
                    "QORLIB3_CINTERFACE_TRANSFER_CONTROL:   Skipped\n" +
                    NO_DISPLAY + TREE + "Destroy system:OK\n")
        self.assertEqual(normalise(r.stdout), expected, r)
        self.assertEqual(r.rc, 255, r)

    def test_unknown_system_id_is_named_unknown_and_creation_fails(self):
        r = run_viewer(["s7"])
        self.assertEqual(normalise(r.stdout),
                         "Init QOR-VOZ3:OK\nCreate system [unknown]: <REPORT 310>", r)
        self.assertEqual(r.rc, 255, r)


if __name__ == "__main__":
    unittest.main()
