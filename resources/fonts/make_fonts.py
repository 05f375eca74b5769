#!/usr/bin/env python3
"""Writes the stand-in brand fonts into a folder.

    make_fonts.py <out-dir> [<dejavu-dir> <nanum-dir>]

The brand faces are free fonts under new family names: Tessaly from DejaVu
Sans, Luvo from DejaVu Serif, Dravane from DejaVu Sans Condensed. DejaVu has
no Hangul, so each face also receives the Hangul syllables and jamo of Nanum
(Gothic for the sans faces, Myeongjo for the serif one), scaled to DejaVu's
units. DejaVu Serif has no Arabic either: Luvo takes the Arabic of DejaVu
Sans with its shaping tables (merged by fontTools; the serif loses its
hinting instructions on the way). Regular and bold of a brand share
the family name "<Brand> Regular", so that a bold request of that family
gets the bold file. DROIDSANS.TTF is DejaVu Sans itself, with its bold
companion under its own name. The licences of both font families are copied
beside the fonts.
"""
import copy
import logging
import os
import shutil
import sys
import tempfile

from fontTools import subset
from fontTools.merge import Merger
from fontTools.ttLib import TTFont
from fontTools.ttLib.tables import ttProgram

HANGUL = [(0x1100, 0x11FF), (0x3130, 0x318F), (0xA960, 0xA97F), (0xAC00, 0xD7A3), (0xD7B0, 0xD7FF)]

BRANDS = [
    # (family, regular, bold, Hangul regular, Hangul bold, Arabic regular, Arabic bold)
    ("KestruneTessaly", "DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "NanumGothic.ttf", "NanumGothicBold.ttf",
     None, None),
    ("KestruneLuvo", "DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf", "NanumMyeongjo.ttf", "NanumMyeongjoBold.ttf",
     "DejaVuSans.ttf", "DejaVuSans-Bold.ttf"),
    ("KestruneDravane", "DejaVuSansCondensed.ttf", "DejaVuSansCondensed-Bold.ttf",
     "NanumGothic.ttf", "NanumGothicBold.ttf", None, None),
]
ARABIC = [(0x0600, 0x06FF), (0x0750, 0x077F), (0xFB50, 0xFDFF), (0xFE70, 0xFEFF)]
UNMERGEABLE = ("MATH", "FFTM", "kern", "fpgm", "prep", "cvt ", "gasp")

LICENCES = [
    ("/usr/share/doc/fonts-dejavu-core/copyright", "LICENSE-DejaVu.txt"),
    ("/usr/share/doc/fonts-nanum/copyright", "LICENSE-Nanum.txt"),
]


def wanted(cp):
    return any(lo <= cp <= hi for lo, hi in HANGUL)


def empty_program():
    p = ttProgram.Program()
    p.fromBytecode(b"")
    return p


def add_hangul(base, donor):
    scale = base["head"].unitsPerEm / donor["head"].unitsPerEm
    base_cmap = base.getBestCmap()
    donor_cmap = donor.getBestCmap()
    glyf_b, glyf_d = base["glyf"], donor["glyf"]
    hmtx_b, hmtx_d = base["hmtx"].metrics, donor["hmtx"].metrics
    order = list(base.getGlyphOrder())
    taken = set(order)
    copied = {}

    def copy_glyph(name):
        if name in copied:
            return copied[name]
        new = "hg_" + name
        while new in taken:
            new += "_"
        taken.add(new)
        copied[name] = new
        g = copy.deepcopy(glyf_d[name])
        if g.isComposite():
            for comp in g.components:
                comp.glyphName = copy_glyph(comp.glyphName)
                comp.x, comp.y = round(comp.x * scale), round(comp.y * scale)
        elif g.numberOfContours > 0:
            g.coordinates.scale((scale, scale))
            g.coordinates.toInt()
        if hasattr(g, "program"):
            g.program = empty_program()
        glyf_b.glyphs[new] = g
        order.append(new)
        adv, _ = hmtx_d[name]
        hmtx_b[new] = (round(adv * scale), 0)
        return new

    added = {}
    for cp, name in sorted(donor_cmap.items()):
        if wanted(cp) and cp not in base_cmap:
            added[cp] = copy_glyph(name)
    base.setGlyphOrder(order)
    glyf_b.glyphOrder = order
    for name in copied.values():
        g = glyf_b[name]
        g.recalcBounds(glyf_b)
        adv = hmtx_b[name][0]
        hmtx_b[name] = (adv, getattr(g, "xMin", 0))
    for table in base["cmap"].tables:
        if table.isUnicode():
            for cp, name in added.items():
                if table.format in (4, 6) and cp > 0xFFFF:
                    continue
                table.cmap[cp] = name
    # Korean (Wansung) among the code pages the face supports.
    os2 = base["OS/2"]
    os2.ulCodePageRange1 |= 1 << 19
    os2.ulUnicodeRange1 |= 1 << 28 | 1 << 20
    return len(added)


def subset_file(src, dst, unicodes):
    options = subset.Options()
    options.hinting = False
    options.layout_features = ["*"]
    options.name_IDs = ["*"]
    options.glyph_names = True
    options.notdef_outline = True
    font = TTFont(src)
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=unicodes)
    subsetter.subset(font)
    for tag in UNMERGEABLE:
        if tag in font:
            del font[tag]
    font.save(dst)


def with_arabic(base_path, donor_path, work):
    """base_path's font with the Arabic of donor_path (same units per em)."""
    base_copy, arabic = os.path.join(work, "base.ttf"), os.path.join(work, "arabic.ttf")
    subset_file(base_path, base_copy, TTFont(base_path).getBestCmap().keys())
    wanted_cps = [cp for lo, hi in ARABIC for cp in range(lo, hi + 1)]
    subset_file(donor_path, arabic, wanted_cps)
    return Merger().merge([base_copy, arabic])


def rename(font, family, bold):
    style = "Bold" if bold else "Regular"
    family_name = f"{family} Regular"
    full = f"{family} Bold" if bold else family_name
    names = {
        1: family_name,
        2: style,
        3: f"Kestrune:{family}-{style}",
        4: full,
        6: f"{family}-{style}",
    }
    table = font["name"]
    table.names = [n for n in table.names if n.nameID not in (1, 2, 3, 4, 6, 16, 17, 18, 21, 22)]
    for name_id, text in names.items():
        table.setName(text, name_id, 3, 1, 0x409)
        table.setName(text, name_id, 1, 0, 0)
    fs = font["OS/2"].fsSelection & ~0b1100001
    font["OS/2"].fsSelection = fs | (0b100000 if bold else 0b1000000)
    font["OS/2"].usWeightClass = 700 if bold else 400
    font["head"].macStyle = (font["head"].macStyle & ~1) | (1 if bold else 0)


def main():
    logging.getLogger("fontTools").setLevel(logging.ERROR)
    if len(sys.argv) not in (2, 4):
        raise SystemExit(__doc__)
    out = sys.argv[1]
    dejavu = sys.argv[2] if len(sys.argv) == 4 else "/usr/share/fonts/truetype/dejavu"
    nanum = sys.argv[3] if len(sys.argv) == 4 else "/usr/share/fonts/truetype/nanum"
    os.makedirs(out, exist_ok=True)
    for family, regular, bold, hg_regular, hg_bold, ar_regular, ar_bold in BRANDS:
        for src, donor, ar, is_bold in ((regular, hg_regular, ar_regular, False), (bold, hg_bold, ar_bold, True)):
            if ar:
                with tempfile.TemporaryDirectory() as work:
                    font = with_arabic(os.path.join(dejavu, src), os.path.join(dejavu, ar), work)
            else:
                font = TTFont(os.path.join(dejavu, src))
            count = add_hangul(font, TTFont(os.path.join(nanum, donor)))
            rename(font, family, is_bold)
            target = os.path.join(out, f"{family}-{'Bold' if is_bold else 'Regular'}.ttf")
            font.save(target + ".tmp")
            os.replace(target + ".tmp", target)
            print(f"{os.path.basename(target)}: {count} Hangul glyphs")
    shutil.copyfile(os.path.join(dejavu, "DejaVuSans.ttf"), os.path.join(out, "DROIDSANS.TTF"))
    shutil.copyfile(os.path.join(dejavu, "DejaVuSans-Bold.ttf"), os.path.join(out, "DejaVuSans-Bold.ttf"))
    for src, name in LICENCES:
        shutil.copyfile(src, os.path.join(out, name))


if __name__ == "__main__":
    main()
