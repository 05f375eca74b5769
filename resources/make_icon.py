#!/usr/bin/env python3
"""Writes the program icon (16, 32 and 48 pixels, 32-bit) to the given path.

The mark is a filled disc with a ring, in the header's colours; the bytes
depend on nothing but this script.
"""
import struct
import sys

FILL = (0x5E, 0x6C, 0x7D)   # B, G, R
RING = (0xB4, 0xB9, 0xBE)


def image(size):
    c = (size - 1) / 2.0
    outer, ring = size / 2.0, size / 2.0 - max(1.0, size / 10.0)
    pixels = []
    for y in range(size - 1, -1, -1):          # DIB rows run bottom up
        for x in range(size):
            d = ((x - c) ** 2 + (y - c) ** 2) ** 0.5
            if d > outer:
                pixels.append(b"\x00\x00\x00\x00")
            elif d > ring:
                pixels.append(bytes(RING) + b"\xff")
            else:
                pixels.append(bytes(FILL) + b"\xff")
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    mask_row = ((size + 31) // 32) * 4
    return header + b"".join(pixels) + b"\x00" * (mask_row * size)


def main():
    sizes = (16, 32, 48)
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
