#!/usr/bin/env python3
"""Checks an updated medium or download folder against the stand-in's content.

The expected tree comes only from what the stand-in serves: its scenario's
descriptors and the packages it built (zip central directories read with
zipfile, file CRCs with zlib.crc32). Nothing the program wrote is taken as
a reference. Every file under the target is compared by size and CRC-32:
nothing may be missing, different or extra, except version files (".ver")
and dealer files ("dealercode_*.txt"). A version file whose head is marked
complete may list only entries that are present with their size and CRC.

    check_medium.py --state <instance folder> --vehicle ts-corvin \
        --target <medium or download folder> --mode medium|folder [--versions-only]

With --versions-only only the version files' rule is checked, on a target
caught in the middle of a run.

Exit code 0 when the target matches; the differences are printed.
"""
import argparse
import fnmatch
import json
import os
import struct
import sys
import zipfile
import zlib
from dataclasses import dataclass
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))

from standin import packages, scenario as scenario_mod  # noqa: E402

# Self-contained packages: the folder beside the package their contents go
# to, and which of their folders reach the medium.
PACKAGES = {
    "vnt.exe": ("", ()),
    "map.exe": ("MAP", ("MAP/TPEG_IMAGE", "MAP/TPEG_IMAGE_NEW")),
    "html.exe": ("HTML", ("HTML",)),
    "spot.exe": ("SPOT", ("SPOT",)),
    "image.exe": ("IMAGE", ("IMAGE",)),
}
ALLOWED_EXTRA = ("*.ver", "dealercode_*.txt")
# The mark of a download folder the program made itself.
FOLDER_MARK = "folder.kestrune"


@dataclass
class Expected:
    size: int
    crc: int
    source: object       # where the bytes come from: a file, "<zip>::<entry>", or the bytes


def crc_of(path: Path) -> int:
    crc = 0
    with open(path, "rb") as f:
        for chunk in iter(lambda: f.read(1 << 20), b""):
            crc = zlib.crc32(chunk, crc)
    return crc & 0xFFFFFFFF


def spanned_entries(volumes):
    """(name, size, crc, data) of every file in a spanned archive's volumes.

    The volumes read as one stream after the first's spanning signature;
    records never cross volumes and carry their sizes (no data descriptors),
    so the local records are walked in order and each file inflated.
    """
    data = b"".join(Path(v).read_bytes() for v in volumes)
    if data[:4] == b"PK\x07\x08":
        data = data[4:]
    pos, out = 0, []
    while data[pos:pos + 4] == b"PK\x03\x04":
        method, _, csize, usize, nlen, xlen = struct.unpack_from("<4xH4xIIIHH", data, pos + 4)
        name = data[pos + 30:pos + 30 + nlen].decode("cp437")
        start = pos + 30 + nlen + xlen
        raw = data[start:start + csize]
        body = zlib.decompress(raw, -15) if method == 8 else raw
        if not name.endswith("/"):
            out.append((name, usize, zlib.crc32(body) & 0xFFFFFFFF, body))
        pos = start + csize
    return out


def archive_entries(built):
    """(name, size, crc, source) of every file in an item's archive.

    source is "<archive>::<entry>" for a single archive; a spanned one's
    entries carry their bytes.
    """
    if built.kind in ("zip", "package"):
        path = built.path_of(built.host_files[0][0])
        with zipfile.ZipFile(path) as z:
            return [(i.filename, i.file_size, i.CRC, "%s::%s" % (path, i.filename))
                    for i in z.infolist() if not i.is_dir()]
    volumes = [built.path_of(h[0]) for h in built.host_files]
    return [(n, size, crc, body) for n, size, crc, body in spanned_entries(volumes)]


def join(*parts) -> str:
    out = []
    for p in parts:
        out += [x for x in str(p).replace("\\", "/").split("/") if x]
    return "/".join(out)


def expected_tree(scn, cache: Path, vehicle_id: str, mode: str) -> dict:
    """Relative path (as "/" parts) -> Expected, for one vehicle's update.

    An item's DEST_PATH is "$SD_ROOT$\\<dest>": the medium's root, or in
    the download folder the vehicle's first descriptor's folder (model items
    too). Medium: an item's file (a zip item's last entry) and the copied
    folders of the self-contained packages. Download folder: the files,
    every extracted entry, the packages and their extractions.
    """
    vehicle = scn.vehicles[vehicle_id]
    home = vehicle.descriptors[0].base
    tree = {}

    def put(rel, size, crc, source):
        tree[rel] = Expected(size, crc & 0xFFFFFFFF, source)

    for d in vehicle.descriptors:
        for item in d.items:
            if item.error:
                continue
            built = packages.build_item(cache, scn.seed, item.kind, item.name, item.size, item.files, item.pieces)
            dest = join(home, item.dest) if mode == "folder" else join(item.dest)
            if item.kind == "file":
                put(join(dest, built.file_name), built.file_size, built.file_crc,
                    str(built.path_of(built.host_files[0][0])))
                continue
            entries = archive_entries(built)
            if item.kind == "package":
                folder, copied = PACKAGES.get(item.name.lower(), ("", ()))
                if mode == "folder":
                    put(join(dest, built.file_name), built.file_size, built.file_crc,
                        str(built.path_of(built.host_files[0][0])))
                for name, size, crc, source in entries:
                    rel = join(folder, name)
                    if mode == "folder" or any(rel == c or rel.startswith(c + "/") for c in copied):
                        put(join(dest, rel), size, crc, source)
                continue
            # zip and split: the medium gets the last entry, the folder all.
            for name, size, crc, source in entries:
                if mode == "folder" or name == built.file_name:
                    put(join(dest, name), size, crc, source)
    return tree


def actual_tree(target: Path) -> dict:
    out = {}
    for folder, _, files in os.walk(target):
        for name in files:
            path = Path(folder) / name
            out[path.relative_to(target).as_posix()] = path
    return out


def allowed_extra(rel: str, mode: str) -> bool:
    name = rel.rsplit("/", 1)[-1].lower()
    if mode == "folder" and name == FOLDER_MARK:
        return True
    return any(fnmatch.fnmatch(name, p) for p in ALLOWED_EXTRA)


def check_ver(target: Path, rel: str, files: dict, mode: str) -> list:
    """A head marked complete lists only entries present with size and CRC.

    On the medium an entry's folder is relative to the version file's
    folder; in the download folder to the download folder itself. A
    self-contained package reaches the medium as its folders only, which
    the tree comparison checks: its own line names no file there.
    """
    problems = []
    text = (target / rel).read_bytes().decode("utf-8", "replace")
    lines = [l.strip() for l in text.split("\n") if l.strip()]
    if not lines:
        return ["%s: empty" % rel]
    head = lines[0].split("|")
    # "+" heads keep the completion in field 6, "*" heads in field 5.
    field = 6 if head[0] == "+" else 5
    if len(head) <= field or head[field].strip() != "1":
        return problems
    here = (rel.rsplit("/", 1)[0] if "/" in rel else "") if mode == "medium" else ""
    lower = {k.lower(): v for k, v in files.items()}
    for line in lines[1:]:
        f = line.split("|")
        if len(f) < 5:
            problems.append("%s: unreadable line %r" % (rel, line))
            continue
        if mode == "medium" and f[1].lower() in PACKAGES:
            continue
        entry = join(here, f[0], f[1])
        path = lower.get(entry.lower())
        if path is None:
            problems.append("%s: lists %s, which is missing" % (rel, entry))
            continue
        size, crc = int(f[4]), int(f[3]) & 0xFFFFFFFF
        if path.stat().st_size != size or crc_of(path) != crc:
            problems.append("%s: lists %s as %d bytes CRC %08X, the file differs" % (rel, entry, size, crc))
    return problems


def compare(expected: dict, target: Path, mode: str) -> list:
    problems = []
    files = actual_tree(target)
    # Windows paths: case does not tell files apart.
    lower = {k.lower(): k for k in files}
    for rel in sorted(expected):
        e = expected[rel]
        found = lower.get(rel.lower())
        if found is None:
            problems.append("missing: %s" % rel)
            continue
        path = files[found]
        size = path.stat().st_size
        if size != e.size:
            problems.append("different: %s has %d bytes, expected %d" % (rel, size, e.size))
        elif crc_of(path) != e.crc:
            problems.append("different: %s has CRC %08X, expected %08X" % (rel, crc_of(path), e.crc))
    wanted = {k.lower() for k in expected}
    for rel in sorted(files):
        if rel.lower() in wanted:
            continue
        if not allowed_extra(rel, mode):
            problems.append("extra: %s" % rel)
        elif rel.lower().endswith(".ver"):
            problems += check_ver(target, rel, files, mode)
    return problems


def check_versions(target: Path, mode: str) -> tuple:
    """Only the version files' rule, for a medium or folder caught mid-run."""
    files = actual_tree(target)
    versions = [rel for rel in sorted(files) if rel.lower().endswith(".ver")]
    problems = []
    for rel in versions:
        problems += check_ver(target, rel, files, mode)
    return versions, problems


def load_instance(state: Path):
    """The scenario and package cache of a stand-in instance, from its description."""
    described = json.loads((Path(state) / "standin.json").read_text(encoding="utf-8"))
    scn = scenario_mod.load(described["scenario"], described["package_size"])
    root = Path(described["ca_pem"]).parents[1]
    return scn, root / "cache"


def main(argv=None) -> int:
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--state", required=True, help="the stand-in instance's folder")
    ap.add_argument("--vehicle", required=True)
    ap.add_argument("--target", required=True, help="the medium's root or the download folder")
    ap.add_argument("--mode", choices=("medium", "folder"), required=True)
    ap.add_argument("--versions-only", action="store_true",
                    help="check only that no version file claims a completion its files do not bear out")
    args = ap.parse_args(argv)
    if args.versions_only:
        if not Path(args.target).is_dir():
            print("%s: no such folder" % args.target)
            return 1
        versions, problems = check_versions(Path(args.target), args.mode)
        for p in problems:
            print(p)
        print("%s: %d version files, %d problems" % (args.target, len(versions), len(problems)))
        return 1 if problems else 0
    scn, cache = load_instance(Path(args.state))
    expected = expected_tree(scn, cache, args.vehicle, args.mode)
    problems = compare(expected, Path(args.target), args.mode)
    for p in problems:
        print(p)
    print("%s: %d expected files, %d problems" % (args.target, len(expected), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
