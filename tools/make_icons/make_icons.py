#!/usr/bin/env python3
"""Draws Webhoard's 28 index icons and writes them as GIF files.

    python3 tools/make_icons/make_icons.py [output folder]

The output folder defaults to the repository's images/ folder. The result is
the same bytes on every run, so the checked-in icons can be compared with a
fresh drawing.

All icons share one palette and one look: dark outlines, clear flat
colours, a soft grey drop shadow, transparent background.
  - Row icons (text, image, audio, video, other): 20 x 18, the pictogram on
    its own, as listed on the white index pages.
  - Type buttons, 20 x 18, on the grey button bar of the index pages:
    "u" (active)  a raised button with the coloured pictogram;
    "d" (current) a pressed button with a pale yellow face;
    "g" (empty)   no button, the pictogram greyed and embossed.
  - Tree entries of the domain list, 38 x 18: a dotted branch line and a
    folder ("folder", the last one of the list "lfolder") or a text page
    ("ftext", "ltext"); the root "ofolder", an open folder, is 20 x 18.
  - "notfound", 20 x 18: stands in for an image that is not archived.
  - "webhoard", 250 x 75: the banner of the legend page.
  - "tarnlogo", 197 x 74: the maker's logo.
"""

import math
import os
import sys

import bitmap_font
import pictograms
from gif_writer import encode_gif

# Palette: key, colour. Index 0 is the transparent colour.
PALETTE = [
    (".", (255, 255, 255)),  # transparent
    ("k", (32, 32, 40)),     # outline
    ("w", (255, 255, 255)),
    ("1", (236, 236, 236)),
    ("2", (204, 204, 204)),  # the index pages' button bar grey
    ("3", (160, 160, 160)),
    ("4", (120, 120, 120)),
    ("5", (72, 72, 72)),
    ("b", (40, 96, 200)),    # blue
    ("B", (20, 48, 120)),    # navy
    ("c", (160, 208, 244)),  # sky
    ("C", (100, 160, 220)),  # sea
    ("g", (90, 185, 75)),    # green
    ("G", (30, 110, 40)),    # dark green
    ("y", (250, 212, 80)),   # folder yellow
    ("l", (255, 238, 160)),  # folder highlight
    ("Y", (205, 152, 40)),   # folder shade
    ("o", (222, 142, 62)),   # box side
    ("O", (165, 94, 34)),    # box side in shade
    ("t", (242, 204, 146)),  # box top
    ("r", (215, 40, 40)),    # red
    ("R", (140, 20, 20)),
    ("m", (135, 75, 180)),   # note purple
    ("p", (255, 246, 200)),  # pressed button face
    ("f", (52, 52, 64)),     # film
]
KEYS = [key for key, _ in PALETTE]
INDEX = {key: i for i, key in enumerate(KEYS)}
COLOURS = [colour for _, colour in PALETTE]

SHADOW = "2"


class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.cells = [["."] * width for _ in range(height)]

    def get(self, x, y):
        if 0 <= x < self.width and 0 <= y < self.height:
            return self.cells[y][x]
        return None

    def put(self, x, y, key):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.cells[y][x] = key

    def fill(self, x0, y0, x1, y1, key):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, key)

    def stamp(self, art, x0, y0, recolour=None, scale=1):
        for y, row in enumerate(art):
            for x, key in enumerate(row):
                if key == ".":
                    continue
                if recolour is not None:
                    key = recolour(key)
                for dy in range(scale):
                    for dx in range(scale):
                        self.put(x0 + x * scale + dx, y0 + y * scale + dy, key)

    def stamp_with_shadow(self, art, x0, y0, shadow=SHADOW, scale=1, offset=1):
        self.stamp(art, x0 + offset, y0 + offset, lambda _: shadow, scale)
        self.stamp(art, x0, y0, scale=scale)

    def text(self, text, x0, y0, key, scale=1, spacing=1, shadow=None):
        cells, _ = bitmap_font.text_cells(text, spacing)
        layers = ([(shadow, max(1, scale // 2 + 1))] if shadow else []) + [(key, 0)]
        for colour, offset in layers:
            for cx, cy in cells:
                self.fill(x0 + cx * scale + offset, y0 + cy * scale + offset,
                          x0 + cx * scale + offset + scale - 1,
                          y0 + cy * scale + offset + scale - 1, colour)

    def pixels(self):
        return [INDEX[key] for row in self.cells for key in row]


def text_width(text, scale=1, spacing=1):
    return bitmap_font.text_cells(text, spacing)[1] * scale


def greyed(key):
    """The greyed look of a colour: lighter, and never the button bar's own
    grey, so that a greyed pictogram stays visible on it."""
    r, g, b = COLOURS[INDEX[key]]
    lightness = 255 - (255 - (0.3 * r + 0.59 * g + 0.11 * b)) * 0.45
    return min(("w", "1", "3"), key=lambda k: abs(COLOURS[INDEX[k]][0] - lightness))


# ---- Type icons -----------------------------------------------------------

TYPES = {
    "text": pictograms.TEXT,
    "image": pictograms.IMAGE,
    "audio": pictograms.AUDIO,
    "video": pictograms.VIDEO,
    "other": pictograms.OTHER,
}
ICON_W, ICON_H = 20, 18
TREE_W = 38


def row_icon(art):
    canvas = Canvas(ICON_W, ICON_H)
    canvas.stamp_with_shadow(art, 1, 1)
    return canvas


def bevel(canvas, light, dark, face):
    w, h = canvas.width, canvas.height
    canvas.fill(1, 1, w - 2, h - 2, face)
    # Outer ring, then inner ring one shade softer.
    for x in range(w):
        canvas.put(x, 0, light[0])
        canvas.put(x, h - 1, dark[0])
    for y in range(h):
        canvas.put(0, y, light[0])
        canvas.put(w - 1, y, dark[0])
    for x in range(1, w - 1):
        canvas.put(x, 1, light[1])
        canvas.put(x, h - 2, dark[1])
    for y in range(1, h - 1):
        canvas.put(1, y, light[1])
        canvas.put(w - 2, y, dark[1])
    canvas.put(w - 1, 0, dark[0])
    canvas.put(0, h - 1, dark[0])


def active_button(art):
    canvas = Canvas(ICON_W, ICON_H)
    bevel(canvas, light=("w", "1"), dark=("5", "4"), face="2")
    canvas.stamp(art, 2, 2)
    return canvas


def current_button(art):
    canvas = Canvas(ICON_W, ICON_H)
    bevel(canvas, light=("5", "4"), dark=("w", "1"), face="p")
    canvas.stamp(art, 2, 2)
    return canvas


def empty_button(art):
    canvas = Canvas(ICON_W, ICON_H)
    canvas.stamp(art, 3, 3, recolour=lambda _: "w")
    canvas.stamp(art, 2, 2, recolour=greyed)
    return canvas


# ---- Tree entries of the domain list -----------------------------------------

BRANCH_X = 8
BRANCH_Y = 9


def branch(canvas, last):
    bottom = BRANCH_Y if last else canvas.height - 1
    for y in range(0, bottom + 1, 2):
        canvas.put(BRANCH_X, y, "3")
    for x in range(BRANCH_X, BRANCH_X + 9, 2):
        canvas.put(x, BRANCH_Y, "3")


def tree_entry(art, art_x, art_y, last):
    canvas = Canvas(TREE_W, ICON_H)
    branch(canvas, last)
    canvas.stamp_with_shadow(art, art_x, art_y)
    return canvas


def open_folder_root():
    canvas = Canvas(ICON_W, ICON_H)
    canvas.stamp_with_shadow(pictograms.OPEN_FOLDER, 0, 2)
    for y in range(16, ICON_H, 2):  # where the branches below hang from
        canvas.put(BRANCH_X, y, "3")
    return canvas


# ---- Banner and logo -------------------------------------------------------------


def globe(canvas, cx, cy, radius):
    """A globe with its grid lines, lit from the upper left."""
    for y in range(cy - radius - 1, cy + radius + 2):
        for x in range(cx - radius - 1, cx + radius + 2):
            dx, dy = x - cx + 0.5, y - cy + 0.5
            d = math.hypot(dx, dy)
            if d > radius:
                continue
            if d > radius - 1.6:
                canvas.put(x, y, "B")
                continue
            key = "c" if dx + dy < radius * 0.5 else "C"
            if math.hypot(dx + radius * 0.42, dy + radius * 0.42) < radius * 0.18:
                key = "w"
            on_line = False
            for lat in (-0.5, 0.0, 0.5):  # parallels at sin(latitude)
                if abs(dy - lat * radius) < 0.55:
                    on_line = True
            for lon in (0.0, 0.5, 0.87):  # meridians: ellipses of half-width r*sin
                half = radius * lon * math.sqrt(max(0.0, 1 - (dy / radius) ** 2))
                if abs(abs(dx) - half) < 0.6:
                    on_line = True
            canvas.put(x, y, "b" if on_line else key)


def banner():
    canvas = Canvas(250, 75)
    globe(canvas, 36, 36, 27)
    canvas.stamp_with_shadow(pictograms.FOLDER, 38, 42, scale=2, offset=2)
    scale = 3
    word = "Webhoard"
    x = 86
    canvas.text(word, x, 14, "b", scale=scale, shadow=SHADOW)
    width = text_width(word, scale)
    canvas.fill(x, 41, x + width - 1, 42, "y")
    canvas.fill(x, 43, x + width - 1, 43, "Y")
    subtitle = "OFFLINE WEB ARCHIVE"
    sub_width = text_width(subtitle, 1, spacing=1)
    canvas.text(subtitle, x + (width - sub_width) // 2, 49, "5", spacing=1)
    return canvas


def tarn_emblem(canvas, x0, y0, size):
    """Mountains over a mountain lake, in a rounded frame."""
    x1, y1 = x0 + size - 1, y0 + size - 1
    water_top = y0 + size * 62 // 100
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            corner = min(x - x0, x1 - x) + min(y - y0, y1 - y)
            if corner < 3:
                continue
            if (corner < 5 or x in (x0, x1) or y in (y0, y1)
                    or min(x - x0, x1 - x) < 2 or min(y - y0, y1 - y) < 2):
                canvas.put(x, y, "B")
            elif y < water_top:
                canvas.put(x, y, "c")
            else:
                wave = (y - water_top) % 5 == 2 and (x + 2 * (y - water_top)) % 8 < 4
                canvas.put(x, y, "w" if wave else "C")
    peaks = [(x0 + size * 36 // 100, y0 + size * 18 // 100, "4"),
             (x0 + size * 66 // 100, y0 + size * 30 // 100, "3")]
    for px, py, shade in peaks:
        for y in range(py, water_top):
            half = (y - py)
            for x in range(px - half, px + half + 1):
                if x0 + 2 <= x <= x1 - 2:
                    snow = y - py < (water_top - py) // 3
                    canvas.put(x, y, "w" if snow and abs(x - px) < half else shade)
        # The mountain's shadow side.
        for y in range(py + 1, water_top):
            for x in range(px + 1, px + (y - py) + 1):
                if x0 + 2 <= x <= x1 - 2 and canvas.get(x, y) != "w":
                    canvas.put(x, y, "5" if shade == "4" else "4")


def maker_logo():
    canvas = Canvas(197, 74)
    tarn_emblem(canvas, 4, 7, 60)
    word = "TARNWELL"
    scale, spacing = 2, 2
    width = text_width(word, scale, spacing)
    x = 70 + (197 - 70 - width) // 2
    canvas.text(word, x, 21, "B", scale=scale, spacing=spacing, shadow=SHADOW)
    canvas.fill(x, 41, x + width - 1, 41, "b")
    sub = "SOFTWARE"
    sub_width = text_width(sub, 1, spacing=3)
    canvas.text(sub, x + (width - sub_width) // 2, 46, "5", spacing=3)
    return canvas


# ---- All icons -------------------------------------------------------------------


def all_icons():
    icons = {}
    for name, art in TYPES.items():
        icons[name] = row_icon(art)
        icons["u" + name] = active_button(art)
        icons["d" + name] = current_button(art)
        icons["g" + name] = empty_button(art)
    icons["folder"] = tree_entry(pictograms.FOLDER, 18, 3, last=False)
    icons["lfolder"] = tree_entry(pictograms.FOLDER, 18, 3, last=True)
    icons["ofolder"] = open_folder_root()
    icons["ftext"] = tree_entry(pictograms.TEXT, 16, 2, last=False)
    icons["ltext"] = tree_entry(pictograms.TEXT, 16, 2, last=True)
    icons["notfound"] = row_icon(pictograms.NOT_FOUND)
    icons["webhoard"] = banner()
    icons["tarnlogo"] = maker_logo()
    return icons


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    folder = argv[1] if len(argv) > 1 else os.path.join(here, "..", "..", "images")
    pictograms.check_all()
    bitmap_font.check_font()
    os.makedirs(folder, exist_ok=True)
    icons = all_icons()
    for name, canvas in sorted(icons.items()):
        data = encode_gif(canvas.width, canvas.height, canvas.pixels(), COLOURS, transparent=0)
        with open(os.path.join(folder, name + ".gif"), "wb") as out:
            out.write(data)
    print("wrote %d icons to %s" % (len(icons), os.path.normpath(folder)))


if __name__ == "__main__":
    main(sys.argv)
