#!/usr/bin/python3
"""The engine's copy and unzip against bare references.

Copy: bench_engine.exe copies a few large files and many small ones to the
removable test drive R: with the copy worker (1 MiB write-through chunks,
size and CRC-32 check of the copy) and, in the same run, with a bare loop
writing the same chunks write-through and reading the copy back once. The
goal is engine throughput >= 0.8 of the bare loop; small files are also
shown as milliseconds per file.

Unzip: bench_engine.exe extracts a package (bench/zip_bench.py's, cached in
<build>/bench/zip/) and checks every file's CRC-32 as the unzip step does,
against `unzip` followed by `cksum` of every file.

Run through bench/run_engine_bench.sh, which provides the Wine session.
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from zip_bench import make_package, windows_path  # noqa: E402


def pair(text):
    a, b = text.split(",")
    return int(a), int(b)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--copy-large", type=pair, default=(4, 230))
    parser.add_argument("--copy-small", type=pair, default=(2000, 48))
    parser.add_argument("--zip-mib", type=int, default=1024)
    args = parser.parse_args()
    exe = os.path.join(args.build, "bench", "bench_engine.exe")

    work = os.path.join(args.build, "bench", "engine")
    source = os.path.join(work, "source")
    os.makedirs(source, exist_ok=True)
    cmd = ["wine", exe, "copy", windows_path(source), "R:\\", str(args.copy_large[0]), str(args.copy_large[1]),
           str(args.copy_small[0]), str(args.copy_small[1])]
    proc = subprocess.run(cmd, capture_output=True, text=True)
    if proc.returncode != 0:
        sys.exit("bench_engine copy failed: %s %s" % (proc.stdout, proc.stderr))
    best = {}
    for line in proc.stdout.split("\n"):
        if not line.strip():
            continue
        f = dict(item.split("=") for item in line.split())
        key = f["set"]
        engine, bare = float(f["engine"]), float(f["bare"])
        old = best.get(key)
        best[key] = (int(f["files"]), int(f["bytes"]), min(engine, old[2]) if old else engine,
                     min(bare, old[3]) if old else bare)
    for key, (files, size, engine, bare) in best.items():
        mib = size / (1 << 20)
        print("[bench] copy %-5s %5d files %7.0f MiB: engine %7.1f MiB/s, bare %7.1f MiB/s, ratio %.2f"
              % (key, files, mib, mib / engine, mib / bare, bare / engine), flush=True)
        if key == "small":
            print("[bench] copy small files: engine %.2f ms per file, bare %.2f ms per file"
                  % (engine * 1000 / files, bare * 1000 / files))

    zwork = os.path.join(args.build, "bench", "zip")
    os.makedirs(zwork, exist_ok=True)
    package = os.path.join(zwork, "package_%dmib.zip" % args.zip_mib)
    if not os.path.exists(package):
        print("[bench] writing %s ..." % package, flush=True)
        make_package(package, args.zip_mib, random.Random(args.zip_mib))
    out_ref = os.path.join(work, "out_unzip")
    out_engine = os.path.join(work, "out_engine")
    for folder in (out_ref, out_engine):
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
    start = time.perf_counter()
    subprocess.run(["unzip", "-q", "-o", package, "-d", out_ref], check=True)
    files = [os.path.join(d, n) for d, _, names in os.walk(out_ref) for n in names]
    subprocess.run(["cksum"] + files, check=True, stdout=subprocess.DEVNULL)
    reference = time.perf_counter() - start
    proc = subprocess.run(["wine", exe, "unzip", windows_path(package), windows_path(out_engine)],
                          capture_output=True, text=True)
    if proc.returncode != 0:
        sys.exit("bench_engine unzip failed: %s %s" % (proc.stdout, proc.stderr))
    f = dict(item.split("=") for item in proc.stdout.split())
    mib = int(f["bytes"]) / (1 << 20)
    seconds = float(f["seconds"])
    for folder in (out_ref, out_engine):
        shutil.rmtree(folder, ignore_errors=True)
    print("[bench] unzip+verify %d entries %.0f MiB: engine %.1f MiB/s, unzip+cksum %.1f MiB/s, ratio %.2f"
          % (int(f["entries"]), mib, mib / seconds, mib / reference, reference / seconds))


if __name__ == "__main__":
    main()
