#!/usr/bin/env bash
# The viewer on real images: qor-system on system 9 fed by videotestsrc (640x480 GRAY8 at a rate
# no clock holds back, QORSIM_BUFFERS=0 so that the source waits for the viewer: frames on
# request, as system 1 makes them at FrameRate 0) against qor-system on system 1 at FrameRate 0,
# on the same private 800x600 8-bit Xvfb, rounds alternating, frames counted from QORSIM_STATS
# over a fixed time.
#   bench/viewer_source_fps.sh [BUILD_DIR (build)] [SECONDS (5)] [ROUNDS (3)]
# Use a build without sanitizers (scripts/build build) for figures worth quoting.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${2:-5}
rounds=${3:-3}
[ -x "$build/bin/qor-system" ] || { echo "missing $build/bin/qor-system: run scripts/build $build" >&2; exit 1; }

. scripts/xvfb.sh
work=$(mktemp -d)
finish() {
  xvfb_stop
  rm -rf "$work"
}
trap finish EXIT

xvfb_start 8

BUILD=$build SECONDS_RUN=$seconds ROUNDS=$rounds WORK=$work python3 - <<'PY'
import json, os, select, subprocess, time

build, seconds, work = os.environ["BUILD"], float(os.environ["SECONDS_RUN"]), os.environ["WORK"]
rounds = int(os.environ["ROUNDS"])
stats = os.path.join(work, "stats.json")
marker = b"!" * 21   # printed as each block is begun
SOURCE = "videotestsrc ! video/x-raw,format=GRAY8,width=640,height=480,framerate=100000/1"


def drain(proc, until):
    while time.monotonic() < until:
        if select.select([proc.stdout], [], [], max(0.0, until - time.monotonic()))[0]:
            if not proc.stdout.read() and proc.poll() is not None:
                return


def run(args, extra):
    """Frames per second shown from the first block begun to ESC, and the frames dropped."""
    env = dict(os.environ, QORSIM_STATS=stats, ASAN_OPTIONS="detect_leaks=0", **extra)
    viewer = subprocess.Popen([os.path.join(build, "bin", "qor-system")] + args,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env)
    os.set_blocking(viewer.stdout.fileno(), False)
    out, t0, first = b"", time.monotonic(), None
    while first is None:
        if time.monotonic() > t0 + 30 or viewer.poll() is not None:
            viewer.kill()
            raise SystemExit("the viewer showed no frame:\n" + out[-2000:].decode("latin-1"))
        if select.select([viewer.stdout], [], [], 0.5)[0]:
            out += viewer.stdout.read() or b""
            if marker in out:
                first = time.monotonic()
    drain(viewer, first + seconds)
    subprocess.run(["xdotool", "key", "Escape"], check=True, timeout=30)
    t_esc = time.monotonic()
    drain(viewer, t_esc + 30)
    if viewer.poll() is None:
        viewer.kill()
        raise SystemExit("the viewer did not end after ESC")
    viewer.wait()
    with open(stats) as f:
        s = json.load(f)
    return s["frames_delivered"] / (t_esc - first), s["frames_dropped"]


s9_rates, s1_rates = [], []
for r in range(rounds):
    s9, dropped = run(["s9"], {"QORSIM_SOURCE": SOURCE, "QORSIM_BUFFERS": "0"})
    s1, _ = run(["s1", "-FrameRate=0"], {})
    s9_rates.append(s9)
    s1_rates.append(s1)
    print("round %d: s9 (videotestsrc) %.1f frames/s (%d dropped), s1 FrameRate 0 %.1f frames/s"
          % (r + 1, s9, dropped, s1))
print("best: s9 %.1f frames/s, s1 %.1f frames/s, ratio s9/s1 %.2f (over %g s, 800x600x8 Xvfb)"
      % (max(s9_rates), max(s1_rates), max(s9_rates) / max(s1_rates), seconds))
PY
