#!/usr/bin/python3
"""One PNG per screenshot folder: every picture of the folder's index.txt,
scaled into a cell, with its file name and caption under it.

    scripts/contact_sheet.py <folder>...     writes <folder>/contact-sheet.png

A folder without index.txt is skipped. Pictures missing from the folder are
named in their cell, so a gap in the index shows too.
"""
import os
import sys
import textwrap

from PIL import Image, ImageDraw, ImageFont

CELL_W, CELL_H, TEXT_LINES, COLUMNS = 460, 300, 5, 4
# Captions quote Korean and Arabic texts: each character is drawn in the
# first face that has it (DejaVu has Arabic but no Hangul, Nanum Hangul).
FONTS = ["/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "/usr/share/fonts/truetype/nanum/NanumGothic.ttf"]
SHEET = "contact-sheet.png"


def read_index(folder):
    entries = []
    with open(os.path.join(folder, "index.txt"), encoding="utf-8", errors="replace") as f:
        for line in f:
            name, sep, caption = line.rstrip("\n").partition(": ")
            if sep and name != SHEET:
                entries.append((name, caption))
    return entries


class CaptionFont:
    """Draws a line with a fallback face for characters the first lacks."""

    def __init__(self, size):
        from fontTools.ttLib import TTFont
        self.faces = []
        for path in FONTS:
            if os.path.exists(path):
                self.faces.append((ImageFont.truetype(path, size), set(TTFont(path).getBestCmap())))

    def face_of(self, ch):
        for face, chars in self.faces:
            if ord(ch) in chars:
                return face
        return self.faces[0][0]

    def draw(self, draw, xy, text, fill):
        x, y = xy
        run, face = "", None
        for ch in text + "\0":
            f = self.face_of(ch) if ch != "\0" else None
            if run and f is not face:
                draw.text((x, y), run, fill=fill, font=face)
                x += face.getlength(run)
                run = ""
            run, face = run + ch, f
        # the terminating mark is never drawn


def sheet(folder):
    entries = read_index(folder)
    if not entries:
        return None
    captions = CaptionFont(12)
    font = captions.faces[0][0]
    line_h = 15
    cell_total = CELL_H + TEXT_LINES * line_h + 16
    rows = (len(entries) + COLUMNS - 1) // COLUMNS
    out = Image.new("RGB", (COLUMNS * (CELL_W + 12) + 12, rows * cell_total + 12), (200, 203, 207))
    draw = ImageDraw.Draw(out)
    for i, (name, caption) in enumerate(entries):
        x = 12 + (i % COLUMNS) * (CELL_W + 12)
        y = 12 + (i // COLUMNS) * cell_total
        path = os.path.join(folder, name)
        draw.rectangle((x, y, x + CELL_W - 1, y + CELL_H - 1), fill=(150, 154, 160))
        if os.path.exists(path):
            with Image.open(path) as picture:
                picture = picture.convert("RGB")
                picture.thumbnail((CELL_W, CELL_H))
                out.paste(picture, (x + (CELL_W - picture.width) // 2, y + (CELL_H - picture.height) // 2))
        else:
            draw.text((x + 8, y + 8), "missing", fill=(160, 0, 0), font=font)
        lines = textwrap.wrap(f"{name}: {caption}", width=74)[:TEXT_LINES]
        for n, text in enumerate(lines):
            captions.draw(draw, (x, y + CELL_H + 4 + n * line_h), text, (20, 20, 20))
    target = os.path.join(folder, SHEET)
    out.save(target, optimize=True)
    return target


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    for folder in sys.argv[1:]:
        if os.path.exists(os.path.join(folder, "index.txt")):
            written = sheet(folder)
            if written:
                print(written)


if __name__ == "__main__":
    main()
