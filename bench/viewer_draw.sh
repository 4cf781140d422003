#!/usr/bin/env bash
# The viewer's drawing benchmark, all on one private Xvfb (800x600, depth 24 unless given):
#  1. frames/s and CPU per frame (program + X server) of qor-system s1 -FrameRate=0, against the
#     viewer of another build (the one before the change), the bare Allegro loop and the GStreamer
#     pipeline videotestsrc ! GRAY8 640x480 ! videoconvert ! ximagesink sync=false; rounds
#     alternate the programs so that a busy machine slows them alike;
#  2. X requests per frame (image puts and all requests, counted by a preloaded library), with
#     the histogram off and on;
#  3. CPU (program + X server) at the default 25 frames/s over 20 s, and in the single-step pause.
#   bench/viewer_draw.sh BUILD_DIR BASE_BUILD_DIR [SECONDS (5)] [ROUNDS (3)] [DEPTH (24)]
# BASE_BUILD_DIR holds the viewer measured against (its bin/qor-system and lib/libqorlib3.so).
# Use release builds (scripts/build DIR -DCMAKE_BUILD_TYPE=Release -DQOR_TESTS=OFF).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: bench/viewer_draw.sh BUILD_DIR BASE_BUILD_DIR [SECONDS] [ROUNDS] [DEPTH]}
base=${2:?usage: bench/viewer_draw.sh BUILD_DIR BASE_BUILD_DIR [SECONDS] [ROUNDS] [DEPTH]}
seconds=${3:-5}
rounds=${4:-3}
depth=${5:-24}
for f in "$build/bin/qor-system" "$build/bin/viewer_bare_loop" "$build/lib/x_request_count.so" \
         "$base/bin/qor-system"; do
  [ -e "$f" ] || { echo "missing $f: build it first (scripts/build)" >&2; exit 1; }
done
for t in Xvfb xdotool gst-launch-1.0; do
  command -v "$t" >/dev/null || { echo "missing $t: run scripts/deps" >&2; exit 1; }
done

. scripts/xvfb.sh
work=$(mktemp -d)
finish() {
  xvfb_stop
  rm -rf "$work"
}
trap finish EXIT

xvfb_start "$depth"

echo "load before: $(uptime)"
BUILD=$build BASE=$base SECONDS_RUN=$seconds ROUNDS=$rounds WORK=$work XVFB_PID=$xvfb_pid \
  DEPTH=$depth python3 - <<'PY'
import os, re, resource, select, statistics, subprocess, time

build, base, work = os.environ["BUILD"], os.environ["BASE"], os.environ["WORK"]
seconds, rounds = float(os.environ["SECONDS_RUN"]), int(os.environ["ROUNDS"])
xvfb = int(os.environ["XVFB_PID"])
tick = os.sysconf("SC_CLK_TCK")
marker = b"!" * 21   # printed as each block is begun: one per frame read
counter = os.path.abspath(os.path.join(build, "lib", "x_request_count.so"))


def cpu_of(pid):
    fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / tick


def children_cpu():
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r.ru_utime + r.ru_stime


def key(name):
    subprocess.run(["xdotool", "key", name], check=True, timeout=30)


class Viewer:
    """qor-system s1 from one build, its output read as it comes; frames are counted from it."""

    def __init__(self, tree, args, count_file=None):
        env = dict(os.environ, LD_LIBRARY_PATH=os.path.join(tree, "lib"))
        if count_file:
            env.update(LD_PRELOAD=counter, X_REQUEST_COUNT_FILE=count_file)
        self.proc = subprocess.Popen([os.path.join(tree, "bin", "qor-system"), "s1"] + args,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env)
        os.set_blocking(self.proc.stdout.fileno(), False)
        self.out, self.frames, self.tail = bytearray(), 0, b""
        self.read_until(lambda: self.frames >= 2, 30, "showed no frame")

    def read(self, timeout):
        if select.select([self.proc.stdout], [], [], timeout)[0]:
            data = self.proc.stdout.read() or b""
            if len(self.out) < 1 << 16:
                self.out += data
            joined = self.tail + data
            self.frames += joined.count(marker)
            self.tail = joined[-(len(marker) - 1):]
            return bool(data)
        return True

    def read_until(self, done, limit, what):
        end = time.monotonic() + limit
        while not done():
            if time.monotonic() > end or self.proc.poll() is not None:
                self.proc.kill()
                raise SystemExit("the viewer " + what)
            self.read(0.2)

    def drain(self, duration):
        end = time.monotonic() + duration
        while time.monotonic() < end:
            self.read(max(0.0, end - time.monotonic()))

    def window(self, duration):
        """Frames, wall seconds and CPU seconds (viewer + X server) over the next duration; the
        X server's share is kept in self.x_cpu."""
        t0, f0, v0, x0 = time.monotonic(), self.frames, cpu_of(self.proc.pid), cpu_of(xvfb)
        self.drain(duration)
        t1, f1, v1, x1 = time.monotonic(), self.frames, cpu_of(self.proc.pid), cpu_of(xvfb)
        self.x_cpu = x1 - x0
        return f1 - f0, t1 - t0, v1 - v0 + x1 - x0

    def stop(self):
        key("Escape")
        end = time.monotonic() + 30
        while self.proc.poll() is None and time.monotonic() < end:
            if not self.read(0.2):
                time.sleep(0.05)
        if self.proc.poll() is None:
            self.proc.kill()
            raise SystemExit("the viewer did not end after ESC")
        self.proc.wait()

    def rows(self):
        text = self.out.decode("latin-1")
        listing = text[text.index("Get interfaces:"):text.index("QorVoz3SystemGetInDInterface")]
        rows = len(re.findall(r"  \S+\s+\d+: \(\d+\)", listing))
        rows += text.count("GetOutDInterface: OK")
        return rows + len(re.findall(r"INPUT_CONTROL\[\d+\]: OK", text))


def viewer_rate(tree):
    v = Viewer(tree, ["-FrameRate=0"])
    v.drain(0.5)
    frames, wall, cpu = v.window(seconds)
    v.stop()
    return frames / wall, cpu / frames * 1000, v.rows()


def bare_rate(lines):
    c0, x0 = children_cpu(), cpu_of(xvfb)
    out = subprocess.run([os.path.join(build, "bin", "viewer_bare_loop"), str(seconds), str(lines)],
                         stdout=subprocess.PIPE, check=True, timeout=seconds + 60).stdout
    cpu = children_cpu() - c0 + cpu_of(xvfb) - x0
    m = re.search(rb"passes (\d+) .* rate ([\d.]+)", out)
    return float(m.group(2)), cpu / int(m.group(1)) * 1000


def gst_run(buffers):
    """Wall seconds from PLAYING to the end (gst-launch's own figure) and CPU seconds (the
    pipeline, start-up included, + X server) for a given number of frames."""
    c0, x0 = children_cpu(), cpu_of(xvfb)
    out = subprocess.run(["gst-launch-1.0", "videotestsrc", "num-buffers=%d" % buffers, "!",
                          "video/x-raw,format=GRAY8,width=640,height=480", "!", "videoconvert",
                          "!", "ximagesink", "sync=false"], stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, check=True, timeout=seconds * 20 + 60).stdout
    m = re.search(rb"Execution ended after (\d+):(\d+):(\d+\.\d+)", out)
    if not m:
        raise SystemExit("gst-launch-1.0 gave no execution time:\n" + out.decode("latin-1"))
    wall = int(m.group(1)) * 3600 + int(m.group(2)) * 60 + float(m.group(3))
    return wall, children_cpu() - c0 + cpu_of(xvfb) - x0


def gst_rate():
    # The frame count is set so the run lasts about as long as the viewer's window; the CPU of
    # a short run is taken off, so that start-up counts for neither.
    wall, _ = gst_run(300)
    frames = max(300, int(300 / wall * seconds))
    wall, cpu = gst_run(frames)
    _, cpu_short = gst_run(100)
    return frames / wall, max(cpu - cpu_short, 0.0) / (frames - 100) * 1000


print("Xvfb 800x600x%s; %g s a measurement, %d rounds" % (os.environ["DEPTH"], seconds, rounds))
print("\n1. frame rate 0: frames/s and CPU ms per frame (program + X server)")
results = {"new": [], "base": [], "bare": [], "gst": []}
ratios_base, ratios_gst = [], []
lines = None
for r in range(rounds):
    new = viewer_rate(build)
    lines = 4 + new[2]
    old = viewer_rate(base)
    bare = bare_rate(lines)
    gst = gst_rate()
    for k, v in (("new", new), ("base", old), ("bare", bare), ("gst", gst)):
        results[k].append(v[:2])
    ratios_base.append(new[0] / old[0])
    ratios_gst.append(new[0] / gst[0])
    print("round %d: viewer %.0f/s %.2f ms | before %.0f/s %.2f ms | bare loop %.0f passes/s "
          "%.2f ms | GStreamer %.0f/s %.2f ms | viewer/before %.2f, viewer/GStreamer %.2f"
          % (r + 1, new[0], new[1], old[0], old[1], bare[0], bare[1], gst[0], gst[1],
             ratios_base[-1], ratios_gst[-1]))
best = {k: max(v) for k, v in results.items()}
cpu = {k: min(c for _, c in v) for k, v in results.items()}
print("best frames/s: viewer %.0f, before %.0f, bare loop %.0f (%d text lines a pass), "
      "GStreamer %.0f" % (best["new"][0], best["base"][0], best["bare"][0], lines, best["gst"][0]))
print("least CPU ms per frame: viewer %.2f, before %.2f, bare loop %.2f, GStreamer %.2f"
      % (cpu["new"], cpu["base"], cpu["bare"], cpu["gst"]))
rb, rg = statistics.median(ratios_base), statistics.median(ratios_gst)
print("median ratio in a round: viewer/before %.2f (target >= 2) %s; viewer/GStreamer %.2f "
      "(target >= 1.0) %s" % (rb, "met" if rb >= 2 else "NOT met", rg,
                              "met" if rg >= 1.0 else "NOT met"))


def requests(tree, histogram):
    path = os.path.join(work, "count")
    if os.path.exists(path):
        os.remove(path)
    v = Viewer(tree, ["-FrameRate=0"], count_file=path)
    if histogram:
        key("F4")
    v.drain(min(seconds, 3))
    v.stop()
    v.drain(0.2)
    m = re.search(r"put_image (\d+) shm_put_image (\d+) requests (\d+)", open(path).read())
    puts = int(m.group(1)) + int(m.group(2))
    return puts / v.frames, int(m.group(3)) / v.frames


print("\n2. X requests per frame at frame rate 0 (whole run, start-up included)")
for histogram in (False, True):
    new_puts, new_all = requests(build, histogram)
    old_puts, old_all = requests(base, histogram)
    label = "histogram on " if histogram else "histogram off"
    verdict = "" if histogram else " (target <= 100) %s" % ("met" if new_all <= 100 else "NOT met")
    print("%s: viewer %.1f image requests, %.1f in all%s | before %.1f image requests, %.1f in all"
          % (label, new_puts, new_all, verdict, old_puts, old_all))


def cpu_share(tree, pause, duration):
    v = Viewer(tree, [])
    if pause:
        key("F3")   # single step: the next frame waits for ENTER
        v.drain(1.0)
    else:
        v.drain(0.5)
    frames, wall, used = v.window(duration)
    v.stop()
    return used / wall * 100, frames / wall, v.x_cpu / wall * 100


print("\n3. CPU, viewer + X server, in % of one core")
quiet = 20.0
for label, pause, duration, target in (("default 25 frames/s", False, quiet, 3),
                                       ("single-step pause", True, seconds * 2, 5)):
    new, new_fps, new_x = cpu_share(build, pause, duration)
    old, old_fps, old_x = cpu_share(base, pause, duration)
    print("%s over %g s: viewer %.2f%% (X server %.2f%%; %.1f frames/s; target <= %d%%) %s | "
          "before %.2f%% (X server %.2f%%; %.1f frames/s)"
          % (label, duration, new, new_x, new_fps, target, "met" if new <= target else "NOT met",
             old, old_x, old_fps))
PY
echo "load after: $(uptime)"
