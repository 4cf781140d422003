"""inspect_cases.py: expected console texts of qor-devinfo and qor-objtree on the stand-in library.

The object tree below is the one sim/README.md documents; the expected transcripts are built
from it and from the tools' own fixed texts.
"""
import os
import re

import harness

VERSION = "3.0.0-sim (stand-in acquisition library)"
INIT = "Init QOR-VOZ3: Ok\n"
SHUTDOWN = "Shutdown QOR-VOZ3: Ok\n"
# The error check's shutdown line has no colon.
FAILED_SHUTDOWN = "Shutdown QOR-VOZ3 Ok\n"
TREE_TITLE = "QOR-VOZ3 Device Tree:\n"


class Obj:
    def __init__(self, oid, depth, cls, typ, name, file, date, time, version, descr=None,
                 serial=None):
        self.oid, self.depth = oid, depth
        self.cls, self.typ, self.name = cls, typ, name
        self.file, self.date, self.time, self.version = file, date, time, version
        self.descr, self.serial = descr, serial


# In search order; ports have no object control interface.
OBJECTS = [
    Obj(1, 0, "Library", "QorSimLibrary", "qorlib3", "libqorlib3.so", "2026-11-02", "09:15:00",
        "3.0.0", "Simulated acquisition library", "QS-LIB-0001"),
    Obj(2, 1, "Board", "SimGrabber2", "Board0", "qorsim_grabber.drv", "2026-10-20", "14:02:11",
        "1.4.2", "Simulated frame grabber with two camera ports", "QS-BRD-1001"),
    Obj(3, 2, "Port", "CameraPort", "Port0", "qorsim_grabber.drv", "2026-10-20", "14:02:11",
        "1.4.2"),
    Obj(4, 3, "Camera", "SimMono8", "Cam0", "qorsim_camera.drv", "2026-09-30", "08:45:30",
        "2.1.0", "Simulated mono camera 640x480", "QS-CAM-2001"),
    Obj(5, 2, "Port", "CameraPort", "Port1", "qorsim_grabber.drv", "2026-10-20", "14:02:11",
        "1.4.2"),
    Obj(6, 3, "Camera", "SimColor24", "Cam1", "qorsim_camera.drv", "2026-09-30", "08:45:30",
        "2.1.0", "Simulated colour camera 640x480", "QS-CAM-2002"),
    Obj(7, 1, "Board", "SimLineGrabber", "Board1", "qorsim_line.drv", "2026-08-12", "16:20:05",
        "1.0.7", "Simulated line-scan grabber", "QS-BRD-1002"),
    Obj(8, 2, "Port", "LinePort", "Port0", "qorsim_line.drv", "2026-08-12", "16:20:05",
        "1.0.7"),
    Obj(9, 3, "Camera", "SimLineScan", "LineCam0", "qorsim_linecam.drv", "2026-08-12",
        "16:20:05", "1.0.7", "Simulated line-scan camera, 2048 pixels", "QS-CAM-2003"),
]


def devinfo_program():
    return harness.program("qor-devinfo")


def usage():
    return ("Usage:%s [options]\n" % devinfo_program() + "Options:\n"
            "   -c {Class name}  - Set class name for search\n"
            "   -t {Type name}  - Set type name for search\n"
            "   -n {Name}  - Set object name for search\n")


def unknown_option(arg):
    return "Uncnown option %s. Use %s -? for help.\n" % (arg, devinfo_program())


def search_header(cls=None, typ=None, name=None):
    star = lambda f: "*" if f is None else f
    return 'Searc options Class "%s" Type "%s" Name "%s"\n' % (star(cls), star(typ), star(name))


def matching(cls=None, typ=None, name=None):
    """The objects a search finds: a null filter matches anything, a text only itself."""
    return [o for o in OBJECTS
            if (cls is None or cls == o.cls) and (typ is None or typ == o.typ)
            and (name is None or name == o.name)]


def object_block(o, with_control=True):
    text = "Object id %u\n" % o.oid
    text += "   Class:%s Type:%s Name:%s \n" % (o.cls, o.typ, o.name)
    text += "   File:%s Modify date:%s Modify time:%s Version :%s \n" % (
        o.file, o.date, o.time, o.version)
    if with_control and o.descr is not None:
        text += "   Descript string:%s\n   Serial number:%s\n" % (o.descr, o.serial)
    return text


def devinfo_transcript(cls=None, typ=None, name=None, body=None):
    """A whole completed run; body replaces the object listing when given."""
    if body is None:
        body = "".join(object_block(o) for o in matching(cls, typ, name))
    return (INIT + "QOR-VOZ3:%s\n" % VERSION + search_header(cls, typ, name) + body + SHUTDOWN)


def tree_text():
    return "".join('%s[%d] %s %s "%s" file %s version %s (%s %s)\n' % (
        "  " * o.depth, o.oid, o.cls, o.typ, o.name, o.file, o.version, o.date, o.time)
        for o in OBJECTS)


def objtree_transcript(text=None):
    return INIT + TREE_TITLE + (tree_text() if text is None else text) + SHUTDOWN


def report_pattern(code, message, source=r"[\w.-]+\.cpp"):
    """The error check's report as a regex: the library's source line and build date change
    with every build, everything else is fixed. source is a regex; the default takes any file."""
    return ("\nQORLIB3 Error: %d - " % code + re.escape(message) + "\n  File: " + source
            + r"\n  Line: \d+\n  Date: [A-Z][a-z]{2} [ \d]\d \d{4}\n"
            + "  Object Id: -1\n  File:  \n\n")


def injected(operation, code):
    return code, "injected fault: QORSIM_FAULTS makes %s return %d" % (operation, code)


def trace_path(test):
    return os.path.join(harness.workdir(test.id()), "trace.txt")
