#!/usr/bin/python3
"""Many whole updates in a row, one process each, every one checked.

The vehicle of bench/pipeline_bench.py (about --size bytes in --items items)
is served by one stand-in for the whole series; each invocation of
bench_pipeline.exe makes one whole run (pre-check, download, unzip, copy to
the removable test drive R:) from an empty download folder onto an emptied
medium and checks it: every item copied, every item file on the medium of
its size and CRC. One log line per invocation: its number, the verdict, the
exit code, the whole run's time, the module errors and the machine's load.
A failed invocation keeps its output and the version files of the medium
and of the download folder under <work>/failures/<number>/.

Run through bench/run_whole_runs.sh, which provides the Wine session.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tools"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from standin import StandIn, windows_path  # noqa: E402
from pipeline_bench import prepare  # noqa: E402

INVOCATION_LIMIT_S = 1800


def empty(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder, exist_ok=True)


def keep_failure(work, number, folders, text):
    """The invocation's output and every .ver file it left."""
    target = os.path.join(work, "failures", "%03d" % number)
    os.makedirs(target, exist_ok=True)
    with open(os.path.join(target, "output.txt"), "w") as f:
        f.write(text)
    for label, folder in folders.items():
        for base, _dirs, files in os.walk(folder):
            for name in files:
                if name.lower().endswith(".ver"):
                    relative = os.path.relpath(os.path.join(base, name), folder).replace(os.sep, "__")
                    shutil.copy2(os.path.join(base, name), os.path.join(target, label + "__" + relative))
    return target


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--size", default="1G")
    parser.add_argument("--items", type=int, default=24)
    parser.add_argument("--count", type=int, default=200)
    parser.add_argument("--log", required=True)
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    root = os.path.join(build, "standin")
    work = os.path.join(build, "bench", "whole_runs_%s" % args.size)
    scenario = prepare(build, work, args.size, args.items)

    exe = os.path.join(build, "bench", "bench_pipeline.exe")
    medium = os.path.join(build, "drives", "r")
    spare = os.path.join(work, "downloads_spare")
    downloads = os.path.join(work, "downloads")
    passed = failed = 0
    with open(args.log, "a") as log, \
            StandIn(root=root, scenario=scenario, config_out=[os.path.join(build, "bench", "config.json")]):
        log.write("# %s: %d whole runs of %s in %d items, build %s\n"
                  % (time.strftime("%Y-%m-%d %H:%M:%S"), args.count, args.size, args.items, build))
        log.flush()
        for number in range(1, args.count + 1):
            empty(downloads)
            empty(medium)
            load = os.getloadavg()
            start = time.perf_counter()
            try:
                proc = subprocess.run(["wine", exe, windows_path(spare), windows_path(downloads), "1", "whole"],
                                      cwd=work, capture_output=True, timeout=INVOCATION_LIMIT_S)
                code = proc.returncode
                out = proc.stdout.decode(errors="replace")
                err = proc.stderr.decode(errors="replace")
            except subprocess.TimeoutExpired as e:
                code = "timeout"
                out = (e.stdout or b"").decode(errors="replace")
                err = (e.stderr or b"").decode(errors="replace")
            wall = time.perf_counter() - start
            fields = {}
            for line in out.splitlines():
                if line.startswith("round="):
                    fields = dict(item.split("=") for item in line.split() if "=" in item)
            ok = code == 0 and fields.get("ok") == "1"
            note = ""
            if ok:
                passed += 1
            else:
                failed += 1
                note = " kept " + keep_failure(work, number, {"medium": medium, "downloads": downloads},
                                               "exit %s\n--- stdout\n%s\n--- stderr\n%s" % (code, out, err))
            log.write("run=%d %s exit=%s whole=%s s wall=%.1f s errors=%s load=%.2f,%.2f,%.2f passed=%d failed=%d%s\n"
                      % (number, "ok" if ok else "FAIL", code, fields.get("total", "?"), wall,
                         fields.get("errors", "?"), load[0], load[1], load[2], passed, failed, note))
            log.flush()
        log.write("# done: %d passed, %d failed\n" % (passed, failed))
    empty(downloads)
    empty(medium)
    shutil.rmtree(spare, ignore_errors=True)
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
