#!/usr/bin/python3
"""Extraction of many small files: the zip reader against the platform's floor.

Builds (once, cached) two packages of --files files of 1 to 8 KiB: one
nested (folders of 50 files, two levels deep) and one with every file in a
single folder. Each is extracted by bench_ziparchive.exe (the reader), by
the same executable's --floor mode (CreateFile, WriteFile, CloseHandle and
nothing else: what the platform costs) and by Info-ZIP unzip. All three are
timed from the outside with their start-up; written data is flushed between
runs. Prints the best times and the ratios; the goal is the reader within
1.3x of the floor.

Run through bench/run_small_files_bench.sh, which provides the Wine session.
"""
import argparse
import os
import random
import shutil
import sys
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from measure import run_measured  # noqa: E402
from zip_bench import windows_path  # noqa: E402


def make_package(path, files, nested, rng):
    tmp = path + ".tmp"
    with zipfile.ZipFile(tmp, "w") as z:
        for index in range(files):
            size = rng.randrange(1024, 8193)
            if nested:
                name = "d%03d/s%02d/f%05d.dat" % (index // 1000, (index // 50) % 20, index)
            else:
                name = "flat/f%05d.dat" % index
            info = zipfile.ZipInfo(name, (2024, 1, 1, 12, 0, 0))
            # Half text-like (deflated), half noise (stored), as packages are.
            if index % 2 == 0:
                info.compress_type = zipfile.ZIP_DEFLATED
                data = (b"tile lane route %d\n" % index) * (size // 16 + 1)
                data = data[:size]
            else:
                info.compress_type = zipfile.ZIP_STORED
                data = rng.randbytes(size)
            info.external_attr = 0x20
            z.writestr(info, data)
    os.replace(tmp, path)


def best_of(runs, command, out, work):
    best = None
    for _ in range(runs):
        shutil.rmtree(out, ignore_errors=True)
        os.makedirs(out)
        os.sync()
        seconds, _, _ = run_measured(command, work)
        best = seconds if best is None else min(best, seconds)
    shutil.rmtree(out, ignore_errors=True)
    return best


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--files", type=int, default=20000)
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()

    work = os.path.join(args.build, "bench", "smallfiles")
    os.makedirs(work, exist_ok=True)
    exe = os.path.join(args.build, "bench", "bench_ziparchive.exe")
    out = os.path.join(work, "out")
    for nested in (True, False):
        kind = "nested" if nested else "one folder"
        package = os.path.join(work, "small_%d_%s.zip" % (args.files, "nested" if nested else "flat"))
        if not os.path.exists(package):
            print("[bench] writing %s ..." % package, flush=True)
            make_package(package, args.files, nested, random.Random(args.files))
        with open(package, "rb") as f:  # into the page cache for every extractor
            while f.read(16 << 20):
                pass
        floor = best_of(args.runs, ["wine", exe, "--floor", windows_path(package), windows_path(out)], out, work)
        reader = best_of(args.runs, ["wine", exe, windows_path(package), windows_path(out)], out, work)
        unzip = best_of(args.runs, ["unzip", "-q", "-o", package, "-d", out], out, work)
        print("[bench] %d files, %s: floor %.2f s, reader %.2f s, unzip %.2f s" % (args.files, kind, floor, reader, unzip))
        print("[bench]   reader/floor %.2f (goal 1.30 or less), reader/unzip %.2f" % (reader / floor, reader / unzip),
              flush=True)


if __name__ == "__main__":
    main()
