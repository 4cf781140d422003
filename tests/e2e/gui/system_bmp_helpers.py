"""system_bmp_helpers.py: the viewer under Xvfb for the BMP export and upload tests.

The file selector's opening and closing, BMP headers and the grey conversion the
viewer applies to uploads, all waited for with a bound.
"""
import os
import shutil
import struct
import subprocess
import tempfile

from harness import Running, Xvfb, wait_for

SCREEN_W, SCREEN_H = 800, 600  # Xvfb the size of the viewer's default mode: no offset to find


# Allegro's file selector in an 800x600 screen: the OK and Cancel buttons are white outlines
# with these top and bottom rows, black inside.
BUTTON_ROWS = (532, 547)
BUTTON_SPANS = ((299, 378), (419, 498))


def buttons_shown(screen):
    for x0, x1 in BUTTON_SPANS:
        for y in BUTTON_ROWS:
            if any(screen.pixel(x, y) != (255, 255, 255) for x in range(x0, x1 + 1)):
                return False
        if screen.pixel(x0 + 6, 540) != (0, 0, 0):
            return False
    return True


def wait_dialog(x, timeout=30):
    """Until the selector's buttons show and the loop stands still behind the dialog (two
    screenshots alike), so old buttons left in the overlay by an earlier dialog do not count."""
    last = [None]

    def shown():
        now = x.screenshot()
        ready = buttons_shown(now) and now.data == last[0]
        last[0] = now.data
        return ready
    wait_for(shown, timeout, "the file selector")


def image_area(screen, rows):
    """The screen's top rows (the image sits at the top-left in the viewer's 800x600 mode)."""
    return screen.data[:rows * SCREEN_W * 3]


class Viewer:
    """qor-system on system 1 in its default grey mode, run in its own folder under Xvfb."""

    def __init__(self, folder, env=None):
        self.folder = folder
        self.env = env or {}

    def __enter__(self):
        self.xvfb = Xvfb(SCREEN_W, SCREEN_H).__enter__()
        here = os.getcwd()
        os.chdir(self.folder)  # the file selector opens in the program's folder
        try:
            self.proc = Running("qor-system", ["s1", "-FrameRate=0"], env=self.env,
                                display=self.xvfb.display)
        finally:
            os.chdir(here)
        try:
            self.proc.wait_output("VideoMode", timeout=60)
            self.wait_frames()
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        self.proc.kill()
        self.xvfb.__exit__()

    def wait_frames(self):
        """Until the image changes between two screenshots: frames are being shown."""
        first = image_area(self.xvfb.screenshot(), 400)
        wait_for(lambda: image_area(self.xvfb.screenshot(), 400) != first, 30, "moving frames")

    def wait_frozen(self):
        """Until two screenshots in a row show the same image: single-step holds a frame."""
        last = [image_area(self.xvfb.screenshot(), 400)]

        def same():
            now = image_area(self.xvfb.screenshot(), 400)
            if now == last[0]:
                return True
            last[0] = now
            return False
        wait_for(same, 30, "a held frame")

    def choose(self, keys_to_open, typed, finish="Return", running=True):
        """Opens a file selector with keys, types into it and ends it with finish (Return or
        Escape). While frames run, waits until they cover the dialog again; a held frame
        leaves it on screen, so then the caller waits for the outcome itself."""
        self.xvfb.keys(*keys_to_open)
        wait_dialog(self.xvfb)
        if typed:
            self.type_into_dialog(typed)
        self.xvfb.keys(finish)
        if running:
            self.wait_frames()

    def type_into_dialog(self, text):
        """The dialog drops the keys that come while it starts, so a text is typed again
        until the edit line shows a change (it is the only thing that moves in the dialog)."""
        for _ in range(5):
            before = self.xvfb.screenshot().data
            self.xvfb.type_text(text)
            try:
                wait_for(lambda: self.xvfb.screenshot().data != before, 5, "typed text")
                return
            except AssertionError:
                continue
        raise AssertionError("the file selector never took the typed text")

    def quit(self):
        self.xvfb.keys("Escape")
        return self.proc.wait_exit(60)


def short_folder(test):
    """A folder for the files the dialogs name. Allegro's selector holds about 61 characters
    of path with the viewer's 250-byte size (it counts four bytes a character), so the build's
    deep test-out folder would leave no room to type a name."""
    folder = tempfile.mkdtemp(prefix="qbmp")
    test.addCleanup(shutil.rmtree, folder, True)
    return folder


def bmp_header(data):
    """The fields of the file header and the Windows information header, by name."""
    names = ("signature", "file_size", "reserved1", "reserved2", "offset", "header_size",
             "width", "height", "planes", "bits", "compression", "image_size", "x_resolution",
             "y_resolution", "colours_used", "important_colours")
    return dict(zip(names, struct.unpack("<HIHHIIiiHHIIiiII", data[:54])))


def wait_file(path, size, timeout=30):
    wait_for(lambda: os.path.exists(path) and os.path.getsize(path) == size, timeout,
             "%s of %d bytes" % (path, size))
    with open(path, "rb") as f:
        return f.read()


def magick(args, timeout=60):
    subprocess.run(["convert"] + list(args), check=True, timeout=timeout)


def write_ppm(path, width, height, rgb_of):
    """A binary PPM whose pixel (x, y) is rgb_of(x, y)."""
    body = bytearray()
    for y in range(height):
        for x in range(width):
            body += bytes(rgb_of(x, y))
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height) + bytes(body))
