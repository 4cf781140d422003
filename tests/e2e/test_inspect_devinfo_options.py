"""test_inspect_devinfo_options.py: qor-devinfo's command line, whole transcript and exit code."""
import os
import unittest

import harness
import inspect_cases as ic

SEARCH, USAGE, UNKNOWN = "search", "usage", "unknown"

# args -> (outcome, class, type, name) for a search, (USAGE,), or (UNKNOWN, offending argument).
CASES = [
    ([], (SEARCH, None, None, None)),
    (["-cCamera"], (SEARCH, "Camera", None, None)),
    (["-c", "Camera"], (SEARCH, "Camera", None, None)),
    # An option written as a word is read by its first letter; the next word is ignored.
    (["-class", "Camera"], (SEARCH, "lass", None, None)),
    # A value left pending is the empty text, not null: it matches no object.
    (["-c"], (SEARCH, "", None, None)),
    (["-c", "-t"], (SEARCH, "", "", None)),
    (["-c", "", "Camera"], (SEARCH, "Camera", None, None)),
    (["-cBoard", "-cPort"], (SEARCH, "Port", None, None)),
    (["-CCamera", "-TSimMono8", "-NCam0"], (SEARCH, "Camera", "SimMono8", "Cam0")),
    (["-t", "SimColor24", "-c", "Camera"], (SEARCH, "Camera", "SimColor24", None)),
    (["stray", "-nPort0", "more"], (SEARCH, None, None, "Port0")),
    (["-c-5"], (SEARCH, "-5", None, None)),
    (["-c", "-5"], (UNKNOWN, "-5")),
    (["-x"], (UNKNOWN, "-x")),
    (["-"], (UNKNOWN, "-")),
    (["-cCamera", "-x", "-?"], (UNKNOWN, "-x")),
    (["-cCamera", "-?", "-x"], (USAGE,)),
    (["-?junk", "-c"], (USAGE,)),
    # 1023 characters fit; a longer value is cut there and the rest dropped.
    (["-n" + "P" * 1023], (SEARCH, None, None, "P" * 1023)),
    (["-n" + "P" * 1024, "Cam0"], (SEARCH, None, None, "P" * 1023)),
    (["-n", "Q" * 1500], (SEARCH, None, None, "Q" * 1023)),
]


def search_args_in_trace(lines):
    """The filter texts of the first ObjectSearch call, as the trace writes them."""
    for line in lines:
        if line.startswith("ObjectSearch("):
            args = line[len("ObjectSearch("):line.rindex(") -> ")].split(", ")
            return args[2:5]
    return None


def traced(text):
    if text is None:
        return "null"
    return '"%s"' % text if len(text) <= 256 else '"%s"...' % text[:256]


class ParsingTest(unittest.TestCase):
    def test_cases(self):
        for args, expect in CASES:
            with self.subTest(args=[a[:20] for a in args]):
                trace = ic.trace_path(self)
                r = harness.run("qor-devinfo", args, env={"QORSIM_TRACE": trace})
                if expect[0] == SEARCH:
                    cls, typ, name = expect[1:]
                    self.assertEqual(ic.devinfo_transcript(cls, typ, name), r.stdout, r)
                    self.assertEqual(0, r.rc, r)
                    self.assertEqual([traced(cls), traced(typ), traced(name)],
                                     search_args_in_trace(harness.read_trace(trace)))
                    continue
                if expect[0] == USAGE:
                    self.assertEqual((ic.usage(), 0), (r.stdout, r.rc), r)
                else:
                    self.assertEqual((ic.unknown_option(expect[1]), 1), (r.stdout, r.rc), r)
                # Parsing ends before the library is touched.
                self.assertFalse(os.path.exists(trace) and harness.read_trace(trace), r)


if __name__ == "__main__":
    unittest.main()
