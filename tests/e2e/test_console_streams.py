"""test_console_streams.py: the inspection tools with a closed standard descriptor (nothing the
program opens may take its number) and with standard output on a full device (a failure, not
a success)."""
import os
import re
import subprocess
import unittest

import harness

TRACE_LINE = re.compile(r"^\w+\(.*\) -> ")
RUNS = [("qor-devinfo", ["-n", "Cam0"]), ("qor-objtree", [])]


def start(name, args, env, close=None, stdout=subprocess.PIPE, timeout=60):
    """Runs a program with descriptor `close` closed in the child; (rc, stdout, stderr)."""
    preexec = (lambda: os.close(close)) if close is not None else None
    p = subprocess.run([harness.program(name)] + list(args), stdin=subprocess.DEVNULL,
                       stdout=stdout, stderr=subprocess.PIPE if close != 2 else None,
                       env=harness.base_env(env), preexec_fn=preexec, timeout=timeout)
    text = lambda b: b.decode("latin-1") if b is not None else ""
    return p.returncode, text(p.stdout), text(p.stderr)


class ClosedDescriptors(unittest.TestCase):
    def test_a_closed_descriptor_gets_no_file_the_program_opens(self):
        for name, args in RUNS:
            for fd in (0, 1, 2):
                with self.subTest(program=name, closed=fd):
                    trace = os.path.join(harness.workdir("%s.%s.%d" % (self.id(), name, fd)),
                                         "trace")
                    rc, out, _ = start(name, args, {"QORSIM_TRACE": trace}, close=fd,
                                       stdout=subprocess.PIPE if fd != 1 else None)
                    self.assertEqual(rc, 0, out)
                    lines = harness.read_trace(trace)
                    self.assertEqual([l for l in lines if not TRACE_LINE.match(l)], [])
                    self.assertEqual(lines[-1], "Exit(ptr) -> 0")
                    if fd != 1:
                        self.assertTrue(out.startswith("Init QOR-VOZ3: Ok\n"), out)
                        self.assertTrue(out.endswith("Shutdown QOR-VOZ3: Ok\n"), out)


class FullOutput(unittest.TestCase):
    def test_lost_output_is_a_failure_and_failures_keep_their_status(self):
        cases = [
            ("qor-devinfo", ["-n", "Cam0"], {}),
            ("qor-devinfo", ["-?"], {}),
            ("qor-devinfo", ["-x"], {}),                            # its own status 1 stays
            ("qor-devinfo", [], {"QORSIM_FAULTS": "Init=5"}),        # the report is lost too
            ("qor-objtree", [], {}),
            ("qor-objtree", [], {"QORSIM_FAULTS": "Init=5"}),
        ]
        for name, args, env in cases:
            with self.subTest(program=name, args=args, env=env):
                with open("/dev/full", "w") as full:
                    rc, _, err = start(name, args, env, stdout=full)
                self.assertEqual(rc, 1)
                self.assertRegex(err, r"^%s: cannot write to standard output(: .*)?\n$" % name)

    def test_output_that_fits_is_no_failure(self):
        for name, args in RUNS:
            with self.subTest(program=name):
                rc, out, err = start(name, args, {})
                self.assertEqual((rc, err), (0, ""))
                self.assertTrue(out.endswith("Shutdown QOR-VOZ3: Ok\n"), out)


if __name__ == "__main__":
    unittest.main()
