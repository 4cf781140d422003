"""test_sim_switch_failures.py: the stand-in's switches where they cannot do what they say: a
fault value beyond int's range, and a trace or statistics file that cannot be written (one
warning each, never silence)."""
import os
import unittest

import harness

OBJTREE_END = "Shutdown QOR-VOZ3: Ok\n"


class FaultValues(unittest.TestCase):
    def test_values_beyond_int_stay_failures(self):
        for value in ("2147483648", "3000000000", "4294967295"):
            with self.subTest(value=value):
                r = harness.run("qor-objtree", env={"QORSIM_FAULTS": "Init=" + value})
                self.assertEqual(r.rc, 1, r)
                self.assertIn("QORSIM_FAULTS makes Init return 2147483647", r.stdout)
                self.assertTrue(r.stdout.endswith("Shutdown QOR-VOZ3 Ok\n"), r)


class UnwritableFiles(unittest.TestCase):
    def test_each_lost_file_is_warned_about_once(self):
        d = harness.workdir(self.id())
        missing = os.path.join(d, "no-such-folder", "file")
        cases = [
            ({"QORSIM_STATS": missing}, "statistics", missing, "No such file or directory"),
            ({"QORSIM_TRACE": missing}, "trace", missing, "No such file or directory"),
            ({"QORSIM_STATS": "/dev/full"}, "statistics", "/dev/full", "No space left on device"),
            ({"QORSIM_TRACE": "/dev/full"}, "trace", "/dev/full", "No space left on device"),
        ]
        for env, what, path, reason in cases:
            with self.subTest(env=env):
                r = harness.run("qor-objtree", env=env)
                self.assertEqual(r.rc, 0, r)
                self.assertTrue(r.stdout.endswith(OBJTREE_END), r)
                self.assertEqual(r.stderr, "qorlib3: cannot write the %s file %s: %s\n" %
                                 (what, path, reason))


if __name__ == "__main__":
    unittest.main()
