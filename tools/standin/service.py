"""The maker's web service as the program sees it: requests in, replies out.

No sockets here: the server hands each request over as a Request and sends
the Reply back (with the fault switches applied). Every API reply uses the
service's text formats: fields joined by "#!#", lists by "|*|", sub-fields
by "$", "@" and "|".
"""
import hashlib
import itertools
import json
import re
import threading
from dataclasses import dataclass, field
from pathlib import Path
from xml.sax.saxutils import escape

from . import crypto, multipart
from .content import UPDATE_FOLDER, ContentStore, ranged
from .scenario import CORPS, REFUSALS, REGIONS

FIELD0 = "STANDIN"       # field 0 of the replies: the program never reads it
_STAMP = re.compile(r"\d{14}")
_VERSION = re.compile(r"\d+\.\d+\.\d+")
_NOTICE = re.compile(r"/api/([^/]*)/([^/]*)/([^/]*)/GetNotice")
_WEB_PAGE = b"<!DOCTYPE html><html><head><title>Kestrune stand-in</title></head><body><p>%s</p></body></html>"
_JSON_MEMBERS = ["ClientID", "ClientVer", "Corporate", "DeviceMCode", "DeviceName", "ErrorLog", "INFPath",
                 "Language", "LastCode", "LocalTime", "NewMapVer", "NewSWVer", "OSType", "OSVer",
                 "OldMapVer", "OldSWVer", "Region", "UserID", "UserType"]


@dataclass
class Request:
    role: str                 # "api", "api_ru" (regional twin), "update", "vcrm"
    method: str
    path: str
    query: str
    headers: list             # [(name, value)] as received
    body: bytes = b""

    def header(self, name: str):
        values = self.header_all(name)
        return values[0] if values else None

    def header_all(self, name: str):
        return [v for n, v in self.headers if n.lower() == name.lower()]


@dataclass
class Reply:
    status: int
    body: bytes = b""
    content_type: str = "text/plain; charset=utf-8"
    headers: list = field(default_factory=list)
    file: Path = None          # body taken from a file instead of `body`
    start: int = 0
    length: int = 0
    log: dict = field(default_factory=dict)

    @property
    def body_length(self) -> int:
        return self.length if self.file else len(self.body)


def _text_reply(text: str, log: dict, status: int = 200) -> Reply:
    return Reply(status, text.encode("utf-8"), log=log)


class Service:
    def __init__(self, scenario, cache: Path, address: str, twin: str, uploads: Path):
        self.scenario = scenario
        self.address, self.twin = address, twin
        self.base = "https://" + address
        self.uploads = Path(uploads)
        self.store = ContentStore(scenario, Path(cache), self.base)
        self._lock = threading.Lock()
        self._attempts = {}
        self._upload_seq = itertools.count(1)

    # ------------------------------------------------------------ dispatch
    def handle(self, req: Request, ignore_range: bool = False) -> Reply:
        handler, methods = self._route(req)
        if handler is None:
            return Reply(404, b"not found\n", log={"endpoint": "none"})
        if req.method not in methods:
            return Reply(405, b"method not allowed\n", headers=[("Allow", ", ".join(methods))],
                         log={"endpoint": "method"})
        return handler(req, ignore_range) if handler == self._static else handler(req)

    def _route(self, req: Request):
        p = req.path
        if req.role in ("api", "api_ru"):
            api = {"/api/GetGUID": self._get_guid, "/api/ChkRegist": self._chk_regist,
                   "/api/GetLanguage": self._get_language, "/api/ChkDown": self._chk_down,
                   "/api/chkPrivate": self._chk_private}
            if p in api:
                return api[p], ("GET",)
            if p == "/api/SetDownErrorLog":
                return self._error_log, ("POST",)
            if _NOTICE.fullmatch(p):
                return self._notice, ("GET",)
        if req.role == "vcrm" and p == "/offlinevcrm/data.do":
            return self._vcrm_data, ("POST",)
        if req.role != "vcrm" and p.startswith("/web/"):
            return self._web_page, ("GET", "HEAD")
        if self.store.find(req.role, p):
            return self._static, ("GET", "HEAD")
        return None, ()

    # ------------------------------------------------------------ helpers
    def _fill(self, text: str) -> str:
        return text.replace("{base}", self.base)

    def _params(self, req: Request, names, plain_ok=(), key=crypto.REQUEST_KEY, iv=crypto.REQUEST_IV):
        """Decrypts the named query values; problems go into the log entry."""
        log = {"params": {}, "plain": [], "errors": [], "warnings": []}
        pairs = crypto.split_query(req.query)
        seen = {}
        for name, raw in pairs:
            if raw is None:
                log["errors"].append("%s: pair without '='" % name)
            elif name in seen:
                log["warnings"].append("%s: sent twice, the first value counts" % name)
            else:
                seen[name] = raw
        order = [n for n, _ in pairs]
        if order != sorted(order):
            log["warnings"].append("names not in code-unit order: %s" % ",".join(order))
        for extra in sorted(set(seen) - set(names)):
            log["warnings"].append("%s: not a parameter of this call" % extra)
        values = {}
        for name in names:
            raw = seen.get(name)
            if raw is None:
                log["errors"].append("%s: missing" % name)
            elif raw == "":
                values[name] = ""
                log["plain"].append(name)
                if name not in plain_ok:
                    log["errors"].append("%s: empty, not encrypted" % name)
            else:
                try:
                    values[name] = crypto.decode_value(raw, key, iv)
                except crypto.DecodeError as e:
                    log["errors"].append("%s: %s" % (name, e))
        log["params"] = values
        return values, log

    # ------------------------------------------------------------ API server
    def _get_guid(self, req):
        v, log = self._params(req, ["D1"])
        log["endpoint"] = "GetGUID"
        if not log["errors"] and v["D1"] not in REGIONS:
            log["errors"].append("D1: unknown region code %r" % v["D1"])
        if log["errors"]:
            return _text_reply("500", log)
        return _text_reply("200|%s" % self.scenario.guid, log)

    def _login_reply(self, code, text1, text2, vehicles=(), dealer_code=""):
        """Refusals carry fields 0 and 1 only; a sign-in that succeeds always
        carries all 19 fields, their lists empty when there is no vehicle."""
        pieces = [str(code), text1, text2]
        for v in vehicles:
            pieces.append("@".join(d.inf for d in v.descriptors) + "$%d" % v.map_update)
        fields = [FIELD0, "|".join(pieces)]
        if code == 200:
            lists = lambda values: "|*|".join(values)
            fields += [
                "", "", self.store.inf_url,
                lists("%s$%s|%s|%d|%s" % (v.brand, v.name, v.device, v.sort, "Y" if v.first else "N")
                      for v in vehicles),
                lists(v.picture for v in vehicles), self.store.picture_url,
                lists(v.model for v in vehicles), "",
                lists(v.gps_picture for v in vehicles), self.store.gps_picture_url,
                lists(v.sw for v in vehicles), lists(v.media for v in vehicles),
                lists(str(v.platform) for v in vehicles), lists("|".join(v.models) for v in vehicles),
                lists("%s|%s" % (v.name_intl, v.device_intl) for v in vehicles),
                lists(v.id for v in vehicles), dealer_code,
            ]
        return "#!#".join(fields)

    def _chk_regist(self, req):
        v, log = self._params(req, ["D1", "D2", "D3", "D4", "D5", "D6"], plain_ok=("D1", "D3", "D6"))
        log["endpoint"] = "ChkRegist"
        guest = set(log["plain"]) == {"D1", "D3", "D6"}
        if not log["errors"]:
            if log["plain"] and not guest:
                log["errors"].append("D1, D3 and D6 are sent empty together (guest catalogue) or not at all")
            if v["D2"] not in CORPS:
                log["errors"].append("D2: unknown corp code %r" % v["D2"])
            if v["D4"] not in REGIONS:
                log["errors"].append("D4: unknown region code %r" % v["D4"])
            if not v["D5"]:
                log["errors"].append("D5: no client GUID")
            if not guest and v["D6"] not in ("U", "D"):
                log["errors"].append("D6: login type %r is neither U nor D" % v["D6"])
        if log["errors"]:
            log["result"] = 500
            return _text_reply(self._login_reply(500, "", REFUSALS[500]), log)
        corp, region = v["D2"], v["D4"]
        if guest or (v["D1"] == "" and v["D3"] == ""):
            log["login"] = "catalogue" if guest else "non-member"
            log["result"] = 200
            return _text_reply(self._login_reply(200, "", "", self.scenario.catalogue(corp, region)), log)
        log["login"] = "dealer" if v["D6"] == "D" else "member"
        account = next((a for a in self.scenario.accounts_named(v["D1"])
                        if a.brand in ("*", corp) and a.region in ("*", region) and a.password == v["D3"]),
                       None)
        if account is None:
            log["result"] = 401
            return _text_reply(self._login_reply(401, "", REFUSALS[401]), log)
        with self._lock:
            n = self._attempts.get(account.id, 0)
            self._attempts[account.id] = n + 1
        code = account.results[min(n, len(account.results) - 1)]
        if code == 200 and v["D6"] == "D" and not account.dealer:
            code = 400
        if code == 200 and account.guid and v["D5"] != account.guid:
            code = 430
        log["result"] = code
        if code != 200:
            text = self._fill(account.text or REFUSALS[code])
            if code == 904:
                link = self._fill(account.link or "{base}/web/authority")
                return _text_reply(self._login_reply(code, link, text), log)
            return _text_reply(self._login_reply(code, "", text), log)
        vehicles = [self.scenario.vehicles[i] for i in account.vehicles]
        dealer = account.dealer_code if v["D6"] == "D" else ""
        return _text_reply(self._login_reply(200, account.name or account.id, "", vehicles, dealer), log)

    def _get_language(self, req):
        v, log = self._params(req, ["D1"])
        log["endpoint"] = "GetLanguage"
        if log["errors"]:
            return _text_reply("500", log)
        code = self.scenario.language_code
        if code != 200:
            return _text_reply(str(code), log)
        records = ["%s%s" % (r, "".join("$" + l for l in langs)) for r, langs in self.scenario.languages]
        return _text_reply("|*|".join(["200"] + records), log)

    def _report_reply(self, log, override: dict) -> Reply:
        if log["errors"]:
            log["result"] = 500
            return _text_reply("%s#!#500|*|%s" % (FIELD0, log["errors"][0]), log)
        log["result"] = int(override.get("code", 200))
        return _text_reply("%s#!#%d|*|%s" % (FIELD0, log["result"], override.get("message", "OK")), log)

    def _chk_down(self, req):
        v, log = self._params(req, ["D%d" % i for i in range(1, 13)])
        log["endpoint"] = "ChkDown"
        if not log["errors"]:
            checks = [("D2", v["D2"] in CORPS), ("D5", v["D5"] == "M"), ("D7", v["D7"] in REGIONS),
                      ("D8", bool(v["D8"])), ("D9", v["D9"] == "win"), ("D10", bool(_VERSION.fullmatch(v["D10"]))),
                      ("D12", bool(_STAMP.fullmatch(v["D12"])))]
            log["errors"] += ["%s: unexpected value %r" % (k, v[k]) for k, ok in checks if not ok]
            known = {d.inf: veh for veh, d in self.scenario.descriptors()}
            if v["D4"] not in known:
                log["warnings"].append("D4: %r is no descriptor of the scenario" % v["D4"])
            elif v["D6"] != known[v["D4"]].model:
                log["warnings"].append("D6: %r is not the model of %s" % (v["D6"], v["D4"]))
        return self._report_reply(log, self.scenario.replies["chkdown"])

    def _chk_private(self, req):
        v, log = self._params(req, ["D%d" % i for i in range(1, 9)])
        log["endpoint"] = "chkPrivate"
        if not log["errors"]:
            checks = [("D2", v["D2"] in CORPS + [""]), ("D3", v["D3"] in REGIONS), ("D4", bool(v["D4"])),
                      ("D5", v["D5"] in ("Y", "N")), ("D6", v["D6"] in ("Y", "N")), ("D7", v["D7"] == "Y"),
                      ("D8", bool(_STAMP.fullmatch(v["D8"])))]
            log["errors"] += ["%s: unexpected value %r" % (k, v[k]) for k, ok in checks if not ok]
        return self._report_reply(log, self.scenario.replies["chkprivate"])

    def _error_log(self, req):
        log = {"endpoint": "SetDownErrorLog", "errors": [], "warnings": []}
        try:
            body = json.loads(req.body.decode("utf-8"))
        except (UnicodeDecodeError, ValueError) as e:
            log["errors"].append("body is not JSON in UTF-8: %s" % e)
            return _text_reply("bad request\n", log, 400)
        if not isinstance(body, dict):
            log["errors"].append("body is not a JSON object")
            return _text_reply("bad request\n", log, 400)
        log["json"] = body
        missing = [m for m in _JSON_MEMBERS if m not in body]
        if missing:
            log["warnings"].append("members missing: %s" % ",".join(missing))
        decrypted = {}
        for member in ("Corporate", "UserType", "UserID"):
            value = body.get(member)
            if isinstance(value, str) and value:
                try:
                    decrypted[member] = crypto.decrypt_text(value)
                except crypto.DecodeError as e:
                    log["errors"].append("%s: %s" % (member, e))
        log["decrypted"] = decrypted
        return _text_reply(self.scenario.replies["errorlog"], log)

    def _notice(self, req):
        region, corp, lang = _NOTICE.fullmatch(req.path).groups()
        log = {"endpoint": "GetNotice", "notice": [region, corp, lang]}
        n = self.scenario.notice_for(region, corp, lang)
        parts = ['<?xml version="1.0" encoding="UTF-8"?>', "<result>"]
        if n is None or n.kind == "none":
            parts += ["<resultYn>Y</resultYn>", "<exMessage>%s</exMessage>" % escape(n.message if n else "")]
        elif n.kind == "fail":
            parts += ["<resultYn>N</resultYn>", "<exMessage>%s</exMessage>" % escape(n.message)]
        else:
            parts += ["<resultYn>Y</resultYn>", "<exCode>0</exCode>", "<exMessage>OK</exMessage>",
                      "<item>", "<pubDate>%s</pubDate>" % escape(n.date), "<title>%s</title>" % escape(n.title),
                      "<dtlUrl>%s</dtlUrl>" % escape(self._fill(n.detail)),
                      "<ltUrl>%s</ltUrl>" % escape(self._fill(n.more)), "</item>"]
        parts.append("</result>")
        log["result"] = n.kind if n else "none"
        reply = Reply(200, ("\r\n".join(parts) + "\r\n").encode("utf-8"), "application/xml; charset=utf-8")
        reply.log = log
        return reply

    # ------------------------------------------------------------ vehicle-data server
    def _vcrm_data(self, req):
        v, log = self._params(req, ["apiVersion", "msgCode", "termCode"],
                              key=crypto.VCRM_KEY, iv=crypto.VCRM_IV)
        log["endpoint"] = "data.do"
        if not log["errors"]:
            if v["msgCode"] != "01":
                log["errors"].append("msgCode: %r is not 01" % v["msgCode"])
            if not _VERSION.fullmatch(v["apiVersion"]):
                log["errors"].append("apiVersion: %r is not major.minor.build" % v["apiVersion"])
            if not re.fullmatch(r"\d{2,}", v["termCode"]):
                log["errors"].append("termCode: %r is not a number of two or more digits" % v["termCode"])
        parts, errors = multipart.parse(multipart.boundary_of(req.header_all("Content-Type")), req.body)
        log["errors"] += errors
        files = [p for p in parts if p["filename_raw"] is not None]
        if not files and not errors:
            log["errors"].append("no file part")
        log["upload"] = []
        for p in files:
            name = (p["filename"] or "upload").replace("/", "_").replace("\\", "_")
            self.uploads.mkdir(parents=True, exist_ok=True)
            saved = self.uploads / ("%03d_%s" % (next(self._upload_seq), name))
            saved.write_bytes(p["data"])
            log["upload"].append({"name": p["name"], "filename": p["filename"], "filename_raw": p["filename_raw"],
                                  "content_type": p["headers"].get("content-type"), "size": len(p["data"]),
                                  "sha256": hashlib.sha256(p["data"]).hexdigest(), "saved": str(saved)})
        if log["errors"]:
            return _text_reply("bad request\n", log, 400)
        return _text_reply(self.scenario.replies["vcrm"], log)

    # ------------------------------------------------------------ content
    def _web_page(self, req):
        return Reply(200, _WEB_PAGE % escape(req.path).encode("utf-8"), "text/html; charset=utf-8",
                     log={"endpoint": "web"})

    def _static(self, req, ignore_range):
        res = self.store.find(req.role, req.path)
        log = {"endpoint": "update" if req.path.startswith(UPDATE_FOLDER) else "content"}
        range_header = req.header("Range")
        if range_header:
            log["range"] = range_header
        status, start, length, headers = ranged(res, None if ignore_range else range_header)
        headers.append(("Accept-Ranges", "bytes"))
        if res.file is not None:
            return Reply(status, content_type=res.content_type, headers=headers, file=res.file,
                         start=start, length=length, log=log)
        return Reply(status, res.data[start:start + length], res.content_type, headers, log=log)

    # ------------------------------------------------------------ configuration
    def config(self) -> dict:
        """The members of the program's config.json for this instance."""
        a = self.address
        cfg = {
            "API_HOST": a,
            "API_HOST_RU": self.twin,
            # The program takes its self-update over HTTPS only.
            "LIVEUPDATE_URL": "https://" + a,
            "UPDATEFILE_PATH": UPDATE_FOLDER,
            "VCRM_URL": "https://" + a,
            "VCRM_AES_KEY": crypto.VCRM_KEY.decode("ascii"),
            "VCRM_AES_IV": crypto.VCRM_IV.decode("ascii"),
        }
        for corp in CORPS:
            cfg["WEB_UPDATE_SITE_%s" % corp] = "http://%s/web/update/%s" % (a, corp)
            cfg["WEB_OWNERS_%s" % corp] = "https://%s/web/owners/%s" % (a, corp)
            cfg["WEB_JOIN_%s" % corp] = ("https://%s/web/account/%s/authorize?client_id=kestrune-%s"
                                         "&redirect_uri=https://%s/web/done&scope=signup" % (a, corp, corp.lower(), a))
            cfg["WEB_FIND_ID_%s" % corp] = ("https://%s/web/account/%s/authorize?client_id=kestrune-%s"
                                            "&redirect_uri=https://%s/web/done&scope=url.find" % (a, corp, corp.lower(), a))
        cfg["WEB_FIND_PASSWORD_DR"] = "https://%s/web/account/DR/find-password" % a
        cfg["WEB_MEMBER_KR_LV"] = "https://%s/web/member/LV" % a
        cfg["WEB_MAKER_SITE"] = "https://%s/web/maker" % a
        for region in ("IN", "IR", "ME", "NZ", "AU", "BR"):
            cfg["WEB_PORTAL_%s" % region] = "https://%s/web/portal/%s" % (a, region)
        return cfg
