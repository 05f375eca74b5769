"""Fault switches per URL path, read from a JSON file that may change at any time.

The file holds a list of rules; the first rule whose "path" (a shell-style
pattern matched against the URL path without the query) fits a request, and
whose "times" is not used up, applies to it. Writers replace the file by
rename, so a reader never sees half a file; one that fails to parse anyway
keeps the rules it had.
"""
import fnmatch
import json
import os
import threading
from pathlib import Path

SWITCHES = {
    "status": int,          # reply with this HTTP status and an empty body (or "body")
    "body": str,            # body text of a "status" reply
    "empty": bool,          # 200 with an empty body
    "drop": bool,           # close the connection without any reply
    "no_length": bool,      # no Content-Length; the connection closes after the body
    "cut": int,             # send only N body bytes, then close (the declared length stays)
    "reset": int,           # send only N body bytes, then reset the connection
    "ignore_range": bool,   # answer a ranged GET with 200 and the whole body
    "range_back": int,      # answer a ranged GET from N bytes before the asked start (honest Content-Range)
    "endless": int,         # 200 with N filler bytes and no Content-Length (a reply that will not end)
    "stall": float,         # pause this many seconds ...
    "stall_after": int,     # ... after N body bytes (default 0; -1: before the status line)
    "rate": int,            # throughput limit in bytes per second
    "times": int,           # apply to this many matching requests only
}


def _fits(kind, value) -> bool:
    if kind is bool:
        return isinstance(value, bool)
    if isinstance(value, bool):
        return False
    return isinstance(value, (int, float) if kind is float else kind)


def check(rule: dict) -> dict:
    if not isinstance(rule, dict) or not isinstance(rule.get("path"), str):
        raise ValueError("a fault rule is an object with a \"path\" pattern: %r" % (rule,))
    for key, value in rule.items():
        if key == "path":
            continue
        kind = SWITCHES.get(key)
        if kind is None:
            raise ValueError("unknown fault switch %r (known: %s)" % (key, ", ".join(SWITCHES)))
        if not _fits(kind, value):
            raise ValueError("fault switch %r takes a %s, not %r" % (key, kind.__name__, value))
    return rule


def write(path: Path, rules):
    """Replaces the rule file atomically."""
    rules = [check(r) for r in rules]
    path = Path(path)
    tmp = path.with_name(path.name + ".tmp%d.%d" % (os.getpid(), threading.get_ident()))
    tmp.write_text(json.dumps(rules, indent=1))
    os.replace(tmp, path)


def read(path: Path):
    try:
        return json.loads(Path(path).read_text())
    except FileNotFoundError:
        return []


class Faults:
    def __init__(self, path: Path):
        self.path = Path(path)
        self._lock = threading.Lock()
        self._stamp = None
        self._rules = []
        self._used = []

    def _reload(self):
        try:
            st = self.path.stat()
            stamp = (st.st_ino, st.st_mtime_ns, st.st_size)
        except FileNotFoundError:
            stamp = None
        if stamp == self._stamp:
            return
        try:
            rules = [check(r) for r in read(self.path)] if stamp else []
        except (ValueError, OSError):
            return
        self._stamp, self._rules, self._used = stamp, rules, [0] * len(rules)

    def match(self, url_path: str):
        """The rule that applies to this request (counted as used), or None."""
        with self._lock:
            self._reload()
            for i, rule in enumerate(self._rules):
                if fnmatch.fnmatchcase(url_path, rule["path"]) and self._used[i] < rule.get("times", 1 << 62):
                    self._used[i] += 1
                    return dict(rule)
        return None
