"""What the benchmark scripts share: installation folders and the CPU of a process."""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TICKS = os.sysconf("SC_CLK_TCK")


def set_keys(path, keys):
    """Sets each key of a configuration file (CR LF lines) to its value."""
    text = open(path, newline="").read()
    for key, value in keys.items():
        text, n = re.subn(r"(?m)^%s=.*?\r$" % re.escape(key), "%s=%s\r" % (key, value), text)
        if n != 1:
            sys.exit("bench: no key %s in %s" % (key, path))
    open(path, "w", newline="").write(text)


def cpu_seconds(pid):
    """User and system CPU of a process so far, in seconds."""
    fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS
