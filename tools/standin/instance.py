"""One running stand-in: every host of the maker's service on loopback addresses.

    with StandIn() as s:                 # binds 127.0.0.N (+ a twin), starts serving
        s.config["API_HOST"]             # what the program reads from config.json
        s.add_fault({"path": "/api/ChkRegist", "status": 500, "times": 1})
        s.requests(endpoint="ChkRegist") # the request log, parsed
"""
import json
import os
import shutil
import ssl
from pathlib import Path

from . import certs, faults, scenario as scenario_mod
from .server import Listener, RequestLog, candidates, try_bind
from .service import Service

API_PORT, UPDATE_PORT, VCRM_PORT = 443, 80, 8443
REPO = Path(__file__).resolve().parents[2]


def default_root() -> Path:
    """Where generated data lives: in the build tree, never in the repository."""
    if os.environ.get("KESTRUNE_STANDIN_ROOT"):
        return Path(os.environ["KESTRUNE_STANDIN_ROOT"])
    return Path(os.environ.get("KESTRUNE_BUILD", REPO / "build")) / "standin"


def windows_path(path: Path) -> str:
    """The path as a program under Wine sees it (Z: maps the Unix root)."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


class StandIn:
    def __init__(self, root=None, state=None, scenario=None, package_size=None, address=None,
                 config_out=()):
        self.root = Path(root) if root else default_root()
        self.state = Path(state) if state else None
        self.scenario_path = scenario
        self.package_size = package_size
        self.wanted_address = address
        self.config_out = [Path(p) for p in config_out]
        self.listeners = []
        self.address = self.twin = None

    # ------------------------------------------------------------ life
    def start(self):
        self.ca = certs.ensure_ca(self.root)
        self.scenario = scenario_mod.load(self.scenario_path, self.package_size)
        socks = self._bind()
        try:
            if self.state is None:
                self.state = self.root / "instances" / self.address
            self._fresh_state()
            pem = certs.issue_server_cert(self.ca, [self.address, self.twin], self.state / "server.pem")
            tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            tls.load_cert_chain(pem)
            self.log = RequestLog(self.log_path)
            self.faults = faults.Faults(self.faults_path)
            self.service = Service(self.scenario, self.root / "cache", self.address, self.twin,
                                   self.state / "uploads")
            roles = [("api", tls), ("update", None), ("vcrm", tls), ("api_ru", tls)]
            self.listeners = [Listener(s, role, ctx, self) for s, (role, ctx) in zip(socks, roles)]
        except BaseException:
            for s in socks:
                s.close()
            raise
        for listener in self.listeners:
            listener.thread.start()
        self.config = self.service.config()
        for path in [self.state / "config.json"] + self.config_out:
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text(json.dumps(self.config, indent=2, ensure_ascii=False), encoding="utf-8")
        (self.state / "standin.json").write_text(json.dumps(self.describe(), indent=2, ensure_ascii=False),
                                                 encoding="utf-8")
        return self

    def stop(self):
        for listener in self.listeners:
            listener.shutdown()
            listener.server_close()
        self.listeners = []

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    def _bind(self):
        """Listening sockets: 443, 80 and 8443 on one address, 443 on its twin.

        Each instance takes addresses nobody holds yet, so parallel tests and
        other developers' instances on this machine never meet.
        """
        pool = [self.wanted_address] if self.wanted_address else candidates()
        main = None
        for a in pool:
            main = try_bind(a, [API_PORT, UPDATE_PORT, VCRM_PORT])
            if main:
                self.address = a
                break
        if not main:
            raise RuntimeError("no loopback address (%s) has ports 443, 80 and 8443 free; is a server listening "
                               "on them for all addresses?" % (self.wanted_address or "127.0.x.y"))
        for a in candidates():
            if a != self.address:
                twin = try_bind(a, [API_PORT])
                if twin:
                    self.twin = a
                    return main + twin
        for s in main:
            s.close()
        raise RuntimeError("no free loopback address for the regional twin")

    def _fresh_state(self):
        self.state.mkdir(parents=True, exist_ok=True)
        for name in ("requests.jsonl", "faults.json", "config.json", "standin.json"):
            (self.state / name).unlink(missing_ok=True)
        shutil.rmtree(self.state / "uploads", ignore_errors=True)
        self.log_path.touch()

    # ------------------------------------------------------------ facts
    @property
    def log_path(self) -> Path:
        return self.state / "requests.jsonl"

    @property
    def faults_path(self) -> Path:
        return self.state / "faults.json"

    def url(self, role: str, path: str = "") -> str:
        """Base URL of a host ("api", "api_ru", "update", "vcrm") followed by path."""
        return {"api": "https://%s" % self.address, "api_ru": "https://%s" % self.twin,
                "update": "http://%s" % self.address, "vcrm": "https://%s:%d" % (self.address, VCRM_PORT),
                "content": self.service.store.content_base}[role] + path

    def describe(self) -> dict:
        return {"pid": os.getpid(), "address": self.address, "twin": self.twin,
                "ports": {"api": API_PORT, "update": UPDATE_PORT, "vcrm": VCRM_PORT},
                "state": str(self.state), "state_windows": windows_path(self.state),
                "requests": str(self.log_path), "faults": str(self.faults_path),
                "uploads": str(self.state / "uploads"), "ca_pem": str(self.ca.cert_pem),
                "ca_der": str(self.ca.cert_der), "scenario": self.scenario.source,
                "package_size": self.scenario.package_size, "config": self.config,
                "urls": {r: self.url(r) for r in ("api", "api_ru", "update", "vcrm", "content")}}

    # ------------------------------------------------------------ request log
    def requests(self, **match) -> list:
        """Logged requests, oldest first, whose fields equal the given values."""
        out = []
        with open(self.log_path, encoding="utf-8") as f:
            for line in f:
                if not line.endswith("\n"):
                    break           # still being written
                entry = json.loads(line)
                if all(entry.get(k) == v for k, v in match.items()):
                    out.append(entry)
        return out

    # ------------------------------------------------------------ faults
    def set_faults(self, rules):
        faults.write(self.faults_path, rules)

    def add_fault(self, rule: dict):
        self.set_faults(faults.read(self.faults_path) + [rule])

    def clear_faults(self):
        self.set_faults([])
