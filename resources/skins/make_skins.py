#!/usr/bin/env python3
"""Writes the program's skin images from skins.tsv and design.tsv.

    make_skins.py <table> <out-dir> [<design-table>]

skins.tsv lists every image: id, width, frame height, frame count. The design
table says how each id looks (see its head); ids it does not name become a
plain neutral panel, so rows added to skins.tsv always generate.

Each image is a vertical strip of frames. Everything is drawn by this script
from the table alone, so the same tables always give the same bytes. Icon
glyphs come from Debian's Material Icons font, brand wordmarks from the DejaVu
faces the brand fonts are made from.

Besides the PNGs it writes skins.rc (the "PNG" resources), skin_table.h (ids,
sizes and, per frame, the body, edge and mark colours with a point where each
one shows, for pixel tests) and the licence of the icon font.
"""
import os
import shutil
import struct
import sys
import zlib

from PIL import Image, ImageDraw, ImageFont

ICON_FONT = "/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf"
ICON_LICENCE = "/usr/share/doc/fonts-material-design-icons-iconfont/copyright"
DEJAVU = "/usr/share/fonts/truetype/dejavu"

GLYPHS = {
    "check": 0xE5CA, "close": 0xE5CD, "help_outline": 0xE8FD, "remove": 0xE15B,
    "more_horiz": 0xE5D3, "link": 0xE157, "settings": 0xE8B8, "person": 0xE7FD,
    "info": 0xE88E, "language": 0xE894, "chevron_right": 0xE5CC, "exit_to_app": 0xE879,
    "usb": 0xE1E0, "sd_card": 0xE623, "folder": 0xE2C7, "lan": 0xEB2F, "error": 0xE000,
    "warning": 0xE002, "help": 0xE887, "logout": 0xE9BA, "directions_car": 0xE531,
}

# Brand accents and the neutral scale.
ACCENT = {
    "neutral": (0x2F, 0x6F, 0xB5), "none": (0x2F, 0x6F, 0xB5),
    "TS": (0x1D, 0x5C, 0xA8), "DR": (0xB0, 0x2A, 0x33), "LV": (0x0F, 0x7A, 0x6A),
    "grey": (0x9A, 0xA3, 0xAD), "red": (0xC6, 0x28, 0x28), "amber": (0xE0, 0x8E, 0x0B),
}
WORDMARK = {
    "none": ("Kestrune", "DejaVuSans-Bold.ttf"), "neutral": ("Kestrune", "DejaVuSans-Bold.ttf"),
    "TS": ("TESSALY", "DejaVuSans-Bold.ttf"), "DR": ("DRAVANE", "DejaVuSansCondensed-Bold.ttf"),
    "LV": ("Luvo", "DejaVuSerif-Bold.ttf"),
}
HEADER = (0x1E, 0x23, 0x29)
BODY = (0x2A, 0x30, 0x37)
FOOTER = (0x4B, 0x53, 0x5D)   # the footer band the window paints over it
FRAME = (0x47, 0x50, 0x5A)
WHITE = (0xFF, 0xFF, 0xFF)
LINE = (0xB9, 0xC1, 0xCA)
GLYPH_LIGHT = (0xD8, 0xDD, 0xE3)
GLYPH_DIM = (0x6C, 0x75, 0x80)
DISABLED = (0x8C, 0x94, 0x9E)
PLACEHOLDER = (0xE9, 0xEC, 0xEF)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def lighter(c, t=0.18):
    return mix(c, WHITE, t)


def darker(c, t=0.2):
    return mix(c, (0, 0, 0), t)


# ------------------------------------------------------------------ tables
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
            if w < 1 or h < 1 or not 1 <= frames <= 7:
                raise SystemExit(f"{path}: bad size in row {rid}")
            rows.append((rid, w, h, frames, cells[4]))
    ids = [r[0] for r in rows]
    if len(ids) != len(set(ids)):
        raise SystemExit(f"{path}: an id is listed twice")
    return rows


def read_design(path):
    out = []
    if not path or not os.path.exists(path):
        return out
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            cells = line.split("\t")
            if len(cells) < 4:
                raise SystemExit(f"{path}: bad row: {line!r}")
            first, _, last = cells[0].partition("-")
            if cells[2] not in ACCENT:
                raise SystemExit(f"{path}: unknown accent {cells[2]!r}")
            out.append((int(first), int(last or first), cells[1], cells[2], cells[3]))
    return out


def design_of(design, rid):
    for first, last, look, accent, glyph in design:
        if first <= rid <= last:
            return look, accent, glyph, rid - first
    return "panel", "neutral", "-", 0


# ----------------------------------------------------------------- colours
class Palette:
    """Hands out the colours of bodies and marks. Each one is unique over
    the whole set (a shade moved by a unit or two where two designs share a
    colour, which the eye cannot see), so a test can tell from one pixel
    which image, and which frame of it, it shows."""

    def __init__(self):
        self.taken = set()

    def unique(self, rgb):
        r = range(-6, 7)
        steps = sorted(((a, b, c) for a in r for b in r for c in r),
                       key=lambda d: (abs(d[0]) + abs(d[1]) + abs(d[2]), d))
        for dr, dg, db in steps:
            c = (rgb[0] + dr, rgb[1] + dg, rgb[2] + db)
            if all(0 <= v <= 255 for v in c) and c not in self.taken:
                self.taken.add(c)
                return c
        raise SystemExit(f"no free shade near {rgb}")


# ----------------------------------------------------------------- drawing
SS = 4  # supersampling of smooth shapes


def smooth(img, colour, draw_fn):
    """Draws a filled shape anti-aliased: draw_fn paints on a mask SS times
    larger (coordinates scaled by the caller through s())."""
    w, h = img.size
    mask = Image.new("L", (w * SS, h * SS), 0)
    draw_fn(ImageDraw.Draw(mask))
    mask = mask.resize((w, h), Image.BOX)
    img.paste(Image.new("RGBA", (w, h), colour + (255,)), (0, 0), mask)


def s(*v):
    return [x * SS for x in v]


def glyph(img, name, colour, box):
    """A Material Icons glyph centred in box (x0, y0, x1, y1)."""
    x0, y0, x1, y1 = box
    size = min(x1 - x0, y1 - y0)
    if size < 4:
        return
    font = ImageFont.truetype(ICON_FONT, size)
    ch = chr(GLYPHS[name])
    mask = Image.new("L", img.size, 0)
    d = ImageDraw.Draw(mask)
    l, t, r, b = d.textbbox((0, 0), ch, font=font)
    x = x0 + ((x1 - x0) - (r - l)) // 2 - l
    y = y0 + ((y1 - y0) - (b - t)) // 2 - t
    d.text((x, y), ch, fill=255, font=font)
    if size <= 24:
        # Small glyphs stay crisp: half-covered pixels are in, the rest out.
        mask = mask.point(lambda v: 255 if v >= 128 else 0)
    img.paste(Image.new("RGBA", img.size, colour + (255,)), (0, 0), mask)


def rounded(img, box, radius, fill, outline=None):
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(box, radius=radius, fill=fill + (255,),
                        outline=(outline + (255,)) if outline else None, width=1)


def new(w, h, colour=None):
    return Image.new("RGBA", (w, h), (colour + (255,)) if colour else (0, 0, 0, 0))


# Each look returns, per frame, the image and its body and mark colours (the
# edge is read from the pixels).
def look_window(pal, w, h, n, accent, g, k):
    body = pal.unique(BODY)
    img = new(w, h, body)
    d = ImageDraw.Draw(img)
    header = pal.unique(HEADER)
    d.rectangle((0, 0, w - 1, 59), fill=header + (255,))
    d.line((0, 59, w - 1, 59), fill=pal.unique(darker(HEADER, 0.3)) + (255,))
    d.rectangle((0, h - 30, w - 1, h - 1), fill=FOOTER + (255,))
    d.rectangle((0, 0, w - 1, h - 1), outline=pal.unique(FRAME) + (255,))
    return [(img, body, header)]


def look_popup(pal, w, h, n, accent, g, k):
    body = pal.unique(WHITE)
    img = new(w, h, body)
    ImageDraw.Draw(img).rectangle((0, 0, w - 1, h - 1), outline=pal.unique(LINE) + (255,))
    return [(img, body, None)]


def states(base, n, disabled=DISABLED):
    """normal, hover (lighter), pressed (darker), disabled (grey)."""
    out = [base, lighter(base, 0.16), darker(base, 0.18), disabled]
    return (out * 2)[:n]


def look_button(pal, w, h, n, accent, g, k, base=None):
    base = base or ACCENT[accent]
    frames = []
    for i, c in enumerate(states(base, n)):
        body = pal.unique(c)
        img = new(w, h)
        rounded(img, (0, 0, w - 1, h - 1), min(6, h // 4), body, pal.unique(darker(c, 0.25)))
        frames.append((img, body, None))
    return frames


def look_cancel(pal, w, h, n, accent, g, k):
    return look_button(pal, w, h, n, accent, g, k, base=(0x4E, 0x57, 0x62))


def look_outline(pal, w, h, n, accent, g, k):
    """A light button: white body and grey frame, a grey tint per state."""
    frames = []
    for i in range(n):
        c = [WHITE, (0xF1, 0xF3, 0xF5), (0xE4, 0xE8, 0xEC), (0xF4, 0xF4, 0xF4)][i % 4]
        body = pal.unique(c)
        img = new(w, h)
        rounded(img, (0, 0, w - 1, h - 1), min(6, h // 4), body, pal.unique(LINE))
        frames.append((img, body, None))
    return frames


def look_header(pal, w, h, n, accent, g, k):
    frames = []
    names = g.split("+")
    for i, c in enumerate(states(HEADER, n, disabled=HEADER)):
        if i == 1:
            c = lighter(HEADER, 0.12)
        body = pal.unique(c)
        img = new(w, h, body)
        mark = pal.unique(GLYPH_DIM if i == 3 else WHITE if i in (1, 2) else GLYPH_LIGHT)
        side = min(w, h) - 4
        glyph(img, names[0], mark, ((w - side) // 2, (h - side) // 2, (w + side) // 2, (h + side) // 2))
        if "dot" in names:
            dot = pal.unique(ACCENT["neutral"] if i != 3 else GLYPH_DIM)
            smooth(img, dot, lambda d: d.ellipse(s(w - 9, 1, w - 1, 9)))
        frames.append((img, body, mark))
    return frames


def look_check(pal, w, h, n, accent, g, k):
    frames = []
    base = ACCENT[accent]
    for i in range(n):
        checked = i >= 4
        img = new(w, h)
        if checked:
            c = [base, lighter(base, 0.16), DISABLED][i - 4]
            body = pal.unique(c)
            rounded(img, (0, 0, w - 1, h - 1), 3, body, pal.unique(darker(c, 0.2)))
            mark = pal.unique(WHITE)
            glyph(img, "check", mark, (1, 1, w - 1, h - 1))
        else:
            # Check boxes sit on white pages and popups: a light box with a
            # grey frame, the accent framing it under the mouse.
            c = [WHITE, (0xF1, 0xF3, 0xF5), (0xE4, 0xE8, 0xEC), (0xF4, 0xF4, 0xF4)][i]
            body = pal.unique(c)
            edge = [LINE, base, darker(LINE, 0.2), lighter(LINE, 0.3)][i]
            rounded(img, (0, 0, w - 1, h - 1), 3, body, pal.unique(edge))
            mark = None
        frames.append((img, body, mark))
    return frames


def look_link(pal, w, h, n, accent, g, k):
    frames = []
    light = lighter(ACCENT[accent], 0.45)
    for i in range(n):
        c = [light, WHITE, lighter(light, 0.3), DISABLED, light, WHITE, DISABLED][i]
        mark = pal.unique(c)
        img = new(w, h)
        glyph(img, g, mark, (0, 0, w, h))
        frames.append((img, mark, mark))
    return frames


def look_more(pal, w, h, n, accent, g, k):
    frames = []
    for i, c in enumerate(states(FRAME, n)):
        body = pal.unique(c)
        img = new(w, h)
        rounded(img, (0, 0, w - 1, h - 1), 4, body)
        mark = pal.unique(WHITE if i != 3 else GLYPH_DIM)
        glyph(img, g, mark, (2, 2, w - 2, h - 2))
        frames.append((img, body, mark))
    return frames


def look_arrow(pal, w, h, n, accent, g, k):
    mark = pal.unique((0x5E, 0x6C, 0x7D))
    img = new(w, h)
    smooth(img, mark, lambda d: d.polygon([tuple(s(0, 0)), tuple(s(w, 0)), tuple(s(w / 2, h))], fill=255))
    return [(img, mark, mark)]


def look_separator(pal, w, h, n, accent, g, k):
    # A one-pixel line along the image's long side, through its middle.
    img = new(w, h)
    mark = pal.unique(GLYPH_DIM)
    if w > h:
        ImageDraw.Draw(img).line((0, h // 2, w - 1, h // 2), fill=mark + (255,))
    else:
        ImageDraw.Draw(img).line((w // 2, 0, w // 2, h - 1), fill=mark + (255,))
    return [(img, mark, mark)]


def look_field(pal, w, h, n, accent, g, k):
    body = pal.unique(WHITE)
    img = new(w, h)
    rounded(img, (0, 0, w - 1, h - 1), 4, body, pal.unique(LINE))
    return [(img, body, None)]


def look_track(pal, w, h, n, accent, g, k):
    body = pal.unique((0xE6, 0xE9, 0xED))
    img = new(w, h, body)
    return [(img, body, None)]


def look_thumb(pal, w, h, n, accent, g, k):
    body = pal.unique((0xA4, 0xAA, 0xB1))
    img = new(w, h)
    rounded(img, (0, 0, w - 1, h - 1), min(w, h) // 2 - 1, body)
    return [(img, body, None)]


def look_scrollarrow(pal, w, h, n, accent, g, k):
    body = pal.unique((0xE6, 0xE9, 0xED))
    img = new(w, h, body)
    mark = pal.unique((0x7A, 0x83, 0x8E))
    cx, top, bot = w / 2, h * 0.36, h * 0.64
    pts = [(cx - 4, top), (cx + 4, top), (cx, bot)] if g == "down" else [(cx - 4, bot), (cx + 4, bot), (cx, top)]
    smooth(img, mark, lambda d: d.polygon([tuple(s(*p)) for p in pts], fill=255))
    return [(img, body, mark)]


def look_waiting(pal, w, h, n, accent, g, k):
    body = pal.unique(BODY)
    img = new(w, h, body)
    ring = pal.unique(FRAME)
    arc = pal.unique(lighter(ACCENT[accent], 0.2))
    r, t = min(w, h) / 2 - 8, 8
    cx, cy = w / 2, h / 2
    smooth(img, ring, lambda d: d.ellipse(s(cx - r, cy - r, cx + r, cy + r), outline=255, width=t * SS))
    start = -90 + 30 * k
    smooth(img, arc, lambda d: d.arc(s(cx - r, cy - r, cx + r, cy + r), start, start + 100, fill=255, width=t * SS))
    return [(img, body, arc)]


def wordmark_font(accent, height):
    text, face = WORDMARK.get(accent, WORDMARK["none"])
    return text, ImageFont.truetype(os.path.join(DEJAVU, face), height)


def look_logo(pal, w, h, n, accent, g, k):
    img = new(w, h)
    badge = pal.unique(ACCENT[accent])
    side = h - 12
    rounded(img, (0, 6, side - 1, 6 + side - 1), 5, badge)
    glyph(img, "directions_car", pal.unique(WHITE), (3, 9, side - 3, 6 + side - 3))
    mark = pal.unique(WHITE)
    text, font = wordmark_font(accent, 19)
    d = ImageDraw.Draw(img)
    while d.textlength(text, font=font) > w - side - 10 and font.size > 8:
        font = font.font_variant(size=font.size - 1)
    l, t, r, b = d.textbbox((0, 0), text, font=font)
    d.text((side + 8 - l, (h - (b - t)) // 2 - t), text, fill=mark + (255,), font=font)
    return [(img, badge, mark)]


def draw_wordmark(img, mark, accent, left, right, height):
    """The brand's wordmark, as large as fits between left and right."""
    text, font = wordmark_font(accent, height)
    d = ImageDraw.Draw(img)
    while d.textlength(text, font=font) > right - left and font.size > 8:
        font = font.font_variant(size=font.size - 1)
    l, t, r, b = d.textbbox((0, 0), text, font=font)
    h = img.size[1]
    d.text((left + ((right - left) - (r - l)) // 2 - l if right - left > r - l else left - l,
            (h - (b - t)) // 2 - t), text, fill=mark + (255,), font=font)


def look_wordmark(pal, w, h, n, accent, g, k):
    """A brand picture for a white page: badge and the wordmark in the
    brand's colour, left-aligned, on a transparent ground."""
    img = new(w, h)
    badge = pal.unique(ACCENT[accent])
    side = h - 12
    rounded(img, (0, 6, side - 1, 6 + side - 1), 5, badge)
    glyph(img, "directions_car", pal.unique(WHITE), (3, 9, side - 3, 6 + side - 3))
    mark = pal.unique(darker(ACCENT[accent], 0.1))
    text, font = wordmark_font(accent, round(h * 0.5))
    d = ImageDraw.Draw(img)
    l, t, r, b = d.textbbox((0, 0), text, font=font)
    d.text((side + 12 - l, (h - (b - t)) // 2 - t), text, fill=mark + (255,), font=font)
    return [(img, badge, mark)]


def look_brandbutton(pal, w, h, n, accent, g, k):
    """A button of the brand's colour carrying its white wordmark."""
    frames = []
    for i, (img, body, _) in enumerate(look_button(pal, w, h, n, accent, g, k)):
        mark = pal.unique(GLYPH_LIGHT if i == 3 else WHITE)
        draw_wordmark(img, mark, accent, w // 6, w - w // 6, round(h * 0.3))
        frames.append((img, body, mark))
    return frames


def look_mark(pal, w, h, n, accent, g, k):
    colour = ACCENT[accent] if accent != "grey" else GLYPH_LIGHT
    if accent == "neutral":
        colour = lighter(colour, 0.3)
    mark = pal.unique(colour)
    img = new(w, h)
    glyph(img, g, mark, (0, 0, w, h))
    return [(img, mark, mark)]


def look_bar(pal, w, h, n, accent, g, k):
    body = pal.unique(lighter(ACCENT[accent], 0.25))
    img = new(w, h)
    rounded(img, (1, 0, w - 2, h - 1), 2, body)
    return [(img, body, None)]


def look_icon(pal, w, h, n, accent, g, k):
    img = new(w, h)
    body = pal.unique(ACCENT[accent])
    mark = pal.unique(WHITE)
    r = min(w, h) / 2 - 2
    cx, cy = w / 2, h / 2
    if g == "warning":
        # An exclamation mark on an amber disc: as large a shape as the error's.
        smooth(img, body, lambda d: d.ellipse(s(cx - r, cy - r, cx + r, cy + r), fill=255))
        bar = (cx - r * 0.09, cy - r * 0.55, cx + r * 0.09, cy + r * 0.2)
        smooth(img, mark, lambda d: d.rounded_rectangle(s(*bar), radius=r * 0.09 * SS, fill=255))
        dot = (cx - r * 0.11, cy + r * 0.36, cx + r * 0.11, cy + r * 0.58)
        smooth(img, mark, lambda d: d.ellipse(s(*dot), fill=255))
    else:
        smooth(img, body, lambda d: d.ellipse(s(cx - r, cy - r, cx + r, cy + r), fill=255))
        side = round(r * 1.1)
        name = {"error": "close"}.get(g, g)
        glyph(img, name, mark, (round(cx - side / 2), round(cy - side / 2), round(cx + side / 2), round(cy + side / 2)))
    return [(img, body, mark)]


def look_medium(pal, w, h, n, accent, g, k):
    body = pal.unique(BODY)
    img = new(w, h, body)
    names = g.split()
    mark = pal.unique(GLYPH_LIGHT)
    side = min(40, h - 20)
    step = w // len(names)
    for i, name in enumerate(names):
        cx = step * i + step // 2
        glyph(img, name, mark, (cx - side // 2, (h - side) // 2, cx + side // 2, (h + side) // 2))
    return [(img, body, mark)]


def car(d, w, h, scale):
    """A side view of a saloon, in mask coordinates."""
    ox, oy = w * 0.12, h * 0.3
    cw, ch = w * 0.76, h * 0.42
    body = [(0.00, 0.62), (0.03, 0.45), (0.22, 0.36), (0.34, 0.08), (0.66, 0.06), (0.80, 0.34), (0.97, 0.42),
            (1.00, 0.62), (1.00, 0.80), (0.00, 0.80)]
    d.polygon([tuple(s(ox + x * cw, oy + y * ch)) for x, y in body], fill=255)
    for wx in (0.2, 0.8):
        r = ch * 0.2
        x, y = ox + wx * cw, oy + 0.8 * ch
        d.ellipse(s(x - r, y - r, x + r, y + r), fill=255)


def look_vehicle(pal, w, h, n, accent, g, k):
    body = pal.unique(PLACEHOLDER)
    img = new(w, h, body)
    mark = pal.unique((0x9A, 0xA3, 0xAD) if accent == "grey" else ACCENT[accent])
    smooth(img, mark, lambda d: car(d, w, h, 1))
    return [(img, body, mark)]


def look_headunit(pal, w, h, n, accent, g, k):
    body = pal.unique(PLACEHOLDER)
    img = new(w, h, body)
    case = pal.unique((0x9A, 0xA3, 0xAD))
    screen = pal.unique((0x3A, 0x41, 0x4A))
    x0, y0, x1, y1 = w * 0.1, h * 0.2, w * 0.9, h * 0.8
    smooth(img, case, lambda d: d.rounded_rectangle(s(x0, y0, x1, y1), radius=6 * SS, fill=255))
    smooth(img, screen, lambda d: d.rectangle(s(x0 + 0.18 * w, y0 + 8, x1 - 0.18 * w, y1 - 8), fill=255))
    return [(img, body, screen)]


def look_panel(pal, w, h, n, accent, g, k):
    frames = []
    for i, c in enumerate(states(FRAME, n)):
        body = pal.unique(c)
        img = new(w, h, body)
        if w > 2 and h > 2:
            ImageDraw.Draw(img).rectangle((0, 0, w - 1, h - 1), outline=pal.unique(darker(c, 0.3)) + (255,))
        frames.append((img, body, None))
    return frames


LOOKS = {name[5:]: fn for name, fn in globals().items() if name.startswith("look_")}


# ------------------------------------------------------------ sample points
def find_point(img, colour, prefer):
    """A pixel of exactly colour, inside a 3x3 block of it where there is one,
    nearest to prefer. (-1, -1) when the colour is not drawn."""
    if colour is None:
        return (-1, -1)
    w, h = img.size
    px = img.load()
    want = colour + (255,)
    best, best_solid = None, None
    for y in range(h):
        for x in range(w):
            if px[x, y] != want:
                continue
            dist = (x - prefer[0]) ** 2 + (y - prefer[1]) ** 2
            solid = all(0 <= x + dx < w and 0 <= y + dy < h and px[x + dx, y + dy] == want
                        for dx in (-1, 0, 1) for dy in (-1, 0, 1))
            if solid and (best_solid is None or dist < best_solid[0]):
                best_solid = (dist, x, y)
            if best is None or dist < best[0]:
                best = (dist, x, y)
    pick = best_solid or best
    return (pick[1], pick[2]) if pick else (-1, -1)


def colorref(rgb):
    r, g, b = rgb
    return r | (g << 8) | (b << 16)


def png(img):
    """PNG bytes with no metadata, so the output depends on pixels alone."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    w, h = img.size
    raw = img.tobytes()
    stride = w * 4
    rows = b"".join(b"\x00" + raw[y * stride:(y + 1) * stride] for y in range(h))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows, 9))
            + chunk(b"IEND", b""))


def write_if_changed(path, data):
    if isinstance(data, str):
        data = data.encode("utf-8")
    if os.path.exists(path):
        with open(path, "rb") as f:
            if f.read() == data:
                return
    with open(path, "wb") as f:
        f.write(data)


def point(p, colour):
    return f"{{{p[0]}, {p[1]}, 0x{colour:06X}}}"


def main():
    if len(sys.argv) not in (3, 4):
        raise SystemExit(__doc__)
    table, out = sys.argv[1], sys.argv[2]
    design_path = sys.argv[3] if len(sys.argv) == 4 else os.path.join(os.path.dirname(table), "design.tsv")
    rows = read_table(table)
    design = read_design(design_path)
    os.makedirs(out, exist_ok=True)
    pal = Palette()

    rc = ["// Written by make_skins.py from skins.tsv; do not edit.\n"]
    header = ["// Written by make_skins.py from skins.tsv and design.tsv; do not edit.\n",
              "#pragma once\n\n",
              "// One pixel of a frame, in frame coordinates, and its colour (COLORREF).\n",
              "// x and y are -1 where the frame does not show that colour.\n",
              "struct SkinPoint {\n    int x, y;\n    unsigned colour;\n};\n\n",
              "struct SkinRow {\n    int id, width, frameHeight, frames;\n",
              "    unsigned fill[7];  // COLORREF of each frame's body, unique over all images\n",
              "    unsigned edge[7];  // COLORREF of each frame's left edge at mid-height\n",
              "    SkinPoint body[7];  // where the body colour shows, away from edges and marks\n",
              "    SkinPoint mark[7];  // the glyph, tick or wordmark, where the frame has one\n",
              "};\n\n",
              "static const SkinRow kSkinTable[] = {\n"]
    for rid, w, h, frames, what in rows:
        look, accent, g, k = design_of(design, rid)
        drawn = LOOKS[look](pal, w, h, frames, accent, g, k)
        while len(drawn) < frames:  # a design with fewer states than the strip
            img, body, mark = drawn[-1]
            drawn.append((img, pal.unique(body), mark))
            drawn[-1] = (recolour(img, body, drawn[-1][1]), drawn[-1][1], mark)
        strip = Image.new("RGBA", (w, h * frames), (0, 0, 0, 0))
        fills, edges, bodies, marks = [], [], [], []
        for f in range(frames):
            img, body, mark = drawn[f]
            strip.paste(img, (0, f * h))
            bp = find_point(img, body, (w // 2, h // 2))
            mp = find_point(img, mark, (w // 2, h // 2))
            e = img.getpixel((0, h // 2))
            edge = e[:3]
            fills.append(colorref(body))
            edges.append(colorref(edge))
            bodies.append(point(bp, colorref(body)))
            marks.append(point(mp, colorref(mark)) if mark else "{-1, -1, 0}")
        name = f"{rid}.png"
        write_if_changed(os.path.join(out, name), png(strip))
        rc.append(f'{rid} PNG "{name}"\n')
        fc = ", ".join(f"0x{c:06X}" for c in fills)
        ec = ", ".join(f"0x{c:06X}" for c in edges)
        header.append(f"    {{{rid}, {w}, {h}, {frames}, {{{fc}}}, {{{ec}}},\n"
                      f"     {{{', '.join(bodies)}}},\n     {{{', '.join(marks)}}}}},  // {what}\n")
    header.append("};\n")
    write_if_changed(os.path.join(out, "skins.rc"), "".join(rc))
    write_if_changed(os.path.join(out, "skin_table.h"), "".join(header))
    if os.path.exists(ICON_LICENCE):
        with open(ICON_LICENCE, "rb") as f:
            write_if_changed(os.path.join(out, "MaterialIcons.copyright"), f.read())


def recolour(img, old, new_colour):
    px = img.copy()
    data = [(new_colour + (255,)) if p == old + (255,) else p for p in px.getdata()]
    px.putdata(data)
    return px


if __name__ == "__main__":
    main()
