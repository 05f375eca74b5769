#!/usr/bin/env python3
"""Builds the sources of the language library.

    make_lang.py rc <texts.tsv> <out.rc> [--ids header.h ...] [--unique id ...]
    make_lang.py crafted <out.res>
    make_lang.py retype <library.dll>

"rc" writes one string table per Windows language id the program asks for;
Korean and Arabic have their own column, every other language copies
English. It fails when a text id named in one of the headers has no English
text, or when a text marked unique equals another text of its language (a
window is found by that title).

"crafted" writes a resource file whose string blocks are malformed on
purpose, for the tests of the string lookup. The resource compiler refuses
malformed string tables, so the blocks are written as raw data and "retype"
turns the linked library's raw-data type into the string type afterwards.
"""
import re
import struct
import sys

# (LANGID, column): 0 English, 1 Korean, 2 Arabic.
LANGIDS = [
    (0x412, 1), (0x409, 0), (0x40C, 0), (0xC0C, 0), (0x540A, 0), (0x416, 0), (0x419, 0),
    (0x407, 0), (0x410, 0), (0x41F, 0), (0x3801, 2), (0x1000, 0), (0x40A, 0),
]


def fail(msg):
    sys.stderr.write(f"make_lang.py: error: {msg}\n")
    sys.exit(1)


def read_texts(path):
    texts = {}
    with open(path, encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line or line.startswith("#"):
                continue
            cells = line.split("\t")
            if len(cells) < 2 or not cells[0].isdigit():
                fail(f"{path}:{n}: expected 'id<TAB>English[<TAB>Korean<TAB>Arabic]'")
            tid = int(cells[0])
            if tid in texts:
                fail(f"{path}:{n}: text {tid} listed twice")
            if not 0 < tid < 65536:
                fail(f"{path}:{n}: text id {tid} out of range")
            cols = (cells[1:] + ["", ""])[:3]
            for c in cols:
                if "\\" in c.replace("\\n", ""):
                    fail(f"{path}:{n}: only \\n may follow a backslash")
            en = cols[0]
            texts[tid] = [en, cols[1] or en, cols[2] or en]
    return texts


def header_ids(paths):
    pattern = re.compile(r"^\s*(?:#define\s+(\w+)\s+(\d+)\b|(?:static\s+)?(?:inline\s+)?constexpr\s+\w+\s+(\w+)\s*=\s*(\d+)\s*;)")
    ids = {}
    for p in paths:
        with open(p, encoding="utf-8") as f:
            for line in f:
                m = pattern.match(line)
                if m:
                    name = m.group(1) or m.group(3)
                    value = int(m.group(2) or m.group(4))
                    ids[name] = (value, p)
    return ids


def rc_string(text):
    return '"' + text.replace('"', '""') + '"'


def write_rc(texts, out):
    lines = ["// Written by make_lang.py from texts.tsv; do not edit.\n"]
    for langid, col in LANGIDS:
        primary, sub = langid & 0x3FF, langid >> 10
        lines.append(f"\nLANGUAGE 0x{primary:X}, 0x{sub:X}\nSTRINGTABLE\nBEGIN\n")
        for tid in sorted(texts):
            lines.append(f"    {tid}, {rc_string(texts[tid][col])}\n")
        lines.append("END\n")
    with open(out, "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(lines))


def cmd_rc(argv):
    if len(argv) < 2:
        fail(__doc__)
    tsv, out, rest = argv[0], argv[1], argv[2:]
    headers, unique, mode = [], [], None
    for a in rest:
        if a in ("--ids", "--unique"):
            mode = a
        elif mode == "--ids":
            headers.append(a)
        elif mode == "--unique":
            unique.append(int(a))
        else:
            fail(f"unexpected argument {a}")
    texts = read_texts(tsv)
    missing = sorted((v, n, p) for n, (v, p) in header_ids(headers).items()
                     if v not in texts or not texts[v][0])
    if missing:
        fail("no English text for " + ", ".join(f"{n} ({v}, {p})" for v, n, p in missing))
    for u in unique:
        if u not in texts:
            fail(f"unique text {u} is missing")
        for col, lang in enumerate(("English", "Korean", "Arabic")):
            clash = [t for t in texts if t != u and texts[t][col] == texts[u][col]]
            if clash:
                fail(f"text {u} ({lang}) equals text {clash[0]}")
    write_rc(texts, out)


# ------------------------------------------------------------ crafted library
def res_entry(type_id, name_id, lang, data):
    header = struct.pack("<II", 0, 0)  # sizes filled in below
    header += struct.pack("<HH", 0xFFFF, type_id) + struct.pack("<HH", 0xFFFF, name_id)
    header += struct.pack("<IHHII", 0, 0x1030, lang, 0, 0)
    header = struct.pack("<II", len(data), len(header)) + header[8:]
    blob = header + data
    return blob + b"\0" * ((4 - len(blob) % 4) % 4)


def entry(text):
    return struct.pack("<H", len(text)) + text.encode("utf-16-le")


def cmd_crafted(argv):
    if len(argv) != 1:
        fail(__doc__)
    RT_RCDATA, EN = 10, 0x409
    blocks = {
        # ids 1600..: a good entry, then one whose count runs past the block
        101: entry("First") + struct.pack("<H", 300) + "ab".encode("utf-16-le"),
        # ids 1616..: only three entries, the block ends early
        102: entry("A") + entry("B") + entry("C"),
        # ids 1632..: an empty block
        103: b"",
        # ids 1648..: a count of 2 followed by a single byte
        104: struct.pack("<H", 2) + b"x",
        # ids 1664..: a count that stops exactly at the block end is fine
        105: entry("") + entry("Last"),
    }
    # The empty first entry every .res file starts with.
    out = struct.pack("<IIHHHHIHHII", 0, 32, 0xFFFF, 0, 0xFFFF, 0, 0, 0, 0, 0, 0)
    for block, data in sorted(blocks.items()):
        out += res_entry(RT_RCDATA, block, EN, data)
    with open(argv[0], "wb") as f:
        f.write(out)


def cmd_retype(argv):
    """Renames the one resource type of a library from RT_RCDATA to RT_STRING."""
    if len(argv) != 1:
        fail(__doc__)
    with open(argv[0], "rb") as f:
        pe = bytearray(f.read())
    pe_at = struct.unpack_from("<I", pe, 0x3C)[0]
    sections, opt_size = struct.unpack_from("<H", pe, pe_at + 6)[0], struct.unpack_from("<H", pe, pe_at + 20)[0]
    table = pe_at + 24 + opt_size
    for i in range(sections):
        name, _, _, _, raw_at = struct.unpack_from("<8sIIII", pe, table + 40 * i)
        if name.rstrip(b"\0") == b".rsrc":
            named, ids = struct.unpack_from("<HH", pe, raw_at + 12)
            if named != 0 or ids != 1:
                fail("expected exactly one resource type")
            if struct.unpack_from("<I", pe, raw_at + 16)[0] != 10:
                fail("the resource type is not RT_RCDATA")
            struct.pack_into("<I", pe, raw_at + 16, 6)
            with open(argv[0], "wb") as f:
                f.write(pe)
            return
    fail("no .rsrc section")


if __name__ == "__main__":
    commands = {"rc": cmd_rc, "crafted": cmd_crafted, "retype": cmd_retype}
    if len(sys.argv) < 2 or sys.argv[1] not in commands:
        fail(__doc__)
    commands[sys.argv[1]](sys.argv[2:])
