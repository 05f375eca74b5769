"""Command line of the stand-in: serve, run, ca, fault, build (see README.md)."""
import argparse
import json
import os
import signal
import subprocess
import sys
import threading
from pathlib import Path

from . import certs, faults, scenario as scenario_mod
from .content import ContentStore
from .instance import StandIn, default_root, windows_path


def _instance_args(p):
    p.add_argument("--root", type=Path, help="generated data (CA, package cache); default build/standin")
    p.add_argument("--state", type=Path, help="folder of this instance (log, faults, uploads, config.json)")
    p.add_argument("--scenario", type=Path, help="scenario file (default: scenarios/default.json)")
    p.add_argument("--package-size", help='base package size, e.g. "64K" (tests) or "2G" (benchmarks)')
    p.add_argument("--address", help="main loopback address to use instead of the first free one")
    p.add_argument("--config-out", type=Path, action="append", default=[],
                   help="also write config.json here (repeatable), e.g. beside the program")
    p.add_argument("--fault", action="append", default=[], help="fault rule (JSON) active from the start")


def _start(a) -> StandIn:
    s = StandIn(a.root, a.state, a.scenario, a.package_size, a.address, a.config_out)
    s.start()
    if a.fault:
        s.set_faults([json.loads(r) for r in a.fault])
    return s


def _serve(a):
    s = _start(a)
    print(json.dumps(s.describe(), indent=2, ensure_ascii=False), flush=True)
    print("stand-in ready on %s (twin %s); Ctrl+C stops it" % (s.address, s.twin), file=sys.stderr, flush=True)
    done = threading.Event()
    for sig in (signal.SIGINT, signal.SIGTERM):
        signal.signal(sig, lambda *_: done.set())
    done.wait()
    s.stop()
    return 0


def _run(a):
    cmd = a.command[1:] if a.command[:1] == ["--"] else a.command
    if not cmd:
        print("run: no command after --", file=sys.stderr)
        return 2
    s = _start(a)
    env = dict(os.environ, KESTRUNE_STANDIN=str(s.state),
               KESTRUNE_STANDIN_WIN=windows_path(s.state))
    try:
        child = subprocess.Popen(cmd, env=env)
        for sig in (signal.SIGINT, signal.SIGTERM):
            signal.signal(sig, lambda n, _: child.send_signal(n))
        return child.wait()
    finally:
        s.stop()


def _ca(a):
    ca = certs.ensure_ca(a.root or default_root())
    print(json.dumps({"pem": str(ca.cert_pem), "der": str(ca.cert_der)}))
    if a.install:
        cmd = ([a.wine] if a.wine else []) + [str(a.install), windows_path(ca.cert_der)]
        return subprocess.run(cmd).returncode
    return 0


def _fault(a):
    path = a.state / "faults.json"
    if a.clear:
        faults.write(path, [])
    for rule in a.rule:
        faults.write(path, faults.read(path) + [json.loads(rule)])
    print(json.dumps(faults.read(path), indent=1))
    return 0


def _build(a):
    sc = scenario_mod.load(a.scenario, a.package_size)
    store = ContentStore(sc, (a.root or default_root()) / "cache", "https://127.0.0.1")
    for (inf, item), b in store.built.items():
        print("%-22s %-12s %-8s %14d bytes in %d file(s)" % (inf, item, b.kind, b.zip_size or b.file_size,
                                                           len(b.host_files)))
    return 0


def main(argv=None):
    parser = argparse.ArgumentParser(prog="standin", description=__doc__)
    sub = parser.add_subparsers(dest="cmd", required=True)
    p = sub.add_parser("serve", help="run an instance until Ctrl+C (the run command uses this)")
    _instance_args(p)
    p = sub.add_parser("run", help="run a command inside an instance (ctest fixtures use this)")
    _instance_args(p)
    p.add_argument("command", nargs=argparse.REMAINDER, help="-- program [arguments]")
    p = sub.add_parser("ca", help="create the CA when missing; optionally install it under Wine")
    p.add_argument("--root", type=Path)
    p.add_argument("--install", type=Path, help="the CA install tool (kestrune_install_ca.exe)")
    p.add_argument("--wine", help="the wine command to run the tool with")
    p = sub.add_parser("fault", help="change the fault rules of a running instance")
    p.add_argument("--state", type=Path, required=True)
    p.add_argument("--clear", action="store_true")
    p.add_argument("rule", nargs="*", help="rule to add (JSON)")
    p = sub.add_parser("build", help="build (and cache) the packages of a scenario")
    p.add_argument("--root", type=Path)
    p.add_argument("--scenario", type=Path)
    p.add_argument("--package-size")
    a = parser.parse_args(argv)
    return {"serve": _serve, "run": _run, "ca": _ca, "fault": _fault, "build": _build}[a.cmd](a)
