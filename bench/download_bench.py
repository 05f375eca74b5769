#!/usr/bin/python3
"""Download throughput of the HTTP download worker against curl.

Starts a stand-in service (tools/standin) with its benchmark scenario, one
file of --size bytes, and downloads it on loopback, alternately with `curl`
and with bench_download.exe under Wine, each into a file of the same
filesystem: over plain HTTP (the update host), which measures the worker
itself, and over HTTPS with the certificate checked (the content host, the
way packages come), where Wine's TLS stack does the decryption. Prints the
best throughput of each, taken the same way on both sides (wall time with
the process start, and the inner transfer time each reports: curl's
time_total, the worker's own clock), both ratios per scheme and the peak
memory of each
(curl: peak RSS; the worker: its own peak working set as Windows reports
it, which leaves out the Wine loader around it). A third reader, bare
WinINet calls in the same executable, shows the platform's ceiling: what
any WinINet client can reach under this Wine.

Run through bench/run_download_bench.sh, which provides the Wine session.
"""
import argparse
import os
import subprocess
import sys
import time
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tools"))

from standin import StandIn, windows_path  # noqa: E402

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from measure import run_measured  # noqa: E402

PATH = "/contents/pkg/BENCH/BENCH/BENCH.bin"


def crc_of(path):
    crc = 0
    with open(path, "rb") as f:
        while True:
            block = f.read(16 << 20)
            if not block:
                return crc
            crc = zlib.crc32(block, crc)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--size", default="1G", help="file size, e.g. 512M, 1G, 2G")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--schemes", default="http,https", help="http, https or both (comma-separated)")
    parser.add_argument("--rate", type=int, default=0,
                        help="the server's pace in bytes per second (0: as fast as it can), as on a real line")
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    root = os.path.join(build, "standin")
    work = os.path.join(build, "bench", "download")
    os.makedirs(work, exist_ok=True)
    # The CA into the build's Wine prefix, as the tests' fixture does.
    subprocess.run([sys.executable, os.path.join(ROOT, "tools", "standin"), "ca", "--root", root, "--install",
                    os.path.join(build, "tools", "kestrune_install_ca.exe"), "--wine", "wine"],
                   check=True, capture_output=True)

    exe = os.path.join(build, "bench", "bench_download.exe")
    scenario = os.path.join(ROOT, "tools", "standin", "scenarios", "bench.json")
    print("[bench] preparing the %s file (cached after the first run) ..." % args.size, flush=True)
    with StandIn(root=root, scenario=scenario, package_size=args.size) as s:
        if args.rate:
            s.set_faults([{"path": PATH, "rate": args.rate}])
        ca = os.path.join(root, "ca", "ca.pem")
        results = []
        for scheme in args.schemes.split(","):
            url = "%s://%s%s" % (scheme, s.address, PATH)
            results.append((scheme, measure(url, exe, ca, work, args.runs)))

    for scheme, r in results:
        mib = r["size"] / (1 << 20)
        pace = ", served at %.1f MiB/s" % (args.rate / (1 << 20)) if args.rate else ""
        print("[bench] %s, %.0f MiB on loopback%s, identical in every download" % (scheme.upper(), mib, pace))
        print("[bench]   curl         : %7.1f MiB/s inner, %7.1f MiB/s with start-up  peak RSS %6d KiB"
              % (mib / r["curl_inner"], mib / r["curl_wall"], r["rss_curl"]))
        print("[bench]   worker       : %7.1f MiB/s inner, %7.1f MiB/s with start-up  peak working set %6d KiB"
              % (mib / r["worker_inner"], mib / r["worker_wall"], r["ws_worker"]))
        print("[bench]   bare WinINet : %7.1f MiB/s inner" % (mib / r["raw"]))
        print("[bench]   throughput ratio worker/curl: %.2f inner, %.2f with start-up (goal: at least 0.80);"
              " worker/bare WinINet: %.2f inner"
              % (r["curl_inner"] / r["worker_inner"], r["curl_wall"] / r["worker_wall"], r["raw"] / r["worker_inner"]))


def measure(url, exe, ca, work, runs):
    """Best times of curl, the worker and bare WinINet; curl and the worker
    each by wall time with the process start and by their inner clock, and
    in turns whose order swaps every run."""
    out_curl = os.path.join(work, "curl.bin")
    out_worker = os.path.join(work, "worker.bin")
    out_raw = os.path.join(work, "raw.bin")
    best = {}
    rss_curl = ws_worker = 0
    size = None

    def keep(name, seconds):
        best[name] = seconds if name not in best else min(best[name], seconds)

    def run_curl():
        nonlocal rss_curl
        wall, rss, out = run_measured(["curl", "--silent", "--show-error", "--fail", "--cacert", ca, "-o", out_curl,
                                       "-w", "%{time_total}", url], work)
        rss_curl = max(rss_curl, rss)
        keep("curl_wall", wall)
        keep("curl_inner", float(out.strip().replace(",", ".")))
        return wall, float(out.strip().replace(",", "."))

    def run_worker():
        nonlocal ws_worker
        wall, _, out = run_measured(["wine", exe, url, windows_path(out_worker)], work)
        fields = dict(item.split("=") for item in out.split())
        ws_worker = max(ws_worker, int(fields["peak_working_set_kib"]))
        keep("worker_wall", wall)
        keep("worker_inner", float(fields["seconds"]))
        return wall, float(fields["seconds"]), int(fields["bytes"])

    for run in range(runs):
        for path in (out_curl, out_worker, out_raw):
            if os.path.exists(path):
                os.remove(path)
        # Each writer starts with the disk's write-back done, not behind
        # the previous writer's gigabyte.
        os.sync()
        if run % 2 == 0:
            curl_wall, curl_inner = run_curl()
            os.sync()
            worker_wall, worker_inner, worker_bytes = run_worker()
        else:
            worker_wall, worker_inner, worker_bytes = run_worker()
            os.sync()
            curl_wall, curl_inner = run_curl()
        size = os.path.getsize(out_curl)
        if worker_bytes != size or os.path.getsize(out_worker) != size:
            sys.exit("size mismatch: curl %d, worker %d" % (size, worker_bytes))
        os.sync()
        _, _, out = run_measured(["wine", exe, "--raw", url, windows_path(out_raw)], work)
        raw_seconds = float(dict(item.split("=") for item in out.split())["seconds"])
        keep("raw", raw_seconds)
        print("[bench] %s run %d: curl %.2f s (%.2f s with start-up), worker %.2f s (%.2f s with Wine start-up),"
              " bare WinINet %.2f s"
              % (url.split(":")[0], run + 1, curl_inner, curl_wall, worker_inner, worker_wall, raw_seconds),
              flush=True)
    if crc_of(out_curl) != crc_of(out_worker) or os.path.getsize(out_raw) != size:
        sys.exit("the downloads differ")
    for path in (out_curl, out_worker, out_raw):
        os.remove(path)
    best.update(size=size, rss_curl=rss_curl, ws_worker=ws_worker)
    return best


if __name__ == "__main__":
    main()
