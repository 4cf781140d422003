"""viewer_gui.py: what the viewer's GUI tests share: the screen and console markers of
qor-system s1, the number of control rows from its start-up listing, and the M-key probe."""
import os
import re
import subprocess

SCREEN_W, SCREEN_H = 800, 600
LINE_HEIGHT = 9                           # the default 8-pixel font plus one
FRAME = "LineSize:640\n"                  # printed by every read of a system 1 frame
DASHES = "-" * 60 + "\n"                  # the M key's line
ALLOC = "**INPUT_STATE_ALLOC_BUFFERS**\n"  # printed in the pass after V


def white(p):
    return min(p) >= 240


def black(p):
    return max(p) <= 15


def control_rows(out):
    """Rows of the control table, from the start-up listing."""
    listing = out[out.index("Get interfaces:"):out.index("QorVoz3SystemGetInDInterface")]
    rows = len(re.findall(r"  \S+\s+\d+: \(\d+\)", listing))
    rows += out.count("QorVoz3SystemGetOutDInterface: OK")
    rows += len(re.findall(r"QORLIB3_CINTERFACE_INPUT_CONTROL\[\d+\]: OK", out))
    return rows


def probe(x, run):
    """Sends M and waits for its dashes: every key sent before it has been handled."""
    n = run.stdout.count(DASHES)
    x.keys("m")
    run.wait_output(lambda o: o.count(DASHES) > n, what="dashes #%d" % (n + 1))
    return run.stdout


def xdo(display, *args):
    """Any xdotool command (keydown and keyup hold modifiers across several keys)."""
    subprocess.run(["xdotool"] + list(args), env=dict(os.environ, DISPLAY=display), check=True,
                   timeout=30)
