#!/usr/bin/python3
"""A full update through the transfer engine against its stages alone.

Starts a stand-in service (tools/standin) whose one vehicle carries about
--size bytes in --items items (whole files, single zips, split packages and
self-contained packages), and runs bench_pipeline.exe under Wine: first each
stage alone (download only, then unzip only, then copy to the removable test
drive R: only), then the whole pipeline from scratch, where the stages
overlap. Prints the wall time of each, the ratio of the whole run to the
slowest stage alone (goal: at most 1.15) and the peak memory (the Wine
process's peak RSS and the program's own peak working set).

Run through bench/run_pipeline_bench.sh, which provides the Wine session.
"""
import argparse
import json
import os
import shutil
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tools"))

from standin import StandIn, windows_path  # noqa: E402
from standin.packages import parse_size  # noqa: E402

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from measure import run_measured  # noqa: E402


def vehicle(total, count):
    """Items of about total bytes: a fifth whole files, a third single zips,
    a third split packages, the rest two self-contained packages."""
    files = max(1, count * 8 // 22)
    zips = max(1, count * 6 // 22)
    splits = max(1, count * 6 // 22)
    items = []
    for i in range(files):
        items.append({"kind": "file", "name": "FILE%02d.bin" % i, "size": int(total * 0.2 / files),
                      "dest": "DATA", "ver": 1})
    for i in range(zips):
        items.append({"kind": "zip", "name": "ZIP%02d" % i, "size": int(total * 0.35 / zips), "files": 6,
                      "dest": "MAP", "ver": 1})
    for i in range(splits):
        items.append({"kind": "split", "name": "SPL%02d" % i, "size": int(total * 0.35 / splits), "files": 12,
                      "pieces": 4 + i % 5, "dest": "ROAD", "ver": 1})
    for name, folder in (("HTML.exe", "HTML"), ("SPOT.exe", "SPOT")):
        items.append({"kind": "package", "name": name, "size": int(total * 0.05), "files": 8, "dest": folder,
                      "ver": 1})
    return {"id": "bench-engine", "brand": "TS", "regions": ["KR"], "name": "Bench", "device": "Bench",
            "model": "B01", "sw": "KOR.TS.B01.000.SD.STD_240601", "media": "SD", "platform": 3,
            "descriptors": [{"inf": "TS_BENCH.inf", "version": "2024.06.01", "items": items}]}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--size", default="1G", help="total size of the update, e.g. 256M, 1G")
    parser.add_argument("--items", type=int, default=24, help="number of items (20 to 40)")
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    root = os.path.join(build, "standin")
    work = os.path.join(build, "bench", "pipeline")
    os.makedirs(work, exist_ok=True)
    subprocess.run([sys.executable, os.path.join(ROOT, "tools", "standin"), "ca", "--root", root, "--install",
                    os.path.join(build, "tools", "kestrune_install_ca.exe"), "--wine", "wine"],
                   check=True, capture_output=True)

    scenario = os.path.join(work, "scenario.json")
    with open(scenario, "w") as f:
        json.dump({"seed": "engine-bench", "vehicles": [vehicle(parse_size(args.size), args.items)]}, f, indent=1)

    exe = os.path.join(build, "bench", "bench_pipeline.exe")
    downloads = [os.path.join(work, "downloads_stages"), os.path.join(work, "downloads_whole")]
    for folder in downloads:
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
    print("[bench] preparing %s in %d items (cached after the first run) ..." % (args.size, args.items), flush=True)
    with StandIn(root=root, scenario=scenario, config_out=[os.path.join(build, "bench", "config.json")]):
        os.sync()
        wall, rss, out = run_measured(["wine", exe] + [windows_path(d) for d in downloads], work)
    fields = dict(item.split("=") for item in out.split() if "=" in item)
    for folder in downloads:
        shutil.rmtree(folder, ignore_errors=True)

    stages = {name: float(fields[name]) for name in ("download", "unzip", "copy")}
    total = float(fields["total"])
    slowest = max(stages, key=stages.get)
    mib = int(fields["fetched_bytes"]) / (1 << 20)
    print("[bench] %.0f MiB fetched in %d items, stand-in on loopback (HTTPS) to R: (%.0f MiB of item files on"
          " the medium besides the package folders)" % (mib, args.items, int(fields["copied_bytes"]) / (1 << 20)))
    for name in ("download", "unzip", "copy"):
        print("[bench]   %-8s alone: %7.2f s  %7.1f MiB/s" % (name, stages[name], mib / stages[name]))
    print("[bench]   whole run     : %7.2f s  %7.1f MiB/s" % (total, mib / total))
    print("[bench]   whole / slowest stage alone (%s): %.2f (goal: at most 1.15)" % (slowest, total / stages[slowest]))
    print("[bench]   peak memory: Wine process RSS %d KiB, program working set %s KiB; module errors %s"
          % (rss, fields["peak_working_set_kib"], fields["errors"]))
    print("[bench]   (%.1f s with Wine start-up and the pre-checks)" % wall)


if __name__ == "__main__":
    main()
