"""Everything the content hosts and the self-update server serve, by URL path.

Descriptors, pictures and the self-update list are rendered once when the
instance starts (they name its address); packages come from the cache.
"""
import random
import re
import struct
import zlib
from dataclasses import dataclass
from pathlib import Path

from . import packages

UPDATE_FOLDER = "/UPDATE_PROGRAM_DOWNLOAD/UPDATE_CLIENT/KestruneV02/PATCH/WIN/"
CONTENT = "/contents"

_TYPES = {".inf": "text/plain", ".txt": "text/plain; charset=utf-8", ".png": "image/png",
          ".xml": "application/xml; charset=utf-8"}


def content_type(name: str) -> str:
    return _TYPES.get(Path(name).suffix.lower(), "application/octet-stream")


@dataclass
class Resource:
    content_type: str
    data: bytes = b""
    file: Path = None

    @property
    def size(self) -> int:
        return self.file.stat().st_size if self.file else len(self.data)


def png(seed: str, width: int = 160, height: int = 90) -> bytes:
    """A small striped picture whose colours follow from the seed."""
    rng = random.Random(seed)
    a, b = rng.randbytes(3), rng.randbytes(3)
    rows = b"".join(b"\x00" + (a if (y // 10) % 2 else b) * width for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def render_descriptor(vehicle, descriptor, built: dict, content_base: str) -> bytes:
    """The INF text of one descriptor: CR LF lines, a head, one section per item.

    Destinations and folders go through "$" references to head keys, the way
    the maker's descriptors are written, and a few values are quoted.
    """
    base = descriptor.base
    split = max((built[i.name].split_size for i in descriptor.items), default=0)
    lines = [
        "# %s, descriptor of %s (%s)" % (descriptor.inf, vehicle.id, vehicle.model),
        "[HEAD]",
        'UPDATE_VERSION = "%s"' % descriptor.version,
        "ROOT_URL=%s/pkg" % content_base,
        "MODEL_PREFIX=%s" % vehicle.model,
        "DESTDIR_MODEL=%s" % base,
        "COMMON_PATH=%s" % base,
        "MODEL_PATH=%s" % base,
        "SD_ROOT=SD",
        "CDN_URL=%s/pkg" % content_base,
        "SPLIT_FILE_SIZE=%d" % split,
        "ENABLE_AUTOSTART_INSTALLER=0",
        "",
    ]
    for n, item in enumerate(descriptor.items, 1):
        b = built[item.name]
        lines += [
            "[FILE_%03d]" % n,
            'AG_FILENAME = "%s"' % b.file_name,
            "AG_FILESIZE=%d" % b.file_size,
            "AG_FILECRC=%d" % b.file_crc,
            "AG_NUMSPAN=%d" % b.numspan,
            "AG_ZIPNAME=%s" % b.zip_name,
            "AG_LASTNAME=%s" % b.file_name,
            "AG_ZIPSIZE=%d" % b.zip_size,
            "AG_VER=%d" % item.ver,
            "DEST_PATH=$SD_ROOT$\\%s" % item.dest if item.dest else "DEST_PATH=$SD_ROOT$",
            "FILEINFO_PATH=$COMMON_PATH$/%s" % item.dest if item.dest else "FILEINFO_PATH=$COMMON_PATH$",
            "ERROR=%d" % item.error,
        ]
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def item_folder(descriptor, item) -> str:
    """URL path of the folder that holds an item's files on the content host."""
    folder = "%s/pkg/%s" % (CONTENT, descriptor.base)
    return folder + "/" + item.dest if item.dest else folder


class ContentStore:
    def __init__(self, scenario, cache: Path, base: str):
        self.scenario = scenario
        self.content_base = base + CONTENT
        self.inf_url = self.content_base + "/inf"
        self.picture_url = self.content_base + "/img/vehicle"
        self.gps_picture_url = self.content_base + "/img/gps"
        self.routes = {}           # URL path -> Resource
        self.update_routes = {}    # URL path on the self-update server -> Resource
        self.built = {}            # (inf, item name) -> packages.Built
        seed = scenario.seed
        for vehicle, d in scenario.descriptors():
            built = {}
            for item in d.items:
                b = packages.build_item(cache, seed, item.kind, item.name, item.size, item.files, item.pieces)
                built[item.name] = b
                self.built[(d.inf, item.name)] = b
                for host_name, _, _ in b.host_files:
                    self.routes["%s/%s" % (item_folder(d, item), host_name)] = Resource(
                        content_type(host_name), file=b.path_of(host_name))
            self.routes["%s/inf/%s" % (CONTENT, d.inf)] = Resource(
                "text/plain", render_descriptor(vehicle, d, built, self.content_base))
        for v in scenario.vehicles.values():
            if v.picture:
                self.routes["%s/img/vehicle/%s" % (CONTENT, v.picture)] = Resource(
                    "image/png", png("%s/vehicle/%s" % (seed, v.picture)))
            if v.gps_picture:
                self.routes["%s/img/gps/%s" % (CONTENT, v.gps_picture)] = Resource(
                    "image/png", png("%s/gps/%s" % (seed, v.gps_picture), 120, 120))
        lines = []
        for f in scenario.selfupdate:
            b = packages.build_item(cache, "%s/selfupdate%s" % (seed, f.folder), "file", f.file_name, f.size)
            self.update_routes[UPDATE_FOLDER + f.path[1:]] = Resource(
                content_type(f.file_name), file=b.path_of(f.file_name))
            lines.append(f.line or "%05d|%s|%d|%d" % (f.version, f.path, b.file_size, b.file_crc))
        self.update_list = "".join(l + "\r\n" for l in lines).encode("ascii")
        self.update_routes[UPDATE_FOLDER + "UpdateInfo.txt"] = Resource("text/plain", self.update_list)

    def find(self, role: str, path: str):
        # The self-update folder is also served over HTTPS (the api host's
        # port 443), for a deployment whose LIVEUPDATE_URL is "https://".
        if role in ("update", "api") and path in self.update_routes:
            return self.update_routes[path]
        if role in ("api", "api_ru", "update"):
            return self.routes.get(path)
        return None


_RANGE = re.compile(r"bytes=(\d+)-(\d*)")


def ranged(resource: Resource, range_header):
    """(status, start, length, extra headers) for a GET with an optional Range.

    "bytes=N-" (and "N-M") answer 206 with Content-Range; a start at or past
    the end answers 416; anything unreadable is ignored, as HTTP allows.
    """
    size = resource.size
    m = _RANGE.fullmatch(range_header.strip()) if range_header else None
    if not m:
        return 200, 0, size, []
    start = int(m.group(1))
    end = int(m.group(2)) if m.group(2) else size - 1
    if m.group(2) and end < start:
        return 200, 0, size, []
    if start >= size:
        return 416, 0, 0, [("Content-Range", "bytes */%d" % size)]
    end = min(end, size - 1)
    return 206, start, end - start + 1, [("Content-Range", "bytes %d-%d/%d" % (start, end, size))]
