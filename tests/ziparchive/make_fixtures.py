#!/usr/bin/python3
"""Writes the zip archives the ziparchive tests read into the given folder.

Archives come from Python's zipfile and Info-ZIP's zip where those tools can
make them, and from a small writer below where a test needs a fault that no
tool produces (a wrong CRC, a stored entry whose sizes differ, names that
try to leave the target folder, ...). The payloads of the good entries go
to expected/ so that the tests compare extracted bytes with them.
"""
import io
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

DATE_TIME = (2021, 6, 15, 13, 45, 30)


def dos_time(dt):
    y, mo, d, h, mi, s = dt
    return (h << 11) | (mi << 5) | (s // 2), ((y - 1980) << 9) | (mo << 5) | d


def text(rng, size):
    words = [b"map", b"route", b"poi", b"tile", b"lane", b"speed", b"camera", b"update",
             b"region", b"voice", b"guide", b"junction"]
    out = bytearray()
    while len(out) < size:
        out += rng.choice(words) + b" "
    return bytes(out[:size])


def noise(rng, size):
    return bytes(rng.getrandbits(8) for _ in range(size))


def raw_deflate(data):
    c = zlib.compressobj(6, zlib.DEFLATED, -15)
    return c.compress(data) + c.flush()


# ---------------------------------------------------------------- own writer

def build_zip(entries, comment=b""):
    """entries: dicts with name (bytes), data (stored bytes), method, crc,
    usize, and optional flags, ext_attr, date_time, descriptor, local_sig."""
    out = bytearray()
    central = bytearray()
    for e in entries:
        flags = e.get("flags", 0)
        t, d = e.get("dos", dos_time(e.get("date_time", DATE_TIME)))
        name = e["name"]
        data = e["data"]
        csize = e.get("csize", len(data))
        offset = len(out)
        descriptor = e.get("descriptor", False)
        if descriptor:
            flags |= 8
        lcrc, lc, lu = (0, 0, 0) if descriptor else (e["crc"], csize, e["usize"])
        out += struct.pack("<IHHHHHIIIHH", e.get("local_sig", 0x04034B50), 20, flags, e["method"], t, d,
                           lcrc, lc, lu, len(name), 0) + name
        out += data
        if descriptor:
            out += struct.pack("<IIII", 0x08074B50, e["crc"], csize, e["usize"])
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, flags, e["method"], t, d,
                               e["crc"], csize, e["usize"], len(name), 0, 0, 0, 0,
                               e.get("ext_attr", 0x20), offset) + name
    cd_offset = len(out)
    out += central
    out += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries), len(central),
                       cd_offset, len(comment)) + comment
    return bytes(out)


def stored(name, data, **kw):
    e = dict(name=name, data=data, method=0, crc=zlib.crc32(data), usize=len(data))
    e.update(kw)
    return e


def deflated(name, data, **kw):
    e = dict(name=name, data=raw_deflate(data), method=8, crc=zlib.crc32(data), usize=len(data))
    e.update(kw)
    return e


# ---------------------------------------------------------------- fixtures

def write_expected(out, name, data):
    path = os.path.join(out, "expected", *name.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def zipfile_archives(out, rng):
    payloads = {
        "stored.bin": (noise(rng, 1000), zipfile.ZIP_STORED),
        "deflated.txt": (text(rng, 200000), zipfile.ZIP_DEFLATED),
        "empty.txt": (b"", zipfile.ZIP_STORED),
        "empty_deflated.txt": (b"", zipfile.ZIP_DEFLATED),
        # Two full reads of the 65535-byte buffer the program uses.
        "exact.bin": (text(rng, 65535 * 2), zipfile.ZIP_DEFLATED),
        "a/b/c.bin": (noise(rng, 5000), zipfile.ZIP_DEFLATED),
        "readonly.txt": (b"do not change\n", zipfile.ZIP_STORED),
        "\u00fcber.txt": (b"utf-8 name\n", zipfile.ZIP_DEFLATED),
        "\uc9c0\ub3c4.txt": (b"hangul name\n", zipfile.ZIP_DEFLATED),
    }
    with zipfile.ZipFile(os.path.join(out, "standard.zip"), "w") as z:
        for name, (data, method) in payloads.items():
            info = zipfile.ZipInfo(name, DATE_TIME)
            info.compress_type = method
            info.external_attr = 0x20
            if name == "readonly.txt":
                info.external_attr = 0x21 | (0o100444 << 16)
            z.writestr(info, data)
            write_expected(out, name, data)
        d = zipfile.ZipInfo("dir/sub/", DATE_TIME)
        d.external_attr = 0x10 | (0o40755 << 16)
        z.writestr(d, b"")

    with zipfile.ZipFile(os.path.join(out, "empty.zip"), "w"):
        pass

    small = io.BytesIO()
    with zipfile.ZipFile(small, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr(zipfile.ZipInfo("one.txt", DATE_TIME), b"first entry\n" * 10)
        z.writestr(zipfile.ZipInfo("two.txt", DATE_TIME), b"second entry\n" * 10)
    with open(os.path.join(out, "small.zip"), "wb") as f:
        f.write(small.getvalue())
    write_expected(out, "one.txt", b"first entry\n" * 10)
    # A program in front of the archive; the offsets inside do not count it.
    with open(os.path.join(out, "stub.zip"), "wb") as f:
        f.write(b"MZ" + noise(rng, 4094) + small.getvalue())

    # Written to a stream that cannot seek: sizes and CRC follow each entry.
    class Unseekable(io.RawIOBase):
        def __init__(self):
            self.buf = bytearray()

        def writable(self):
            return True

        def write(self, b):
            self.buf += b
            return len(b)

    stream = Unseekable()
    with zipfile.ZipFile(stream, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in (("d1.txt", text(rng, 100000)), ("d2.bin", noise(rng, 3000)), ("d3.txt", b"tail\n")):
            z.writestr(zipfile.ZipInfo(name, DATE_TIME), data)
            write_expected(out, "descriptor/" + name, data)
    with open(os.path.join(out, "descriptor.zip"), "wb") as f:
        f.write(bytes(stream.buf))


def infozip_archives(out, rng):
    with tempfile.TemporaryDirectory() as work:
        def put(name, data):
            path = os.path.join(work, name)
            with open(path, "wb") as f:
                f.write(data)
            # Same bytes on every run: zip takes the entry times from the files.
            stamp = 1623764730  # 2021-06-15 13:45:30 UTC
            os.utime(path, (stamp, stamp))

        put("secret.txt", b"classified\n")
        put("plain.txt", b"open\n")
        subprocess.run(["zip", "-q", "-X", "-P", "secret", "enc.zip", "secret.txt"], cwd=work, check=True)
        subprocess.run(["zip", "-q", "-X", "enc.zip", "plain.txt"], cwd=work, check=True)
        shutil.copy(os.path.join(work, "enc.zip"), os.path.join(out, "encrypted.zip"))

        big = noise(rng, 150000)
        put("big.bin", big)
        put("small.txt", b"last volume\n")
        write_expected(out, "split/big.bin", big)
        write_expected(out, "split/small.txt", b"last volume\n")
        subprocess.run(["zip", "-q", "-X", "-s", "64k", "pkg.zip", "big.bin", "small.txt"], cwd=work, check=True)
        split = os.path.join(out, "split")
        os.makedirs(split)
        # Info-ZIP numbers volumes .z01, .z02, ...; the program keeps them as
        # .000, .001, ... with the last one as .zip.
        shutil.copy(os.path.join(work, "pkg.z01"), os.path.join(split, "pkg.000"))
        shutil.copy(os.path.join(work, "pkg.z02"), os.path.join(split, "pkg.001"))
        shutil.copy(os.path.join(work, "pkg.zip"), os.path.join(split, "pkg.zip"))
        if os.path.exists(os.path.join(work, "pkg.z03")):
            sys.exit("expected three volumes")


def own_archives(out, rng):
    def save(name, entries, comment=b""):
        with open(os.path.join(out, name), "wb") as f:
            f.write(build_zip(entries, comment))

    body = text(rng, 40000)
    bad_crc = deflated(b"badcrc.txt", body)
    bad_crc["crc"] ^= 0x5A5A5A5A
    save("badcrc.zip", [bad_crc])

    # Block type 3 does not exist in deflate.
    save("corrupt.zip", [dict(name=b"corrupt.bin", data=b"\xff" * 64, method=8, crc=0, usize=1000)])
    save("storedsize.zip", [dict(name=b"stored.bin", data=b"0123456789", method=0,
                                 crc=zlib.crc32(b"0123456789"), usize=20)])
    save("badmethod.zip", [dict(stored(b"bzip2.bin", b"abc"), method=12)])
    save("badlocal.zip", [stored(b"local.bin", b"abc", local_sig=0x04034B51)])
    # The deflate stream stops before the declared size is reached.
    cut = deflated(b"cut.txt", body)
    cut["data"] = cut["data"][: len(cut["data"]) // 2]
    save("truncated.zip", [cut])

    # The last output byte comes from the first 16 KiB of compressed data;
    # only the empty final block lies after it. With a data descriptor the
    # reader must still end up behind the whole stream.
    payload = noise(rng, 16379)
    stream = b"\x00" + struct.pack("<HH", len(payload), len(payload) ^ 0xFFFF) + payload + b"\x03\x00"
    save("tail16k.zip", [
        dict(name=b"tail.bin", data=stream, method=8, crc=zlib.crc32(payload), usize=len(payload),
             descriptor=True),
        deflated(b"after.txt", b"after the tail\n", descriptor=True),
    ])
    write_expected(out, "tail/tail.bin", payload)

    # An impossible DOS date (day 0, month 0).
    save("zerodate.zip", [stored(b"zerodate.txt", b"no date\n", dos=(0, 0))])

    names = [
        b"../evil1.txt",
        b"..\\evil2.txt",
        b"a/../../evil3.txt",
        b"C:/drive.txt",
        b"/rooted.txt",
        b"\\C:\\evil4.txt",
        b"file.txt:stream",
        b"NUL.txt",
        b"sub/con",
        b".../evil5.txt",
        b"\x81ber_oem.txt",   # cp437 "u with diaeresis", no UTF-8 flag
        b"plain/dir/",        # a folder marked only by its trailing separator
        b"..\x00/",           # a NUL hides the ".." from a check that stops at it
        b"bell\x07.txt",      # a control character
    ]
    save("names.zip", [stored(n, b"x", ext_attr=0) for n in names])


def main():
    out = sys.argv[1]
    rng = random.Random(20240611)
    tmp = out + ".tmp"
    shutil.rmtree(tmp, ignore_errors=True)
    os.makedirs(tmp)
    zipfile_archives(tmp, rng)
    infozip_archives(tmp, rng)
    own_archives(tmp, rng)
    shutil.rmtree(out, ignore_errors=True)
    os.rename(tmp, out)


if __name__ == "__main__":
    main()
