#!/usr/bin/python3
"""Extraction of many small files: the zip reader against the platform's floor.

Builds (once, cached) two packages of --files files of 1 to 8 KiB: one
nested (folders of 50 files, two levels deep) and one with every file in a
single folder. Each is extracted by bench_ziparchive.exe (the reader), by
the same executable's --floor mode (CreateFile, WriteFile, CloseHandle and
nothing else: what the platform costs) and by Info-ZIP unzip. All three are
timed from the outside with their start-up; written data is flushed between
runs, every run extracts into a folder of its own (all deleted only at the
end, so no run pays for the deletions of another), and the three take turns
round by round. Prints the best times, their
ratios and the reader/floor ratio of each round; the goal is the reader
within 1.3x of the floor.

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


def run_once(command, out, work):
    """Extracts into out, a new folder: nothing is deleted before a run
    (deleting 20,000 files slows the next file creations for minutes on a
    disk mounted with discard, charging one extractor for another's
    deletions); the caller deletes every run's folder at the end."""
    os.makedirs(out)
    os.sync()
    target = windows_path(out) if command[0] == "wine" else out
    seconds, _, _ = run_measured([target if part == "{out}" else part for part in command], work)
    return seconds


def median(values):
    values = sorted(values)
    middle = len(values) // 2
    return values[middle] if len(values) % 2 else (values[middle - 1] + values[middle]) / 2


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--files", type=int, default=20000)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--kind", choices=("both", "nested", "flat"), default="both")
    args = parser.parse_args()

    work = os.path.join(args.build, "bench", "smallfiles")
    os.makedirs(work, exist_ok=True)
    exe = os.path.join(args.build, "bench", "bench_ziparchive.exe")
    out = os.path.join(work, "out")
    for nested in {"both": (True, False), "nested": (True,), "flat": (False,)}[args.kind]:
        kind = "nested" if nested else "one folder"
        package = os.path.join(work, "small_%d_%s.zip" % (args.files, "nested" if nested else "flat"))
        if not os.path.exists(package):
            print("[bench] writing %s ..." % package, flush=True)
            make_package(package, args.files, nested, random.Random(args.files))
        with open(package, "rb") as f:  # into the page cache for every extractor
            while f.read(16 << 20):
                pass
        commands = {
            "floor": ["wine", exe, "--floor", windows_path(package), "{out}"],
            "reader": ["wine", exe, windows_path(package), "{out}"],
            "unzip": ["unzip", "-q", "-o", package, "-d", "{out}"],
        }
        # Round by round, each extractor once and every other round in the
        # opposite order: a load from elsewhere that comes and goes falls on
        # all of them, not on one extractor's runs.
        times = {name: [] for name in commands}
        shutil.rmtree(out, ignore_errors=True)
        for round_number in range(args.runs):
            names = list(commands) if round_number % 2 == 0 else list(reversed(commands))
            for name in names:
                folder = os.path.join(out, "%s_%d" % (name, round_number))
                times[name].append(run_once(commands[name], folder, work))
        shutil.rmtree(out, ignore_errors=True)
        floor, reader, unzip = (min(times[name]) for name in ("floor", "reader", "unzip"))
        rounds = [r / f for r, f in zip(times["reader"], times["floor"])]
        print("[bench] %d files, %s: floor %.2f s, reader %.2f s, unzip %.2f s (best of %d)"
              % (args.files, kind, floor, reader, unzip, args.runs))
        print("[bench]   reader/floor %.2f (goal 1.30 or less), reader/unzip %.2f" % (reader / floor, reader / unzip))
        print("[bench]   reader/floor by round: median %.2f, %s"
              % (median(rounds), " ".join("%.2f" % r for r in rounds)), flush=True)


if __name__ == "__main__":
    main()
