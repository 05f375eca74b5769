#!/usr/bin/python3
"""A full update through the transfer engine against its stages alone.

Starts a stand-in service (tools/standin) whose one vehicle carries about
--size bytes in --items items (whole files, single zips, split packages and
self-contained packages), and runs bench_pipeline.exe under Wine for
--rounds rounds. A round measures each stage alone (download only, then
unzip only, then copy to the removable test drive R: only, the medium
emptied first) and the whole pipeline from scratch, where the stages
overlap; the two turns swap their order every round, and every round starts
from empty download folders. Each whole run is checked (every item copied,
every file on the medium of its size and CRC); a failed check fails the
benchmark. Prints every round, the medians, the ratio of the whole run to
the slowest stage alone (goal: at most 1.15) and the peak memory.

Run through bench/run_pipeline_bench.sh, which provides the Wine session.
"""
import argparse
import json
import os
import statistics
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


def prepare(build, work, size, items):
    """The work folder, the stand-in's CA in the prefix and the scenario of
    the bench vehicle; returns the scenario's path."""
    os.makedirs(work, exist_ok=True)
    subprocess.run([sys.executable, os.path.join(ROOT, "tools", "standin"), "ca", "--root",
                    os.path.join(build, "standin"), "--install", os.path.join(build, "tools", "kestrune_install_ca.exe"),
                    "--wine", "wine"], check=True, capture_output=True)
    scenario = os.path.join(work, "scenario.json")
    with open(scenario, "w") as f:
        json.dump({"seed": "engine-bench", "vehicles": [vehicle(parse_size(size), items)]}, f, indent=1)
    return scenario


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--size", default="1G", help="total size of the update, e.g. 256M, 1G")
    parser.add_argument("--items", type=int, default=24, help="number of items (20 to 40)")
    parser.add_argument("--rounds", type=int, default=5, help="rounds of stages alone and whole run")
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    root = os.path.join(build, "standin")
    work = os.path.join(build, "bench", "pipeline")
    scenario = prepare(build, work, args.size, args.items)

    exe = os.path.join(build, "bench", "bench_pipeline.exe")
    downloads = [os.path.join(work, "downloads_stages"), os.path.join(work, "downloads_whole")]
    for folder in downloads:
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
    print("[bench] preparing %s in %d items (cached after the first run) ..." % (args.size, args.items), flush=True)
    with StandIn(root=root, scenario=scenario, config_out=[os.path.join(build, "bench", "config.json")]):
        os.sync()
        wall, rss, out = run_measured(["wine", exe] + [windows_path(d) for d in downloads] + [str(args.rounds)],
                                      work)
    for folder in downloads:
        shutil.rmtree(folder, ignore_errors=True)

    rounds = []
    peak = "?"
    for line in out.splitlines():
        fields = dict(item.split("=") for item in line.split() if "=" in item)
        if "round" in fields:
            rounds.append(fields)
        elif "peak_working_set_kib" in fields:
            peak = fields["peak_working_set_kib"]
    names = ("download", "unzip", "copy", "total")
    mib = int(rounds[0]["fetched_bytes"]) / (1 << 20)
    print("[bench] %.0f MiB fetched in %d items, stand-in on loopback (HTTPS) to R: (%.0f MiB of item files on"
          " the medium besides the package folders); %d rounds, order swapped every round"
          % (mib, args.items, int(rounds[0]["copied_bytes"]) / (1 << 20), len(rounds)))
    ratios = []
    for r in rounds:
        times = {name: float(r[name]) for name in names}
        slowest = max(("download", "unzip", "copy"), key=times.get)
        ratios.append(times["total"] / times[slowest])
        print("[bench]   round %s: download %6.2f s, unzip %6.2f s, copy %6.2f s alone; whole %6.2f s;"
              " whole / slowest %.2f; module errors %s"
              % (r["round"], times["download"], times["unzip"], times["copy"], times["total"], ratios[-1],
                 r["errors"]))
    medians = {name: statistics.median(float(r[name]) for r in rounds) for name in names}
    slowest = max(("download", "unzip", "copy"), key=medians.get)
    for name in ("download", "unzip", "copy"):
        print("[bench]   median %-8s alone: %7.2f s  %7.1f MiB/s" % (name, medians[name], mib / medians[name]))
    print("[bench]   median whole run     : %7.2f s  %7.1f MiB/s" % (medians["total"], mib / medians["total"]))
    print("[bench]   whole / slowest stage alone (%s), medians: %.2f; median of the rounds' ratios: %.2f"
          " (goal: at most 1.15)" % (slowest, medians["total"] / medians[slowest], statistics.median(ratios)))
    print("[bench]   peak memory: Wine process RSS %d KiB, program working set %s KiB" % (rss, peak))
    print("[bench]   (%.1f s with Wine start-up and the pre-checks)" % wall)


if __name__ == "__main__":
    main()
