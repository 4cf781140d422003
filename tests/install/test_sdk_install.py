"""test_sdk_install.py: cmake --install into a temporary prefix; the example built outside the
source tree against it with find_package and with pkg-config, and run; the installed programs
run on the installed library without LD_LIBRARY_PATH."""
import os
import re
import shutil
import tempfile
import unittest

import harness
import sdk_prefix as sp


def install(test):
    prefix = os.path.join(sp.scratch(test), "prefix")
    rc, out = sp.run(["cmake", "--install", sp.BUILD, "--prefix", prefix])
    test.assertEqual(0, rc, out)
    return prefix


class InstallTest(unittest.TestCase):
    def test_files_and_descriptions(self):
        prefix = install(self)
        missing = [f for f in sp.INSTALLED if not os.path.isfile(os.path.join(prefix, f))]
        self.assertEqual([], missing)
        for p in sp.PROGRAMS:
            self.assertTrue(os.access(os.path.join(prefix, "bin", p), os.X_OK), p)
        env = sp.clean_env({"PKG_CONFIG_PATH": os.path.join(prefix, "lib/pkgconfig")})
        rc, out = sp.run(["pkg-config", "--modversion", "qorlib3"], env=env)
        self.assertEqual((0, sp.VERSION), (rc, out.strip()))
        # The .pc finds the prefix from where it lies, not from the configured prefix.
        rc, out = sp.run(["pkg-config", "--cflags", "--libs", "qorlib3"], env=env)
        self.assertEqual(0, rc, out)
        include, lib = re.match(r"-I(\S+)\s+-L(\S+)\s+-lqorlib3\s*$", out).groups()
        self.assertEqual(os.path.join(prefix, "include"), os.path.realpath(include))
        self.assertEqual(os.path.join(prefix, "lib"), os.path.realpath(lib))

    def test_installed_programs_load_the_installed_library(self):
        # Moved after installing: only the run path relative to the program can find it.
        prefix = install(self)
        moved = os.path.join(os.path.dirname(prefix), "moved")
        shutil.move(prefix, moved)
        lib = os.path.join(moved, "lib", "libqorlib3.so")
        for program, args in (("qor-objtree", []), ("qor-devinfo", ["-c", "Camera"])):
            with self.subTest(program=program):
                rc, out = sp.run([os.path.join(moved, "bin", program)] + args,
                                 env=sp.clean_env({"LD_DEBUG": "libs"}))
                self.assertEqual(0, rc, out)
                self.assertIn("Ok\n", out)
                loaded = re.findall(r"calling init: (\S*libqorlib3\.so)", out)
                self.assertEqual([lib], [os.path.realpath(p) for p in loaded], out)
        rc, out = sp.run([os.path.join(moved, "bin", "qor-system"), "--help"])
        self.assertEqual(0, rc, out)
        self.assertIn("F3", out)


class ExampleTest(unittest.TestCase):
    """The example copied out of the tree, built both ways against an installed prefix."""

    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="qor-sdk-example-")
        prefix = os.path.join(cls.work, "prefix")
        src = os.path.join(cls.work, "consumer")
        cmake_build = os.path.join(cls.work, "build-cmake")
        pc_build = os.path.join(cls.work, "build-pkg-config")
        flags = sp.EXAMPLE_FLAGS
        env = sp.clean_env({"CXX": sp.CXX})
        pc_env = dict(env, PKG_CONFIG_PATH=os.path.join(prefix, "lib/pkgconfig"),
                      CXXFLAGS="-O2 " + flags, LDFLAGS=flags)
        shutil.copytree(os.path.join(sp.SOURCE, "sdk/examples/consumer"), src)
        shutil.copytree(src, pc_build)
        steps = (
            (["cmake", "--install", sp.BUILD, "--prefix", prefix], env),
            (["cmake", "-S", src, "-B", cmake_build, "-DCMAKE_PREFIX_PATH=" + prefix,
              "-DCMAKE_CXX_FLAGS=" + flags, "-DCMAKE_EXE_LINKER_FLAGS=" + flags], env),
            (["cmake", "--build", cmake_build], env),
            (["make", "-C", pc_build], pc_env),
        )
        for cmd, step_env in steps:
            rc, out = sp.run(cmd, env=step_env)
            if rc != 0:
                shutil.rmtree(cls.work, True)
                raise AssertionError("%s failed:\n%s" % (" ".join(cmd), out))
        cls.programs = [os.path.join(cmake_build, "qor-consumer"),
                        os.path.join(pc_build, "qor-consumer")]

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, True)

    def test_builds_and_runs_both_ways(self):
        # (arguments, exit code, frame size in bytes, frames, a line the output must hold)
        cases = (
            ([], 0, 640 * 480, 5, "System 1 created"),
            (["4", "2"], 0, 640 * 480 * 3, 2, "System 4 created"),
            (["3", "1"], 0, 640 * 480 * 2, 1, "System 3 created"),
            (["7"], 1, 0, 0, "SystemCreate failed with status 310"),
        )
        for program in self.programs:
            for args, code, size, frames, line in cases:
                with self.subTest(program=program, args=args):
                    stats = os.path.join(self.work, "stats.json")
                    rc, out = sp.run([program] + args, env=sp.clean_env({"QORSIM_STATS": stats}))
                    self.assertEqual(code, rc, out)
                    self.assertIn(line + "\n", out)
                    self.assertIn("  1 SimMono8\n", out)
                    self.assertTrue(out.endswith("Done\n" if code == 0 else "Failed\n"), out)
                    shown = re.findall(r"^frame \d+: \d+x\d+, (\d+) bytes, fnv1a64 [0-9a-f]{16}$",
                                       out, re.M)
                    self.assertEqual([str(size)] * frames, shown, out)
                    if code == 0:
                        s = harness.read_stats(stats)
                        self.assertEqual((frames, size * frames),
                                         (s["frames_delivered"], s["bytes_transferred"]))

    def test_failures_are_reported_and_released(self):
        trace = os.path.join(self.work, "trace.txt")
        for program in self.programs:
            for fault, text in (("InDInterfaceWait=1202", "InDInterfaceWait failed with status 1202"),
                                ("InDInterfaceTransfer=307", "InDInterfaceTransfer failed"),
                                ("SystemInit=5", "SystemInit failed with status 5")):
                with self.subTest(program=program, fault=fault):
                    if os.path.exists(trace):
                        os.remove(trace)
                    rc, out = sp.run([program, "1", "2"],
                                     env=sp.clean_env({"QORSIM_FAULTS": fault, "QORSIM_TRACE": trace}))
                    self.assertEqual(1, rc, out)
                    self.assertIn(text, out)
                    calls = [l.split("(")[0] for l in harness.read_trace(trace)]
                    # What was taken is given back: the system destroyed, the library shut down.
                    self.assertEqual(["SystemDestroy", "Exit"], calls[-2:], calls)
                    if "Transfer" in fault:
                        self.assertIn("InDInterfaceEndBlock", calls)
            rc, out = sp.run([program, "1", "many"])
            self.assertEqual(2, rc, out)
            self.assertIn("usage:", out)


if __name__ == "__main__":
    unittest.main()
