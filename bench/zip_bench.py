#!/usr/bin/python3
"""Extraction throughput of the zip reader against Info-ZIP unzip.

Builds (once, cached) a package of about --size-mib MiB: several hundred
files, half compressible text (deflated), half incompressible (stored, as
zip tools store what deflate cannot shrink). Then extracts it, alternately,
with `unzip` and with bench_ziparchive.exe under Wine into folders of the
same filesystem, both checking every CRC-32, and prints the best throughput
of each (both timed from the outside, start-up included, with written data
flushed between runs), their ratio and the peak memory of each extractor (unzip: peak
RSS; the reader: its own peak working set as Windows reports it, which
leaves out the Wine loader around it).

Run through bench/run_zip_bench.sh, which provides the Wine session.
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import time
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from measure import run_measured  # noqa: E402

WORDS = [b"map", b"route", b"poi", b"tile", b"lane", b"speed", b"camera", b"update", b"region",
         b"voice", b"guide", b"junction", b"north", b"south", b"bridge", b"tunnel", b"exit"]


def make_package(path, size_mib, rng):
    text = bytearray()
    while len(text) < 4 << 20:
        text += rng.choice(WORDS) + b" " + str(rng.randrange(100000)).encode() + b"\n"
    text = bytes(text)
    target = size_mib << 20
    written = 0
    index = 0
    tmp = path + ".tmp"
    with zipfile.ZipFile(tmp, "w") as z:
        while written < target:
            size = min(rng.randrange(512 << 10, 4608 << 10), target - written)
            if index % 2 == 0:
                parts = []
                left = size
                while left > 0:
                    start = rng.randrange(len(text) - (64 << 10))
                    chunk = text[start:start + min(left, 64 << 10)]
                    parts.append(chunk)
                    left -= len(chunk)
                data, method, name = b"".join(parts), zipfile.ZIP_DEFLATED, "text/file%04d.txt" % index
            else:
                data, method, name = rng.randbytes(size), zipfile.ZIP_STORED, "data/file%04d.bin" % index
            info = zipfile.ZipInfo(name, (2024, 1, 1, 12, 0, 0))
            info.compress_type = method
            info.external_attr = 0x20
            z.writestr(info, data)
            written += size
            index += 1
    os.replace(tmp, path)
    return index


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--size-mib", type=int, default=1024)
    parser.add_argument("--runs", type=int, default=2)
    args = parser.parse_args()

    work = os.path.join(args.build, "bench", "zip")
    os.makedirs(work, exist_ok=True)
    package = os.path.join(work, "package_%dmib.zip" % args.size_mib)
    if not os.path.exists(package):
        print("[bench] writing %s ..." % package, flush=True)
        count = make_package(package, args.size_mib, random.Random(args.size_mib))
        print("[bench] %d files" % count, flush=True)
    with zipfile.ZipFile(package) as z:
        infos = z.infolist()
        total = sum(i.file_size for i in infos)
    with open(package, "rb") as f:  # into the page cache for both readers
        while f.read(16 << 20):
            pass

    exe = os.path.join(args.build, "bench", "bench_ziparchive.exe")
    out_unzip = os.path.join(work, "out_unzip")
    out_reader = os.path.join(work, "out_reader")
    best_unzip = best_reader = None
    rss_unzip = ws_reader = 0
    for run in range(args.runs):
        for folder in (out_unzip, out_reader):
            shutil.rmtree(folder, ignore_errors=True)
            os.makedirs(folder)
        # Each run starts with nothing of the previous one left to write back.
        os.sync()
        unzip_seconds, rss, _ = run_measured(["unzip", "-q", "-o", package, "-d", out_unzip], work)
        best_unzip = unzip_seconds if best_unzip is None else min(best_unzip, unzip_seconds)
        rss_unzip = max(rss_unzip, rss)

        # Both timed from the outside, start-up included, as unzip is.
        os.sync()
        wall, _, out = run_measured(["wine", exe, windows_path(package), windows_path(out_reader)], work)
        fields = dict(item.split("=") for item in out.split())
        best_reader = wall if best_reader is None else min(best_reader, wall)
        ws_reader = max(ws_reader, int(fields["peak_working_set_kib"]))
        print("[bench] run %d: unzip %.2f s, reader %.2f s (%.2f s inside the process)"
              % (run + 1, unzip_seconds, wall, float(fields["seconds"])), flush=True)

    for folder in (out_unzip, out_reader):
        shutil.rmtree(folder, ignore_errors=True)
    mib = total / (1 << 20)
    print("[bench] package: %d entries, %.0f MiB uncompressed, %.0f MiB on disk"
          % (len(infos), mib, os.path.getsize(package) / (1 << 20)))
    print("[bench] unzip : %7.1f MiB/s  peak RSS %6d KiB" % (mib / best_unzip, rss_unzip))
    print("[bench] reader: %7.1f MiB/s  peak working set %6d KiB" % (mib / best_reader, ws_reader))
    print("[bench] throughput ratio reader/unzip: %.2f" % (best_unzip / best_reader))


if __name__ == "__main__":
    main()
