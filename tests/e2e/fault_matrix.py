"""fault_matrix.py: fails each library call of a program once and sorts the outcomes.

The calls come from a normal run's QORSIM_TRACE: the n-th call of an operation gets
`Op#n=5`, and the first call of each operation also `=0` and `=-1` (success without the work).
Every run must end by itself or by the program's own ending key, without a signal, a sanitizer
report or a hang; the test's oracle then says what report and exit status the program's failure
table asks for. Runs go in parallel, each worker with its own X server when the program needs one.
"""
import collections
import concurrent.futures
import os
import queue
import re
import subprocess
import time

import harness

SANITIZER = re.compile(r"ERROR: \w+Sanitizer|runtime error:|Sanitizer:DEADLYSIGNAL")
JOBS = max(1, min(int(os.environ.get("QOR_MATRIX_JOBS", "2")), 4))


def op_of(line):
    return line.split("(", 1)[0]


def injected(op, value=5):
    """The message the stand-in puts in the record of an injected failure."""
    return "injected fault: QORSIM_FAULTS makes %s return %d" % (op, value)


class Case:
    def __init__(self, op, n, value, index):
        self.op, self.n, self.value, self.index = op, n, value, index

    @property
    def spec(self):
        return "%s#%d=%d" % (self.op, self.n, self.value)


def cases(lines, select=lambda index, op, n: True):
    """Op#n=5 for every selected call; =0 and =-1 as well for the first call of an operation."""
    seen = collections.Counter()
    out = []
    for i, line in enumerate(lines):
        op = op_of(line)
        seen[op] += 1
        if not select(i, op, seen[op]):
            continue
        out.append(Case(op, seen[op], 5, i))
        if seen[op] == 1:
            out += [Case(op, 1, 0, i), Case(op, 1, -1, i)]
    return out


class Outcome:
    def __init__(self, case, rc, stdout, stderr, trace, hung):
        self.case, self.rc, self.stdout, self.stderr = case, rc, stdout, stderr
        self.trace, self.hung = trace, hung

    @property
    def fired(self):
        """Whether the run reached the faulted call (the loop's later calls depend on timing)."""
        return sum(op_of(l) == self.case.op for l in self.trace) >= self.case.n

    @property
    def reported(self):
        return injected(self.case.op, self.case.value) in self.stdout

    def basic_problems(self, statuses):
        """What no run may show, whatever the call."""
        p = []
        if self.hung:
            p.append("hung")
        elif self.rc < 0:
            p.append("killed by signal %d" % -self.rc)
        elif self.rc not in statuses:
            p.append("exit status %d" % self.rc)
        if SANITIZER.search(self.stderr):
            p.append("sanitizer report")
        return p

    def __repr__(self):
        return "%s: rc=%r hung=%r\n--- stdout (end)\n%s\n--- stderr\n%s" % (
            self.case.spec, self.rc, self.hung, self.stdout[-1500:], self.stderr[-3000:])


def normal_trace(name, args, folder, display=None, finish=None, key=None):
    return run_case(name, args, None, folder, display, finish, key).trace


def run_case(name, args, case, folder, display=None, finish=None, key=None, timeout=60):
    """One run with case's fault (None: no fault). finish(trace lines, case) says when the
    program waits for its ending key; the key is then sent, and sent again every 10 s while
    the program runs, until the time-out: on a loaded machine a run sat out the whole time-out
    after a single key."""
    tag = case.spec.replace("#", "_").replace("=", "_") if case else "normal"
    d = os.path.join(folder, tag)
    os.makedirs(d, exist_ok=True)
    trace = os.path.join(d, "trace")
    env = {"QORSIM_TRACE": trace}
    if case:
        env["QORSIM_FAULTS"] = case.spec
    with open(os.path.join(d, "out"), "w+b") as out, open(os.path.join(d, "err"), "w+b") as err:
        p = subprocess.Popen([harness.program(name)] + list(args), stdin=subprocess.DEVNULL,
                             stdout=out, stderr=err, env=harness.base_env(env, display))
        end = time.monotonic() + timeout
        sent = None
        hung = False
        while p.poll() is None:
            if time.monotonic() > end:
                hung = True
                p.kill()
                p.wait()
                break
            if finish and (sent is None and os.path.exists(trace) and
                           finish(harness.read_trace(trace), case) or
                           sent is not None and time.monotonic() - sent > 10):
                subprocess.run(["xdotool", "key", key], env=dict(os.environ, DISPLAY=display),
                               timeout=30)
                sent = time.monotonic()
            time.sleep(0.02)
        out.seek(0)
        err.seek(0)
        stdout, stderr = out.read().decode("latin-1"), err.read().decode("latin-1")
    lines = harness.read_trace(trace) if os.path.exists(trace) else []
    return Outcome(case, p.returncode, stdout, stderr, lines, hung)


def run_all(name, args, all_cases, folder, gui=False, finish=None, key=None):
    """Every case, JOBS at a time; a private X server per worker for a GUI program."""
    servers = queue.Queue()
    started = []
    try:
        if gui:
            for _ in range(JOBS):
                x = harness.Xvfb(800, 600).__enter__()
                started.append(x)
                servers.put(x.display)

        def one(case):
            display = servers.get() if gui else None
            try:
                return run_case(name, args, case, folder, display, finish, key)
            finally:
                if gui:
                    servers.put(display)
        with concurrent.futures.ThreadPoolExecutor(JOBS) as pool:
            return list(pool.map(one, all_cases))
    finally:
        for x in started:
            x.__exit__(None, None, None)


def table(name, outcomes, problems):
    """The matrix's summary line for one program."""
    fired5 = [o for o in outcomes if o.case.value == 5 and o.fired]
    return ("%s: %d runs (%d with =5 that reached the call, %d of them reported), "
            "%d with a problem" % (name, len(outcomes), len(fired5),
                                   sum(o.reported for o in fired5), len(problems)))
