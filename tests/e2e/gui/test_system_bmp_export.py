"""test_system_bmp_export.py: F2 in the running viewer saves the held frame as chosen in the
file selector; the next dialog starts in the last file's folder; cancelling writes nothing."""
import os
import unittest

from harness import workdir
from system_bmp_helpers import Viewer, bmp_header, short_folder, wait_file

FRAME_FILE_SIZE = 54 + 1024 + 640 * 480  # system 1: 640x480, 8 bits, no row padding
COMPARED_ROWS = 400  # the overlay's bars and status lines begin below these


def find_frame(screen, pixels, width):
    """Screen offset (dx, dy) at which the file's top rows show, allowing the 6-bit grey
    palette of the 8-bit mode (a screen level differs from the pixel's by at most 4) and the
    single-step prompt that the viewer writes on the screen only (under 1% of the points)."""
    def share(dx, dy, step):
        good = total = 0
        for y in range(0, COMPARED_ROWS, step):
            for x in range(0, width, step):
                s = screen.pixel(x + dx, y + dy)
                total += 1
                good += s[0] == s[1] == s[2] and abs(s[0] - pixels[y][x]) <= 4
        return good / total
    for dy in range(0, 8):
        for dx in range(0, 8):
            if share(dx, dy, 13) > 0.95 and share(dx, dy, 1) > 0.98:
                return dx, dy
    return None


class BmpExport(unittest.TestCase):
    def test_save_cut_path_and_cancel(self):
        logs = workdir(self.id())
        folder = short_folder(self)
        with Viewer(folder) as v:
            try:
                v.xvfb.keys("F3")  # single-step: the frame stays while it is saved
                v.wait_frozen()
                shown = v.xvfb.screenshot()
                v.choose(["F2"], "a.bmp", running=False)
                data = wait_file(os.path.join(folder, "a.bmp"), FRAME_FILE_SIZE)

                head = bmp_header(data)
                self.assertEqual((head["signature"], head["bits"], head["width"], head["height"],
                                  head["offset"], head["file_size"]),
                                 (0x4D42, 8, 640, 480, 1078, FRAME_FILE_SIZE))
                rows = [data[1078 + (479 - y) * 640:1078 + (480 - y) * 640] for y in range(480)]
                self.assertIsNotNone(find_frame(shown, rows, 640),
                                     "the saved pixels are not the frame on screen")

                # The next dialog opens with a.bmp's folder (no separator after it), so a name
                # typed with its separator lands beside a.bmp.
                v.xvfb.keys("F3", "Return")  # single-step off, and on from the held frame
                v.wait_frames()
                v.choose(["F2"], "/b.bmp")
                wait_file(os.path.join(folder, "b.bmp"), FRAME_FILE_SIZE)

                # A cancelled dialog writes nothing, whatever was typed into it, and the next
                # one still starts in the folder of the last saved file.
                before = sorted(os.listdir(folder))
                v.choose(["F2"], "sub/", finish="Escape")
                self.assertEqual(sorted(os.listdir(folder)), before)
                v.choose(["F2"], "/c.bmp")
                wait_file(os.path.join(folder, "c.bmp"), FRAME_FILE_SIZE)

                self.assertEqual(v.quit(), 0)
            except BaseException:
                v.xvfb.screenshot(os.path.join(logs, "failure.png"))
                print(v.proc.stdout[-3000:])
                raise


if __name__ == "__main__":
    unittest.main()
