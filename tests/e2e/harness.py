"""harness.py: runs the built programs on the stand-in library for the end-to-end tests.

Everything here waits for a condition with a bound; nothing sleeps a fixed time.
"""
import json
import os
import re
import select
import shutil
import subprocess
import tempfile
import time

BIN = os.environ.get("QOR_BIN", os.path.join(os.path.dirname(__file__), "../../build/bin"))
OUT = os.environ.get("QOR_OUT", tempfile.gettempdir())


def program(name):
    return os.path.join(BIN, name)


def base_env(extra=None, display=None):
    """The environment of a program run: no display unless given, no leak checks
    (Allegro and X11 keep memory until exit), every QORSIM_ switch cleared. Allegro's own
    SIGSEGV handler is kept out, so a crash shows the sanitizer's report."""
    env = {k: v for k, v in os.environ.items() if not k.startswith("QORSIM_")}
    env.pop("DISPLAY", None)
    env["ASAN_OPTIONS"] = "detect_leaks=0:abort_on_error=0:allow_user_segv_handler=0"
    env["UBSAN_OPTIONS"] = "print_stacktrace=1:halt_on_error=1"
    if display:
        env["DISPLAY"] = display
    if extra:
        env.update({k: str(v) for k, v in extra.items()})
    return env


class Result:
    def __init__(self, rc, stdout, stderr):
        self.rc = rc
        self.stdout = stdout
        self.stderr = stderr

    def __repr__(self):
        return "rc=%r\n--- stdout\n%s\n--- stderr\n%s" % (self.rc, self.stdout, self.stderr)


def run(name, args=(), env=None, stdin=None, timeout=60, display=None):
    """Runs a program to its end; rc is the exit status as the shell sees it (0..255)."""
    p = subprocess.run([program(name)] + list(args), input=(stdin or "").encode("latin-1"),
                       stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                       env=base_env(env, display), timeout=timeout)
    return Result(p.returncode, p.stdout.decode("latin-1"), p.stderr.decode("latin-1"))


def workdir(test_id):
    """A fresh folder under the build's test-out for one test's files."""
    d = os.path.join(OUT, re.sub(r"[^A-Za-z0-9_.-]", "_", test_id))
    shutil.rmtree(d, ignore_errors=True)
    os.makedirs(d)
    return d


def read_trace(path):
    """The QORSIM_TRACE lines, without their line ends."""
    with open(path, encoding="latin-1") as f:
        return f.read().splitlines()


def read_stats(path):
    with open(path) as f:
        return json.load(f)


def fnv1a64(data):
    h = 0xcbf29ce484222325
    for b in data:
        h ^= b
        h = (h * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF
    return "%016x" % h


def wait_for(cond, timeout=20.0, what="condition"):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        v = cond()
        if v:
            return v
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


class Xvfb:
    """A private X server for one test: `with Xvfb() as x: ... x.display`."""

    def __init__(self, width=1024, height=768, depth=24):
        self.geometry = "%dx%dx%d" % (width, height, depth)
        self.proc = None
        self.display = None

    def __enter__(self):
        r, w = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", self.geometry, "-nolisten", "tcp"],
            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        buf = b""
        end = time.monotonic() + 20
        while not buf.endswith(b"\n"):
            left = end - time.monotonic()
            if left <= 0 or not select.select([r], [], [], left)[0]:
                self.proc.kill()
                raise AssertionError("Xvfb did not start")
            chunk = os.read(r, 64)
            if not chunk:
                raise AssertionError("Xvfb exited at start")
            buf += chunk
        os.close(r)
        self.display = ":" + buf.decode().strip()
        return self

    def __exit__(self, *exc):
        if self.proc:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()

    def keys(self, *keys, delay_ms=30):
        """Sends keys with xdotool (names as xdotool knows them: Escape, F2, shift+Right)."""
        subprocess.run(["xdotool", "key", "--delay", str(delay_ms)] + list(keys),
                       env=dict(os.environ, DISPLAY=self.display), check=True, timeout=30)

    def type_text(self, text):
        subprocess.run(["xdotool", "type", "--delay", "20", text],
                       env=dict(os.environ, DISPLAY=self.display), check=True, timeout=30)

    def screenshot(self, png_path=None):
        """The whole screen as an Image; also saved as PNG when a path is given."""
        xwd = subprocess.run(["xwd", "-root", "-silent", "-display", self.display],
                             stdout=subprocess.PIPE, check=True, timeout=30).stdout
        ppm = subprocess.run(["convert", "xwd:-", "ppm:-"], input=xwd,
                             stdout=subprocess.PIPE, check=True, timeout=30).stdout
        if png_path:
            subprocess.run(["convert", "ppm:-", png_path], input=ppm, check=True, timeout=30)
        return Image.from_ppm(ppm)


class Image:
    """RGB pixels of a screenshot or file, read through ImageMagick's PPM output."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @staticmethod
    def from_ppm(ppm):
        # ImageMagick may put comment lines ("# xwdump") among the header fields.
        m = re.match(rb"P6(?:\s+|#[^\n]*\n)+(\d+)(?:\s+|#[^\n]*\n)+(\d+)"
                     rb"(?:\s+|#[^\n]*\n)+(\d+)\s", ppm)
        if not m:
            raise ValueError("not a binary PPM")
        w, h, maxval = int(m.group(1)), int(m.group(2)), int(m.group(3))
        if maxval != 255:
            raise ValueError("PPM with maxval %d" % maxval)
        return Image(w, h, ppm[m.end():m.end() + w * h * 3])

    @staticmethod
    def load(path):
        ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], stdout=subprocess.PIPE,
                             check=True, timeout=30).stdout
        return Image.from_ppm(ppm)

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])


class Running:
    """A program running in the background whose standard output is read as it comes."""

    def __init__(self, name, args=(), env=None, display=None, stdin=None):
        self.errfile = tempfile.TemporaryFile()
        self.proc = subprocess.Popen([program(name)] + list(args), stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=self.errfile,
                                     env=base_env(env, display))
        if stdin:
            self.proc.stdin.write(stdin.encode("latin-1"))
            self.proc.stdin.flush()
        os.set_blocking(self.proc.stdout.fileno(), False)
        self.out = b""

    def _read(self, timeout):
        if select.select([self.proc.stdout], [], [], timeout)[0]:
            chunk = self.proc.stdout.read()
            if chunk:
                self.out += chunk
                return True
        return False

    @property
    def stdout(self):
        return self.out.decode("latin-1")

    def wait_output(self, text, timeout=30.0, what=None):
        """Waits until standard output holds text (a str or compiled regex), or until text (a
        callable) returns true for the whole output so far; returns the output. `what` names
        the condition in the failure message."""
        end = time.monotonic() + timeout
        while True:
            if callable(text):
                found = text(self.stdout)
            elif hasattr(text, "search"):
                found = text.search(self.stdout)
            else:
                found = text in self.stdout
            if found:
                return self.stdout
            left = end - time.monotonic()
            if left <= 0 or (self.proc.poll() is not None and not self._read(0)):
                raise AssertionError("no %s in output:\n%s" % (what or repr(text), self.stdout))
            self._read(min(left, 0.2))

    def wait_exit(self, timeout=30.0):
        end = time.monotonic() + timeout
        while self.proc.poll() is None:
            if time.monotonic() > end:
                self.proc.kill()
                self.proc.wait()
                raise AssertionError("did not exit; output:\n%s" % self.stdout)
            self._read(0.1)
        while self._read(0):
            pass
        self.errfile.seek(0)
        self.stderr = self.errfile.read().decode("latin-1")
        self.close()
        return self.proc.returncode

    def close(self):
        for f in (self.proc.stdin, self.proc.stdout, self.errfile):
            if f and not f.closed:
                f.close()

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.close()
