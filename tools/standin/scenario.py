"""Scenario descriptions: what the stand-in service knows and serves.

A scenario is a JSON file (see README.md for the format). Loading checks
everything that would make the service's replies unreadable to the program:
texts holding the reply separators, unknown codes, dangling references.
"""
import json
from dataclasses import dataclass, field
from pathlib import Path

from .packages import parse_size

REGIONS = ["US", "KR", "IN", "ME", "IR", "NZ", "BR", "CA", "EU", "AU", "VN", "RU", "TR"]
CORPS = ["TS", "LV", "DR"]
LANGUAGES = ["KO", "EN", "FR", "F1", "ES", "PT", "RU", "DE", "IT", "TR", "AR", "E1", "E2"]
KINDS = ["file", "package", "zip", "split"]
# Refusal codes the sign-in handles, and the texts a refusal carries by default.
REFUSALS = {
    400: "Invalid login information.", 401: "Incorrect username or password.",
    402: "Password error (5/5).", 403: "The dealer password must be initialised.",
    405: "Your password has expired.", 406: "Login failed and exceeded count.",
    407: "Your password needs to be reset.", 408: "Access denied.",
    409: "Your temporary password has expired.", 423: "Your account has been locked.",
    430: "Token client ID is different than request client ID.", 500: "Input information error.",
    700: "Periodical update in preparation.", 900: "Unknown error.", 901: "Unknown server error.",
    902: "Unknown error.", 903: "You do not have the authority.", 904: "You do not have the authority.",
}
_SEPARATORS = ["#!#", "|", "$", "@", "\r", "\n"]

DEFAULT = Path(__file__).resolve().parent / "scenarios" / "default.json"


class ScenarioError(ValueError):
    pass


def _text(value, where, separators=_SEPARATORS):
    text = "" if value is None else str(value)
    for sep in separators:
        if sep in text:
            raise ScenarioError("%s: %r holds the reply separator %r" % (where, text, sep))
    return text


def _code(value, table, where, wildcard=False):
    if wildcard and value == "*":
        return "*"
    if value not in table:
        raise ScenarioError("%s: unknown code %r" % (where, value))
    return value


def _ascii_name(value, where):
    text = str(value)
    if not text or not text.isascii() or any(c in text for c in '/\\:*?"<>|$@=#'):
        raise ScenarioError("%s: %r is not a plain ASCII file name" % (where, text))
    return text


@dataclass
class Item:
    kind: str
    name: str
    size: int
    files: int = 4
    pieces: int = 3
    dest: str = ""
    ver: int = 1
    error: int = 0


@dataclass
class Descriptor:
    inf: str
    version: str
    items: list

    @property
    def base(self) -> str:
        return self.inf.rsplit(".", 1)[0]


@dataclass
class Vehicle:
    id: str
    brand: str
    regions: list
    name: str
    device: str
    name_intl: str
    device_intl: str
    sort: int
    first: bool
    model: str
    models: list
    sw: str
    media: str
    platform: int
    map_update: int
    picture: str
    gps_picture: str
    descriptors: list


@dataclass
class Account:
    id: str
    password: str
    brand: str
    region: str
    name: str
    vehicles: list
    dealer: bool = False
    dealer_code: str = ""
    results: list = field(default_factory=lambda: [200])
    text: str = ""
    link: str = ""
    guid: str = ""


@dataclass
class Notice:
    region: str
    corp: str
    lang: str
    kind: str
    date: str = ""
    title: str = ""
    detail: str = ""
    more: str = ""
    message: str = ""


@dataclass
class UpdateFile:
    path: str
    version: int
    size: int
    line: str = ""

    @property
    def folder(self) -> str:
        return self.path.rsplit("/", 1)[0]

    @property
    def file_name(self) -> str:
        return self.path.rsplit("/", 1)[1]


@dataclass
class Scenario:
    source: str
    seed: str
    guid: str
    package_size: int
    languages: list
    language_code: int
    notices: list
    vehicles: dict
    accounts: list
    selfupdate: list
    replies: dict

    def catalogue(self, corp: str, region: str):
        return [v for v in self.vehicles.values() if v.brand == corp and region in v.regions]

    def accounts_named(self, user_id: str):
        return [a for a in self.accounts if a.id == user_id]

    def descriptors(self):
        """(vehicle, descriptor) pairs of every descriptor, in scenario order."""
        return [(v, d) for v in self.vehicles.values() for d in v.descriptors]

    def notice_for(self, region: str, corp: str, lang: str):
        def fits(pattern, value):
            return pattern == "*" or pattern == value
        for n in self.notices:
            if fits(n.region, region) and fits(n.corp, corp) and fits(n.lang, lang):
                return n
        return None


def _item(raw: dict, base_size: int, where: str) -> Item:
    kind = raw.get("kind")
    if kind not in KINDS:
        raise ScenarioError("%s: kind must be one of %s" % (where, KINDS))
    size = raw.get("size", 1.0)
    size = int(size * base_size) if isinstance(size, float) else parse_size(size)
    item = Item(kind, _ascii_name(raw.get("name"), where + ".name"), max(1, size),
                int(raw.get("files", 4)), int(raw.get("pieces", 3)),
                _text(raw.get("dest", ""), where + ".dest", _SEPARATORS + ["=", "\\", "/"]),
                int(raw.get("ver", 1)), int(raw.get("error", 0)))
    if item.kind == "split" and item.pieces < 2:
        raise ScenarioError("%s: a split package needs at least 2 pieces" % where)
    return item


def _vehicle(raw: dict, base_size: int, where: str) -> Vehicle:
    descriptors = []
    for i, d in enumerate(raw.get("descriptors", [])):
        w = "%s.descriptors[%d]" % (where, i)
        inf = _ascii_name(d.get("inf"), w + ".inf")
        if not inf.lower().endswith(".inf"):
            raise ScenarioError("%s: %r does not end in .inf" % (w, inf))
        items = [_item(it, base_size, "%s.items[%d]" % (w, j)) for j, it in enumerate(d.get("items", []))]
        descriptors.append(Descriptor(inf, _text(d.get("version", "1.0"), w + ".version", ["=", "\r", "\n"]),
                                      items))
    if not descriptors:
        raise ScenarioError("%s: a vehicle needs at least one descriptor" % where)
    models = [_text(m, where + ".models") for m in raw.get("models", [raw.get("model")])]
    sw = str(raw.get("sw", ""))
    for sep in ["#!#", "|*|", "\r", "\n"]:
        if sep in sw:
            raise ScenarioError("%s.sw holds %r" % (where, sep))
    return Vehicle(
        id=str(raw["id"]), brand=_code(raw.get("brand"), CORPS, where + ".brand"),
        regions=[_code(r, REGIONS, where + ".regions") for r in raw.get("regions", [])],
        name=_text(raw.get("name", ""), where + ".name"),
        device=_text(raw.get("device", ""), where + ".device"),
        name_intl=_text(raw.get("name_intl", ""), where + ".name_intl"),
        device_intl=_text(raw.get("device_intl", ""), where + ".device_intl"),
        sort=int(raw.get("sort", 0)), first=bool(raw.get("first", False)),
        model=_text(raw.get("model", ""), where + ".model"), models=models, sw=sw,
        media=_text(raw.get("media", "SD"), where + ".media"), platform=int(raw.get("platform", 0)),
        map_update=int(raw.get("map_update", 1)),
        picture=_ascii_name(raw["picture"], where + ".picture") if raw.get("picture") else "",
        gps_picture=_ascii_name(raw["gps_picture"], where + ".gps_picture") if raw.get("gps_picture") else "",
        descriptors=descriptors)


def _account(raw: dict, vehicles: dict, where: str) -> Account:
    ids = [str(v) for v in raw.get("vehicles", [])]
    for v in ids:
        if v not in vehicles:
            raise ScenarioError("%s: unknown vehicle %r" % (where, v))
    results = [int(r) for r in raw.get("results", [200])]
    for r in results:
        if r != 200 and r not in REFUSALS:
            raise ScenarioError("%s: %d is not a sign-in result" % (where, r))
    return Account(
        id=str(raw["id"]), password=str(raw.get("password", "")),
        brand=_code(raw.get("brand", "*"), CORPS, where + ".brand", wildcard=True),
        region=_code(raw.get("region", "*"), REGIONS, where + ".region", wildcard=True),
        name=_text(raw.get("name", raw["id"]), where + ".name"), vehicles=ids,
        dealer=bool(raw.get("dealer", False)), dealer_code=_text(raw.get("dealer_code", ""), where),
        results=results or [200], text=_text(raw.get("text", ""), where + ".text"),
        link=_text(raw.get("link", ""), where + ".link"), guid=str(raw.get("guid", "")))


def load(path=None, package_size=None) -> Scenario:
    """Reads a scenario; package_size (bytes or "64K") overrides its base size."""
    path = Path(path) if path else DEFAULT
    try:
        raw = json.loads(path.read_text(encoding="utf-8"))
    except (OSError, ValueError) as e:
        raise ScenarioError("%s: %s" % (path, e)) from None
    base = parse_size(package_size if package_size is not None else raw.get("package_size", "64K"))
    vehicles = {}
    for i, v in enumerate(raw.get("vehicles", [])):
        vehicle = _vehicle(v, base, "vehicles[%d]" % i)
        if vehicle.id in vehicles:
            raise ScenarioError("vehicles[%d]: duplicate id %r" % (i, vehicle.id))
        vehicles[vehicle.id] = vehicle
    infs = [d.inf.lower() for v in vehicles.values() for d in v.descriptors]
    if len(infs) != len(set(infs)):
        raise ScenarioError("descriptor names must be unique")
    accounts = [_account(a, vehicles, "accounts[%d]" % i) for i, a in enumerate(raw.get("accounts", []))]
    languages = []
    for region, langs in raw.get("languages", []):
        languages.append((_text(region, "languages", _SEPARATORS + ["*"]),
                          [_text(l, "languages", _SEPARATORS + ["*"]) for l in langs]))
    notices = []
    for i, n in enumerate(raw.get("notices", [])):
        kind = n.get("kind", "notice")
        if kind not in ("notice", "none", "fail"):
            raise ScenarioError("notices[%d]: kind must be notice, none or fail" % i)
        notices.append(Notice(n.get("region", "*"), n.get("corp", "*"), n.get("lang", "*"), kind,
                              str(n.get("date", "")), str(n.get("title", "")), str(n.get("detail", "")),
                              str(n.get("more", "")), str(n.get("message", ""))))
    selfupdate = []
    for i, f in enumerate(raw.get("selfupdate", [])):
        p = str(f["path"])
        if not p.startswith("/") or p.endswith("/") or "//" in p:
            raise ScenarioError("selfupdate[%d]: path %r must look like /folder/file" % (i, p))
        selfupdate.append(UpdateFile(p, int(f.get("version", 1)), parse_size(f.get("size", "16K")),
                                     str(f.get("line", ""))))
    replies = {"chkdown": {"code": 200, "message": "OK"}, "chkprivate": {"code": 200, "message": "OK"},
               "errorlog": "200", "vcrm": '{"resultCode":"200","resultMsg":"OK"}'}
    replies.update(raw.get("replies", {}))
    return Scenario(source=str(path), seed=str(raw.get("seed", "kestrune")),
                    guid=str(raw.get("guid", "00000000-0000-0000-0000-000000000000")),
                    package_size=base, languages=languages,
                    language_code=int(raw.get("language_code", 200)), notices=notices,
                    vehicles=vehicles, accounts=accounts, selfupdate=selfupdate, replies=replies)
