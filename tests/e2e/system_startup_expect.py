"""system_startup_expect.py: expected start-up protocol pieces of qor-system on the stand-in.

The library formats its error reports and device tree itself; the viewer only prints them. A
report is checked for the viewer's fixed layout and reduced to "<REPORT code>", so transcripts
state the code and where the report stands, not the stand-in's source lines.
"""
import re

import harness

REPORT = re.compile(r"\nQORLIB3 [^\n]*: (\d+) - [^\n]*\n  File: [^\n]*\n  Line: \d+\n"
                    r"  Date: [^\n]*\n  Object Id:   -?\d+\n  Object File: [^\n]*\n"
                    r"  Remark: [^\n]*\n\n")

# The stand-in's object tree, printed with ids and types (library, boards, ports, cameras).
TREE = ("QOR-VOZ3 Device Tree:\n"
        "[1] Library QorSimLibrary \"qorlib3\"\n"
        "  [2] Board SimGrabber2 \"Board0\"\n"
        "    [3] Port CameraPort \"Port0\"\n"
        "      [4] Camera SimMono8 \"Cam0\"\n"
        "    [5] Port CameraPort \"Port1\"\n"
        "      [6] Camera SimColor24 \"Cam1\"\n"
        "  [7] Board SimLineGrabber \"Board1\"\n"
        "    [8] Port LinePort \"Port0\"\n"
        "      [9] Camera SimLineScan \"LineCam0\"\n")

SYSTEM_LIST = ("\nSelect System ID:\n" + "".join(
    "%-20s: %u\n" % (n, i) for n, i in
    [("SimMono8", 1), ("SimRaw8", 2), ("SimMono16", 3), ("SimColor24", 4),
     ("SimDataDevice", 5), ("SimMinimal", 6), ("SimLineScan", 8)]) + "ID: ")

NO_DISPLAY = "Enable GFX mode  Unable to start Allegro (no display?)\n"


def normalise(text):
    """Reports become <REPORT code>; the tree stays as printed."""
    return REPORT.sub(lambda m: "<REPORT %s>" % m.group(1), text)


def bad(arg):
    return "\nBad command line option: %s\n" % arg


def option(name, j, handle, tail):
    return "  %-20s %u:(%u) %s\n" % (name, j, handle, tail)


def interface(name, k, handle=None, tail=""):
    """One control-table console line; handle None is a refused instance."""
    if handle is None:
        return "  %-20s %u: \n" % (name, k)
    return "  %-20s %u: (%u) %s" % (name, k, handle, tail)


def headers():
    return "".join("Alloc %s: OK\n" % h for h in
                   ("DataHeaderIn", "DataHeaderInOld", "DataHeader16", "DataHeaderTmp"))


def s1_options(exposure=20000, rate=25, gain=0):
    return ("Get system options:\n" +
            option("TestPattern", 0, 17, "<ENUM>") +
            option("PixelFormat", 0, 18, "<ENUM>") +
            option("ExposureTime", 0, 19, "<SCALAR> %d " % exposure) +
            option("FrameRate", 0, 20, "<SCALAR> %d " % rate) +
            option("Gain", 0, 21, "<SCALAR> %d " % gain) +
            option("ROI", 0, 22, "<UNKNOWN>"))


# System 1's control table build: options by kind, the two controls as unknown rows, the line
# options it lacks, then the infos (FirmwareBuild is no info scalar: its line stays open).
S1_TABLE = ("Get interfaces:\n" +
            interface("TestPattern", 0, 17, "<ENUM>\n") + interface("TestPattern", 1) +
            interface("PixelFormat", 0, 18, "<ENUM>\n") + interface("PixelFormat", 1) +
            interface("ExposureTime", 0, 19, "<SCALAR>\n") + interface("ExposureTime", 1) +
            interface("FrameRate", 0, 20, "<SCALAR>\n") + interface("FrameRate", 1) +
            interface("Gain", 0, 21, "<SCALAR>\n") + interface("Gain", 1) +
            interface("ROI", 0, 22, "<RECT>\n") + interface("ROI", 1) +
            interface("InputControl", 0, 27, "<UNKNOWN>\n") +
            interface("InputControl", 1, 28, "<UNKNOWN>\n") + interface("InputControl", 2) +
            interface("TransferControl", 0, 29, "<UNKNOWN>\n") + interface("TransferControl", 1) +
            interface("LineScanMode", 0) + interface("LineRate", 0) + interface("LineTrigger", 0) +
            "Info intefaces\n" +
            interface("SensorTemp", 0, 30, "<INFO SCALAR>\n") + interface("SensorTemp", 1) +
            interface("FrameCounter", 0, 31, "<INFO SCALAR>\n") + interface("FrameCounter", 1) +
            interface("FirmwareBuild", 0, 32) + interface("FirmwareBuild", 1))

S1_INTERFACES = ("QorVoz3SystemGetInDInterface: OK (33)\n"
                 "QorVoz3SystemGetOutDInterface: OK (34)\n"
                 "QORLIB3_CINTERFACE_INPUT_CONTROL[0]: OK (27)\n"
                 "QORLIB3_CINTERFACE_INPUT_CONTROL[1]: OK (28)\n"
                 "QORLIB3_CINTERFACE_INPUT_CONTROL[2]: Not present\n"
                 "QORLIB3_CINTERFACE_INPUT_CONTROL:   Ok (27)\n"
                 "QORLIB3_CINTERFACE_TRANSFER_CONTROL:   Ok (29)\n")


def s1_startup(options=None):
    """System 1 from the library start to the label of the graphics step (excluded)."""
    return ("Init QOR-VOZ3:OK\n"
            "Create system [SimMono8]: OK (16)\n" +
            (options if options is not None else s1_options()) +
            headers() + "Init system:OK\n" + TREE + TREE +
            S1_TABLE + S1_INTERFACES)


def shutdown_after_no_display():
    return NO_DISPLAY + TREE + "Destroy system:OK\n"


def run_viewer(args, env=None, stdin="", display=None, timeout=60):
    return harness.run("qor-system", args, env=env, stdin=stdin, display=display,
                       timeout=timeout)


def colours(image):
    """The set of RGB colours on the screen."""
    d = image.data
    return {tuple(d[i:i + 3]) for i in range(0, len(d), 3)}
