"""test_system_startup_args.py: qor-system's arguments, option overrides and system dialogue."""
import os
import unittest

import harness
from system_startup_expect import (SYSTEM_LIST, bad, normalise, run_viewer, s1_options,
                                   s1_startup, shutdown_after_no_display)


def set_scalar_calls(trace_path):
    return [line for line in harness.read_trace(trace_path)
            if line.startswith("OptionSetScalar(")]


class Overrides(unittest.TestCase):
    def test_overrides(self):
        # (arguments, listed exposure/rate/gain, OptionSetScalar calls made)
        cases = [
            (["-Gain=7"], (20000, 25, 7), ["OptionSetScalar(21, 7, 0, ptr) -> 0"]),
            (["-Gain=49"], (20000, 25, 0), ["OptionSetScalar(21, 49, 0, ptr) -> 303"]),
            (["-Gain=abc"], (20000, 25, 0), []),
            (["-Gain="], (20000, 25, 0), []),
            (["-Gain"], (20000, 25, 0), []),
            (["-Gain=3", "-Gain=9"], (20000, 25, 9), ["OptionSetScalar(21, 9, 0, ptr) -> 0"]),
            (["-Gain=9", "-Gain=x"], (20000, 25, 0), []),       # the last one counts
            (["-TestPattern=2", "-PixelFormat=1"], (20000, 25, 0), []),
            (["-Nothing=5", "-gain=5"], (20000, 25, 0), []),
            (["-ExposureTime= 5000us", "-FrameRate=0"], (5000, 0, 0),
             ["OptionSetScalar(19, 5000, 0, ptr) -> 0", "OptionSetScalar(20, 0, 0, ptr) -> 0"]),
        ]
        d = harness.workdir(self.id())
        for args, (exposure, rate, gain), calls in cases:
            with self.subTest(args=args):
                trace = os.path.join(d, "trace")
                r = run_viewer(["s1"] + args, env={"QORSIM_TRACE": trace})
                self.assertEqual(normalise(r.stdout),
                                 s1_startup(s1_options(exposure, rate, gain)) +
                                 shutdown_after_no_display(), r)
                self.assertEqual(set_scalar_calls(trace), calls)


class Arguments(unittest.TestCase):
    def test_bad_arguments_are_reported_and_skipped(self):
        args = ["x", "", "s", "o640", "oabc-480", "o640-x", "Q1", "s1"]
        r = run_viewer(args)
        expected = (bad("x") + bad("") + bad("s") + bad("o640") + bad("oabc") + bad("o640") +
                    bad("Q1") + s1_startup() + shutdown_after_no_display())
        self.assertEqual(normalise(r.stdout), expected, r)
        self.assertEqual(r.rc, 255, r)

    def test_mode_letters_print_one_line_each_before_the_library_starts(self):
        r = run_viewer(["o800-600-CW", "o640-480-gf", "p", "s1"])
        prefix = ("Video_Select_Mode 5\nVideo_Select_Mode 6\n"
                  "Video_Select_Mode 4\nVideo_Select_Mode 7\n")
        self.assertEqual(normalise(r.stdout), prefix + s1_startup() + shutdown_after_no_display(),
                         r)

    def test_s_without_number_falls_back_to_the_dialogue(self):
        r = run_viewer(["s"], stdin="1\n")
        self.assertEqual(normalise(r.stdout),
                         bad("s") + s1_startup().replace(
                             "Init QOR-VOZ3:OK\n", "Init QOR-VOZ3:OK\n" + SYSTEM_LIST, 1) +
                         shutdown_after_no_display(), r)


class Dialogue(unittest.TestCase):
    def test_bad_answers_repeat_the_dialogue(self):
        # A non-number is discarded to its line end without a message; ids the list lacks
        # (7, and -1 which reads as 4294967295) say "Bad ID !!!".
        r = run_viewer([], stdin="abc def\n7\n-1\n  1  \n")
        expected_start = ("Init QOR-VOZ3:OK\n" + SYSTEM_LIST + SYSTEM_LIST + "Bad ID !!!\n" +
                          SYSTEM_LIST + "Bad ID !!!\n" + SYSTEM_LIST)
        self.assertEqual(normalise(r.stdout),
                         s1_startup().replace("Init QOR-VOZ3:OK\n", expected_start, 1) +
                         shutdown_after_no_display(), r)

    def test_prompt_shows_before_the_answer_is_read(self):
        # Output goes to a pipe: each prompt must be flushed before the program waits for input.
        r = harness.Running("qor-system", [])
        try:
            shown = "Init QOR-VOZ3:OK\n" + SYSTEM_LIST
            self.assertEqual(r.wait_output(lambda o: o.endswith("ID: "), timeout=30), shown)
            r.proc.stdin.write(b"9\n")
            r.proc.stdin.flush()
            shown += "Bad ID !!!\n" + SYSTEM_LIST
            self.assertEqual(r.wait_output(lambda o: len(o) >= len(shown), timeout=30), shown)
            r.proc.stdin.write(b"6\n")
            r.proc.stdin.close()
            self.assertEqual(r.wait_exit(60), 255, r.stdout)
        finally:
            r.kill()
        self.assertTrue(normalise(r.stdout).startswith(shown + "Create system [SimMinimal]: OK"),
                        r.stdout)
        self.assertTrue(r.stdout.endswith(shutdown_after_no_display()), r.stdout)

    def test_end_of_input_shuts_the_library_down(self):
        cases = [("", SYSTEM_LIST), ("x\n", SYSTEM_LIST * 2), ("9", SYSTEM_LIST + "Bad ID !!!\n" +
                                                               SYSTEM_LIST)]
        d = harness.workdir(self.id())
        for stdin, dialogue in cases:
            with self.subTest(stdin=stdin):
                trace = os.path.join(d, "trace")
                r = run_viewer([], stdin=stdin, env={"QORSIM_TRACE": trace})
                self.assertEqual(r.stdout, "Init QOR-VOZ3:OK\n" + dialogue +
                                 "\nNo system chosen: standard input ended.\n", r)
                self.assertEqual(r.rc, 255, r)
                calls = harness.read_trace(trace)
                self.assertEqual(calls[-1], "Exit(ptr) -> 0")
                self.assertFalse([c for c in calls if c.startswith("SystemCreate")])


if __name__ == "__main__":
    unittest.main()
