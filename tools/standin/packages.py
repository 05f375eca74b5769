"""Update packages built from a scenario, deterministically, and cached.

Four kinds of descriptor entry:
  file     a plain file, fetched and checked as it is (AG_NUMSPAN 0)
  package  a self-contained zip named like "MAP.exe" (AG_NUMSPAN 0); the
           engine checks the archive itself, then extracts it once more
  zip      one zip (AG_NUMSPAN 1): deflated files in nested folders and, as
           its last entry, a top-level index file that AG_FILENAME,
           AG_FILESIZE and AG_FILECRC describe
  split    the same layout as volume files (AG_NUMSPAN >= 2), named on the
           host <stem>001.zip, <stem>002.zip, ... as the program asks for them

Archives use the classic format only (no ZIP64, no data descriptors): every
entry below 4 GiB, every volume below 4 GiB. A record (local or central
header, end record) never crosses a volume; entry data may.
"""
import fcntl
import hashlib
import json
import os
import random
import shutil
import struct
import tempfile
import zlib
from dataclasses import asdict, dataclass, field
from pathlib import Path

# Bump when the bytes a recipe produces change, so old cache entries are not reused.
GENERATOR_VERSION = 1

BLOCK = 1 << 20
_DOS_TIME = (10 << 11)                                  # 10:00:00
_DOS_DATE = ((2024 - 1980) << 9) | (5 << 5) | 1         # 2024-05-01
_ATTR_DIR = 0x10
_ATTR_ARCHIVE = 0x20
_LOCAL = struct.Struct("<IHHHHHIIIHH")
_CENTRAL = struct.Struct("<IHHHHHHIIIHHHHHII")
_END = struct.Struct("<IHHHHIIH")
_SPAN_SIGNATURE = struct.pack("<I", 0x08074B50)
_LIMIT = 0xFFFFFFFF

_UNITS = {"": 1, "B": 1, "K": 1 << 10, "M": 1 << 20, "G": 1 << 30}


def parse_size(value) -> int:
    """Bytes of "64K", "1.5M", "2G", "300" or a number."""
    if isinstance(value, (int, float)):
        return int(value)
    text = str(value).strip().upper()
    unit = text[-1] if text and text[-1] in "BKMG" else ""
    number = text[:-1] if unit else text
    try:
        return int(float(number) * _UNITS[unit])
    except ValueError:
        raise ValueError("not a size: %r" % value) from None


def content(seed: str, size: int):
    """size deterministic bytes in blocks: three quarters noise, one quarter text.

    The mix keeps deflate honest (neither incompressible nor trivial).
    """
    index = 0
    left = size
    while left > 0:
        n = min(BLOCK, left)
        noise = n * 3 // 4
        line = ("%s block %d\r\n" % (seed, index)).encode("ascii")
        text = (line * ((n - noise) // len(line) + 1))[:n - noise]
        yield random.Random("%s#%d" % (seed, index)).randbytes(noise) + text
        left -= n
        index += 1


def crc_of_file(path: Path) -> int:
    crc = 0
    with open(path, "rb") as f:
        while True:
            chunk = f.read(BLOCK)
            if not chunk:
                return crc
            crc = zlib.crc32(chunk, crc)


# ------------------------------------------------------------------ zip writer

@dataclass
class _Entry:
    name: str
    is_dir: bool = False
    crc: int = 0
    size: int = 0
    csize: int = 0
    method: int = 0
    data: bytes = b""
    spool: str = ""               # temporary file holding large deflated data
    volume: int = 0
    offset: int = 0


def _deflate(name: str, chunks, size: int, level: int, spool_dir: str) -> _Entry:
    if size > _LIMIT:
        raise ValueError("%s: %d bytes exceeds the classic zip limit" % (name, size))
    comp = zlib.compressobj(level, zlib.DEFLATED, -15)
    entry = _Entry(name, method=8, size=size)
    crc = 0
    if size <= 32 * BLOCK:
        parts = []
        for chunk in chunks:
            crc = zlib.crc32(chunk, crc)
            parts.append(comp.compress(chunk))
        parts.append(comp.flush())
        entry.data = b"".join(parts)
        entry.csize = len(entry.data)
    else:
        fd, entry.spool = tempfile.mkstemp(dir=spool_dir, suffix=".deflate")
        with os.fdopen(fd, "wb") as out:
            for chunk in chunks:
                crc = zlib.crc32(chunk, crc)
                out.write(comp.compress(chunk))
            out.write(comp.flush())
            entry.csize = out.tell()
    if entry.csize > _LIMIT:
        raise ValueError("%s: compressed data exceeds the classic zip limit" % name)
    entry.crc = crc
    return entry


def _data_chunks(entry: _Entry):
    if entry.spool:
        with open(entry.spool, "rb") as f:
            while True:
                chunk = f.read(BLOCK)
                if not chunk:
                    return
                yield chunk
    elif entry.data:
        yield entry.data


def _local_header(e: _Entry) -> bytes:
    name = e.name.encode("ascii")
    return _LOCAL.pack(0x04034B50, 20 if e.method else 10, 0, e.method, _DOS_TIME, _DOS_DATE,
                       e.crc, e.csize, e.size, len(name), 0) + name


def _central_header(e: _Entry) -> bytes:
    name = e.name.encode("ascii")
    return _CENTRAL.pack(0x02014B50, 20, 20 if e.method else 10, 0, e.method, _DOS_TIME, _DOS_DATE,
                         e.crc, e.csize, e.size, len(name), 0, 0, e.volume, 0,
                         _ATTR_DIR if e.is_dir else _ATTR_ARCHIVE, e.offset) + name


class _Volumes:
    """Sequential output over volume files; volume_size None means one file."""

    def __init__(self, path_for, volume_size):
        self.path_for = path_for
        self.volume_size = volume_size
        self.index = 0
        self.pos = 0
        self.paths = [path_for(0)]
        self.sizes = []
        self.file = open(self.paths[0], "wb")

    def _next(self):
        self.sizes.append(self.pos)
        self.file.close()
        self.index += 1
        self.pos = 0
        self.paths.append(self.path_for(self.index))
        self.file = open(self.paths[-1], "wb")

    def record(self, data: bytes):
        """Writes a record in one piece; returns (volume, offset) where it starts."""
        if self.volume_size and self.pos and self.pos + len(data) > self.volume_size:
            self._next()
        where = (self.index, self.pos)
        self.file.write(data)
        self.pos += len(data)
        return where

    def stream(self, data: bytes):
        while data:
            if self.volume_size and self.pos >= self.volume_size:
                self._next()
            room = len(data) if not self.volume_size else self.volume_size - self.pos
            self.file.write(data[:room])
            self.pos += min(room, len(data))
            data = data[room:]

    def close(self):
        self.sizes.append(self.pos)
        self.file.close()
        if self.pos > _LIMIT or any(s > _LIMIT for s in self.sizes):
            raise ValueError("a volume exceeds 4 GiB")
        return list(zip(self.paths, self.sizes))


def _layout_volumes(entries, volume_size: int) -> int:
    """How many volumes writing the entries with this volume size gives."""
    vol, pos = 0, len(_SPAN_SIGNATURE)

    def record(n):
        nonlocal vol, pos
        if pos and pos + n > volume_size:
            vol, pos = vol + 1, 0
        pos += n

    def stream(n):
        nonlocal vol, pos
        while n:
            if pos >= volume_size:
                vol, pos = vol + 1, 0
            step = min(n, volume_size - pos)
            pos += step
            n -= step

    for e in entries:
        record(30 + len(e.name))
        stream(e.csize)
    for e in entries:
        record(46 + len(e.name))
    record(22)
    return vol + 1


def write_zip(entries, path_for, volume_size=None):
    """Writes the entries; returns [(path, size)] of the volumes in order."""
    out = _Volumes(path_for, volume_size)
    if volume_size:
        out.record(_SPAN_SIGNATURE)
    for e in entries:
        e.volume, e.offset = out.record(_local_header(e))
        for chunk in _data_chunks(e):
            out.stream(chunk)
    first = None
    cd_size = 0
    on_last = []
    for e in entries:
        header = _central_header(e)
        where = out.record(header)
        first = first or where
        on_last.append(where[0])
        cd_size += len(header)
    if first is None:
        first = (out.index, out.pos)
    if volume_size and out.pos and out.pos + _END.size > volume_size:
        out._next()
    here = sum(1 for v in on_last if v == out.index)
    out.record(_END.pack(0x06054B50, out.index, first[0], here, len(entries), cd_size, first[1], 0))
    return out.close()


# ------------------------------------------------------------------ items

@dataclass
class Built:
    """What a descriptor entry says about a built package, and where it lies."""
    kind: str
    name: str
    file_name: str                # AG_FILENAME
    file_size: int                # AG_FILESIZE
    file_crc: int                 # AG_FILECRC
    zip_name: str                 # AG_ZIPNAME
    zip_size: int                 # AG_ZIPSIZE
    numspan: int                  # AG_NUMSPAN
    split_size: int = 0           # SPLIT_FILE_SIZE of a split package
    host_files: list = field(default_factory=list)   # [name on the host, file name in folder, size]
    entries: list = field(default_factory=list)      # archive entries: name, size, crc
    folder: str = ""

    def path_of(self, host_name: str) -> Path:
        for name, local, _ in self.host_files:
            if name == host_name:
                return Path(self.folder) / local
        raise KeyError(host_name)


def _split_sizes(total: int, count: int, rng: random.Random):
    weights = [1.0 + rng.random() for _ in range(count)]
    sizes = [max(1, int(total * w / sum(weights))) for w in weights]
    sizes[-1] = max(1, total - sum(sizes[:-1]))
    return sizes


def _archive_entries(seed: str, stem: str, top: str, size: int, files: int, last_name: str,
                     level: int, spool: str):
    """Folders, data files spread over three levels, and a top-level last file."""
    rng = random.Random("%s/%s/layout" % (seed, stem))
    places = [top, top + "DATA/", top + "DATA/SUB/"]
    entries = [_Entry(p, is_dir=True) for p in places if p]
    listing = []
    for i, n in enumerate(_split_sizes(size, max(1, files), rng)):
        name = "%s%s_%02d.DAT" % (places[i % len(places)], stem, i + 1)
        e = _deflate(name, content("%s/%s/%s" % (seed, stem, name), n), n, level, spool)
        entries.append(e)
        listing.append("%s|%d|%d" % (name, e.size, e.crc))
    index = ("\r\n".join(listing) + "\r\n").encode("ascii")
    last = _deflate(last_name, [index], len(index), level, spool)
    entries.append(last)
    return entries


def _host_zip_name(stem: str, n: int) -> str:
    return "%s%03d.zip" % (stem, n)


def _build(folder: Path, seed: str, kind: str, name: str, size: int, files: int, pieces: int) -> Built:
    level = 6 if size <= 64 * BLOCK else 1
    spool = str(folder)
    stem, dot, ext = name.rpartition(".")
    if not dot:
        stem = name
    if kind == "file":
        with open(folder / name, "wb") as f:
            for chunk in content("%s/%s" % (seed, name), size):
                f.write(chunk)
        crc = crc_of_file(folder / name)
        return Built(kind, name, name, size, crc, name, size, 0, host_files=[[name, name, size]])

    if kind == "package":
        entries = _archive_entries(seed, stem, "", size, files, stem + ".INI", level, spool)
        [(path, zsize)] = write_zip(entries, lambda i: folder / name)
        crc = crc_of_file(path)
        built = Built(kind, name, name, zsize, crc, name, zsize, 0, host_files=[[name, name, zsize]])
    elif kind in ("zip", "split"):
        idx = stem + ".IDX"
        entries = _archive_entries(seed, stem, stem + "/", size, files, idx, level, spool)
        zip_name = stem + ".zip"
        if kind == "zip":
            volumes = write_zip(entries, lambda i: folder / zip_name)
            host = [[zip_name, zip_name, volumes[0][1]]]
            split_size = 0
        else:
            total = len(_SPAN_SIGNATURE) + 22 + sum(76 + 2 * len(e.name) + e.csize for e in entries)
            largest = max(46 + len(e.name) for e in entries) + 30
            split_size = max(largest, -(-total // max(2, pieces)))
            while _layout_volumes(entries, split_size) > max(2, pieces):
                split_size += max(64, split_size // 1000)
            volumes = write_zip(entries, lambda i: folder / ("%s.%03d" % (stem, i)), split_size)
            if len(volumes) < 2:
                raise ValueError("%s: too small to split into volumes" % name)
            host = [[_host_zip_name(stem, i + 1), p.name, s] for i, (p, s) in enumerate(volumes)]
        last = entries[-1]
        built = Built(kind, name, idx, last.size, last.crc, zip_name, sum(h[2] for h in host),
                      1 if kind == "zip" else len(host), split_size, host_files=host)
    else:
        raise ValueError("unknown package kind %r" % kind)
    built.entries = [{"name": e.name, "size": e.size, "crc": e.crc, "dir": e.is_dir} for e in entries]
    for e in entries:
        if e.spool:
            os.unlink(e.spool)
    return built


def build_item(cache: Path, seed: str, kind: str, name: str, size: int, files: int = 4,
               pieces: int = 3) -> Built:
    """The built package of one descriptor entry, from the cache when present.

    Several stand-in instances may start at once: a lock per package makes
    one build it while the others wait, and the folder appears by rename.
    """
    recipe = [GENERATOR_VERSION, seed, kind, name, size, files, pieces]
    key = hashlib.sha256(json.dumps(recipe).encode("utf-8")).hexdigest()[:16]
    cache = Path(cache)
    folder = cache / ("%s-%s-%s" % (kind, name.replace("/", "_"), key))
    manifest = folder / "manifest.json"
    if not manifest.exists():
        cache.mkdir(parents=True, exist_ok=True)
        with open(cache / (folder.name + ".lock"), "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            if not manifest.exists():
                tmp = cache / (folder.name + ".tmp%d" % os.getpid())
                shutil.rmtree(tmp, ignore_errors=True)
                tmp.mkdir()
                built = _build(tmp, seed, kind, name, size, files, pieces)
                (tmp / "manifest.json").write_text(json.dumps(asdict(built), indent=1))
                os.replace(tmp, folder)
    data = json.loads(manifest.read_text())
    data["folder"] = str(folder)
    return Built(**data)
