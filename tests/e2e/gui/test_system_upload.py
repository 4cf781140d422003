"""test_system_upload.py: ENTER on the OUTINTERFACE0 row sends BMP files written by
ImageMagick (whatever their name ends in), converted to grey at the output's 640x480; hostile files and a cancelled dialog
send nothing and the viewer goes on."""
import os
import re
import subprocess
import unittest

from harness import fnv1a64, read_stats, read_trace, workdir
from system_bmp_helpers import Viewer, bmp_header, magick, short_folder, write_ppm

OUT_W, OUT_H = 640, 480  # what system 1's output interface expects


def rgb_of(x, y):
    return (x * 3 + y) & 255, (x + 2 * y) & 255, (x * y) & 255


def grey_of(x, y):
    return (x + 2 * y) & 255


def make_files(folder):
    """The pictures and the bytes each must arrive as."""
    src = os.path.join(folder, "src.ppm")
    write_ppm(src, 700, 500, rgb_of)  # larger than the output: cut to its top-left
    magick([src, "BMP3:" + os.path.join(folder, "up24.bmp")])
    write_ppm(src, 300, 200, lambda x, y: (grey_of(x, y),) * 3)  # smaller: filled out
    magick([src, "-type", "Palette", "BMP3:" + os.path.join(folder, "up8.bmp")])
    os.remove(src)

    with open(os.path.join(folder, "up24.bmp"), "rb") as f:
        data24 = f.read()
    with open(os.path.join(folder, "up8.bmp"), "rb") as f:
        data8 = f.read()
    assert bmp_header(data24)["bits"] == 24 and bmp_header(data8)["bits"] == 8

    # 24 bits: the mean of the three components, every grey level kept.
    expect24 = bytes(sum(rgb_of(x, y)) // 3 for y in range(OUT_H) for x in range(OUT_W))
    # 8 bits: palette components as Allegro keeps them (0..63), taken from ImageMagick's own
    # reading of its file (it quantises the picture as it makes the palette); outside the
    # picture, palette entry 0.
    rgb8 = subprocess.run(["convert", os.path.join(folder, "up8.bmp"), "-depth", "8", "rgb:-"],
                          stdout=subprocess.PIPE, check=True, timeout=60).stdout

    def grey6(r, g, b):
        return ((r >> 2) + (g >> 2) + (b >> 2)) // 3
    b, g, r = data8[54:57]
    outside = grey6(r, g, b)
    expect8 = bytes(grey6(*rgb8[(y * 300 + x) * 3:(y * 300 + x) * 3 + 3])
                    if x < 300 and y < 200 else outside
                    for y in range(OUT_H) for x in range(OUT_W))
    assert max(expect8) <= 63

    # A BMP under another picture format's name: still read as the BMP it is.
    with open(os.path.join(folder, "up24.pcx"), "wb") as f:
        f.write(data24)
    with open(os.path.join(folder, "truncated.bmp"), "wb") as f:
        f.write(data24[:len(data24) // 2])
    huge = bytearray(data24[:4096])
    huge[18:26] = (0x7FFFFFFF).to_bytes(4, "little") * 2
    with open(os.path.join(folder, "huge.bmp"), "wb") as f:
        f.write(huge)
    return expect24, expect8


class Upload(unittest.TestCase):
    def test_uploads_hostile_files_and_cancel(self):
        logs = workdir(self.id())
        folder = short_folder(self)
        expect24, expect8 = make_files(folder)
        stats = os.path.join(logs, "stats.json")
        trace = os.path.join(logs, "trace.txt")
        with Viewer(folder, env={"QORSIM_STATS": stats, "QORSIM_TRACE": trace}) as v:
            try:
                # The last rows are OUTINTERFACE0 and system 1's two input-control instances.
                v.xvfb.keys(*["Down"] * 30 + ["Up"] * 2)
                for name in ("up24.bmp", "up8.bmp", "up24.pcx", "truncated.bmp", "huge.bmp"):
                    v.choose(["Return"], name)
                v.choose(["Return"], "up24.bmp", finish="Escape")
                v.proc.wait_output(re.compile(r"Image not sent.*huge\.bmp"))
                v.wait_frames()  # the viewer goes on after all of them
                self.assertEqual(v.quit(), 0)
            except BaseException:
                v.xvfb.screenshot(os.path.join(logs, "failure.png"))
                print(v.proc.stdout[-3000:])
                raise

        out = v.proc.stdout
        self.assertEqual(len(re.findall(r"^-{23}$", out, re.M)), 5)  # confirmed dialogs only
        self.assertRegex(out, r"Image not sent, .*: .*truncated\.bmp\n")
        self.assertRegex(out, r"Image not sent, .*: .*huge\.bmp\n")

        self.assertEqual(read_stats(stats)["uploads"],
                         [{"bytes": OUT_W * OUT_H, "fnv1a64": fnv1a64(expect24)},
                          {"bytes": OUT_W * OUT_H, "fnv1a64": fnv1a64(expect8)},
                          {"bytes": OUT_W * OUT_H, "fnv1a64": fnv1a64(expect24)}])
        # From the first drawing of the OUTINTERFACE0 row on: each upload makes its output
        # header and frees it again; only the three good files begin, fill and end a block.
        lines = read_trace(trace)
        first = next(i for i, line in enumerate(lines) if line.startswith("OutDInterfaceGetType"))
        kept = ("DataheaderCreate", "DataheaderFree", "OutDInterfaceBeginBlock",
                "OutDInterfaceTransfer", "OutDInterfaceEndBlock")
        calls = [line.split("(")[0] for line in lines[first:] if line.startswith(kept)]
        good = ["DataheaderCreate", "OutDInterfaceBeginBlock", "OutDInterfaceTransfer",
                "OutDInterfaceEndBlock", "DataheaderFree"]
        self.assertEqual(calls[:21], good * 3 + ["DataheaderCreate", "DataheaderFree"] * 3)
    def test_failed_transfer_leaves_the_block_open_and_the_viewer_running(self):
        logs = workdir(self.id())
        folder = short_folder(self)
        make_files(folder)
        stats = os.path.join(logs, "stats.json")
        trace = os.path.join(logs, "trace.txt")
        env = {"QORSIM_STATS": stats, "QORSIM_TRACE": trace,
               "QORSIM_FAULTS": "OutDInterfaceTransfer=1"}
        with Viewer(folder, env=env) as v:
            try:
                v.xvfb.keys(*["Down"] * 30 + ["Up"] * 2)
                v.choose(["Return"], "up24.bmp")
                v.proc.wait_output(re.compile(r"^-{23}$", re.M))
                v.wait_frames()
                self.assertEqual(v.quit(), 0)
            except BaseException:
                v.xvfb.screenshot(os.path.join(logs, "failure.png"))
                print(v.proc.stdout[-3000:])
                raise

        self.assertEqual(read_stats(stats)["uploads"], [])
        lines = read_trace(trace)
        begin = next(i for i, line in enumerate(lines)
                     if line.startswith("OutDInterfaceBeginBlock"))
        calls = [line.split("(")[0] for line in lines[begin:] if line.startswith("OutD")
                 or line.startswith("DataheaderFree")]
        self.assertEqual(calls[:3], ["OutDInterfaceBeginBlock", "OutDInterfaceTransfer",
                                     "DataheaderFree"])
        self.assertNotIn("OutDInterfaceEndBlock", calls)
        self.assertRegex(lines[begin + 1], r"^OutDInterfaceTransfer\(\d+, ptr, %d, ptr, ptr\) "
                         r"-> 1$" % (OUT_W * OUT_H))


if __name__ == "__main__":
    unittest.main()
