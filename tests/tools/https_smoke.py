"""Smoke test of the stand-in under Wine, in a Wine prefix of its own.

The build's prefix keeps the CA installed for every other test, so the
"without the CA" half needs a prefix where this test may take it out again.
"""
import argparse
import fcntl
import os
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))
from standin import StandIn, windows_path  # noqa: E402
from standin.crypto import encode_value  # noqa: E402


def main():
    ap = argparse.ArgumentParser()
    for name in ("--client", "--install-ca", "--wine", "--root", "--prefix"):
        ap.add_argument(name, required=True)
    a = ap.parse_args()
    prefix = Path(a.prefix)
    env = dict(os.environ, WINEPREFIX=str(prefix), WINEARCH="win64", WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree=d;mshtml=d")
    quiet = {"stdin": subprocess.DEVNULL, "stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}

    def wine(*args):
        # Output goes through a file: a Wine service started by the call would
        # inherit a pipe and keep it open long after the program ended.
        with tempfile.TemporaryFile("w+") as out:
            code = subprocess.run([a.wine, *args], env=env, stdin=subprocess.DEVNULL, stdout=out,
                                  stderr=subprocess.DEVNULL, timeout=120).returncode
            out.seek(0)
            return code, out.read().strip()

    prefix.parent.mkdir(parents=True, exist_ok=True)
    with open(str(prefix) + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not (prefix / "system.reg").exists():
            print("creating Wine prefix %s" % prefix, flush=True)
            subprocess.run(["wineboot", "-i"], env=env, timeout=300, **quiet)
            subprocess.run(["wineserver", "-w"], env=env, timeout=300, **quiet)
        # A daemon that inherits our pipes would keep the caller waiting.
        subprocess.run(["wineserver", "-p"], env=env, **quiet)
        subprocess.run([a.wine, "cmd", "/c", "exit"], env=env, timeout=120, **quiet)
        failures = []

        def expect(what, ok, detail):
            print("%s %s: %s" % ("ok  " if ok else "FAIL", what, detail), flush=True)
            if not ok:
                failures.append(what)

        try:
            with StandIn(root=a.root) as s:
                ca = windows_path(s.ca.cert_der)
                obj = "/api/GetGUID?D1=" + encode_value("KR")
                rc, out = wine(a.install_ca, "--remove", ca)
                expect("CA taken out of the Root store", rc == 0, out)
                rc, out = wine(a.client, s.address, obj)
                expect("untrusted certificate refused", rc == 3 and "12045" in out, "exit %d, %s" % (rc, out))
                expect("no request got through", not s.requests(endpoint="GetGUID"), s.requests(endpoint="GetGUID"))
                rc, out = wine(a.install_ca, ca)
                expect("CA installed", rc == 0, out)
                rc, out = wine(a.client, s.address, obj)
                expect("GetGUID over validated HTTPS", rc == 0 and out == "200|" + s.scenario.guid,
                       "exit %d, %s" % (rc, out))
                entries = s.requests(endpoint="GetGUID")
                expect("request logged with its decrypted value",
                       len(entries) == 1 and entries[0]["params"] == {"D1": "KR"} and not entries[0]["errors"],
                       entries)
        finally:
            subprocess.run(["wineserver", "-k"], env=env, **quiet)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
