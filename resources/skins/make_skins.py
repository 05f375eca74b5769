#!/usr/bin/env python3
"""Writes the stand-in skin images from skins.tsv.

    make_skins.py <table> <out-dir>

Each image is a vertical strip of frames; every frame is one flat colour with
a 1-pixel edge of a darker shade. Colours follow from the row order alone, so
the same table always gives the same bytes. Besides the PNGs it writes
skins.rc (the "PNG" resources) and skin_table.h (ids, sizes and colours for
the tests).
"""
import colorsys
import os
import struct
import sys
import zlib


def read_table(path):
    rows = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            cells = line.split("\t")
            if len(cells) < 5:
                raise SystemExit(f"{path}: bad row: {line!r}")
            rid, w, h, frames = (int(c) for c in cells[:4])
            if w < 1 or h < 1 or frames < 1:
                raise SystemExit(f"{path}: bad size in row {rid}")
            rows.append((rid, w, h, frames, cells[4]))
    ids = [r[0] for r in rows]
    if len(ids) != len(set(ids)):
        raise SystemExit(f"{path}: an id is listed twice")
    return rows


def colours(count):
    """count distinct fill colours, none white, black or grey."""
    out, seen, n = [], set(), 0
    while len(out) < count:
        h = (n * 0.6180339887) % 1.0
        s = 0.45 + 0.15 * (n % 4)
        v = 0.60 + 0.12 * ((n // 4) % 3)
        r, g, b = (round(c * 255) for c in colorsys.hsv_to_rgb(h, s, v))
        n += 1
        if (r, g, b) in seen:
            continue
        seen.add((r, g, b))
        out.append((r, g, b))
    return out


def edge_of(rgb):
    return tuple(c // 2 for c in rgb)


def png(width, height, pixel_rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + bytes(row) for row in pixel_rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def frame_rows(w, h, fill, edge):
    inner = bytes(fill) * w
    if w > 2:
        inner = bytes(edge) + bytes(fill) * (w - 2) + bytes(edge)
    else:
        inner = bytes(edge) * w
    border = bytes(edge) * w
    rows = []
    for y in range(h):
        rows.append(border if (y == 0 or y == h - 1) else inner)
    return rows


def colorref(rgb):
    r, g, b = rgb
    return r | (g << 8) | (b << 16)


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    table, out = sys.argv[1], sys.argv[2]
    rows = read_table(table)
    os.makedirs(out, exist_ok=True)
    fills = colours(sum(r[3] for r in rows))
    edges = {edge_of(c) for c in fills}
    assert not edges & set(fills), "an edge colour equals a fill colour"

    rc = ["// Written by make_skins.py from skins.tsv; do not edit.\n"]
    header = ["// Written by make_skins.py from skins.tsv; do not edit.\n",
              "#pragma once\n\n",
              "struct SkinRow {\n    int id, width, frameHeight, frames;\n",
              "    unsigned fill[7];  // COLORREF of each frame's inside\n",
              "    unsigned edge[7];  // COLORREF of each frame's 1-pixel edge\n};\n\n",
              "static const SkinRow kSkinTable[] = {\n"]
    k = 0
    for rid, w, h, frames, what in rows:
        pixel_rows, f_cols, e_cols = [], [], []
        for _ in range(frames):
            fill = fills[k]
            k += 1
            pixel_rows += frame_rows(w, h, fill, edge_of(fill))
            f_cols.append(colorref(fill))
            e_cols.append(colorref(edge_of(fill)))
        name = f"{rid}.png"
        data = png(w, h * frames, pixel_rows)
        path = os.path.join(out, name)
        old = None
        if os.path.exists(path):
            with open(path, "rb") as f:
                old = f.read()
        if old != data:
            with open(path, "wb") as f:
                f.write(data)
        rc.append(f'{rid} PNG "{name}"\n')
        fc = ", ".join(f"0x{c:06X}" for c in f_cols)
        ec = ", ".join(f"0x{c:06X}" for c in e_cols)
        header.append(f"    {{{rid}, {w}, {h}, {frames}, {{{fc}}}, {{{ec}}}}},  // {what}\n")
    header.append("};\n")
    write_if_changed(os.path.join(out, "skins.rc"), "".join(rc))
    write_if_changed(os.path.join(out, "skin_table.h"), "".join(header))


def write_if_changed(path, text):
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            if f.read() == text:
                return
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


if __name__ == "__main__":
    main()
