"""Shared by the benchmark scripts: run a command and measure it."""
import os
import subprocess
import sys
import time


def run_measured(cmd, work):
    """Wall time, peak RSS in KiB and standard output of a command. The peak
    comes from GNU time: a child forked from this (large) Python process
    would report Python's own size as its peak."""
    report = os.path.join(work, "rss.txt")
    start = time.perf_counter()
    proc = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report] + cmd, capture_output=True)
    elapsed = time.perf_counter() - start
    out = proc.stdout.decode(errors="replace")
    if proc.returncode != 0:
        sys.exit("%s failed (%d): %s %s" % (cmd[0], proc.returncode, out, proc.stderr.decode(errors="replace")))
    with open(report) as f:
        rss = int(f.read().split()[-1])
    return elapsed, rss, out
