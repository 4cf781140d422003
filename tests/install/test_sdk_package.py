"""test_sdk_package.py: cpack -G DEB from the build under test; the package holds what an
install holds, under /usr, and depends on what the installed files link."""
import os
import shutil
import unittest

import sdk_prefix as sp


@unittest.skipUnless(shutil.which("dpkg-deb") and shutil.which("dpkg-shlibdeps"),
                     "dpkg-dev is not installed")
class PackageTest(unittest.TestCase):
    def test_deb_files_and_depends(self):
        out_dir = sp.scratch(self)
        rc, out = sp.run(["cpack", "-G", "DEB", "--config",
                          os.path.join(sp.BUILD, "CPackConfig.cmake"), "-B", out_dir])
        self.assertEqual(0, rc, out)
        deb = os.path.join(out_dir, "qorlib3-sdk_%s_amd64.deb" % sp.VERSION)
        if not os.path.exists(deb):
            debs = [f for f in os.listdir(out_dir) if f.endswith(".deb")]
            self.assertEqual(1, len(debs), out)
            deb = os.path.join(out_dir, debs[0])

        rc, out = sp.run(["dpkg-deb", "--contents", deb])
        self.assertEqual(0, rc, out)
        held = {line.split()[-1].lstrip(".") for line in out.splitlines() if line.strip()}
        self.assertEqual([], [f for f in sp.INSTALLED if "/usr/" + f not in held])

        rc, depends = sp.run(["dpkg-deb", "--field", deb, "Depends"])
        self.assertEqual(0, rc, depends)
        names = {d.split()[0] for d in depends.split(",")}
        # The viewers load Allegro; nothing may depend on a package for the SDK's own library.
        self.assertTrue(any(n.startswith("liballegro4") for n in names), depends)
        self.assertIn("libc6", names)
        self.assertFalse(any("qorlib3" in n for n in names), depends)


if __name__ == "__main__":
    unittest.main()
