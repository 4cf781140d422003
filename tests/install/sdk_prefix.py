"""sdk_prefix.py: what the install tests share: the build under test, a scratch folder outside
the source tree, and an environment without the library search path or the library's switches."""
import os
import shutil
import subprocess
import tempfile

BUILD = os.environ["QOR_BUILD"]
SOURCE = os.environ["QOR_SOURCE"]
VERSION = os.environ["QOR_VERSION"]
CXX = os.environ.get("QOR_CXX", "c++")
EXAMPLE_FLAGS = os.environ.get("QOR_EXAMPLE_FLAGS", "")

PROGRAMS = ("qor-system", "qor-line", "qor-devinfo", "qor-objtree")
# Relative to the prefix: what a user of the SDK relies on.
INSTALLED = ["bin/" + p for p in PROGRAMS] + [
    "lib/libqorlib3.so",
    "include/qorlib3.h",
    "lib/pkgconfig/qorlib3.pc",
    "lib/cmake/qorlib3/qorlib3Config.cmake",
    "lib/cmake/qorlib3/qorlib3ConfigVersion.cmake",
    "share/doc/qorlib3-sdk/README.md",
    "share/doc/qorlib3-sdk/sim/README.md",
    "share/doc/qorlib3-sdk/examples/consumer/qor-consumer.cpp",
]


def clean_env(extra=None):
    """No LD_LIBRARY_PATH (the programs must find the library themselves), no QORSIM_ switch,
    no display, no leak report (the sanitizer build's library keeps its caches until exit)."""
    env = {k: v for k, v in os.environ.items()
           if not k.startswith("QORSIM_") and k not in ("LD_LIBRARY_PATH", "DISPLAY")}
    env["ASAN_OPTIONS"] = "detect_leaks=0"
    env.update(extra or {})
    return env


def run(cmd, env=None, cwd=None, timeout=240):
    p = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env or clean_env(),
                       cwd=cwd, timeout=timeout)
    return p.returncode, p.stdout.decode("utf-8", "replace")


def scratch(test):
    """A temporary folder outside the source and build trees, removed after the test."""
    d = tempfile.mkdtemp(prefix="qor-sdk-")
    test.addCleanup(shutil.rmtree, d, True)
    return d
