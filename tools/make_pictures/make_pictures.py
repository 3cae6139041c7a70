#!/usr/bin/env python3
"""Draws the pictures of Webhoard's windows and writes them as PNG files,
with a Qt resource file that lists them.

    python3 tools/make_pictures/make_pictures.py [output folder]

The output folder defaults to the repository's src/gui/pictures/ folder. The
result is the same bytes on every run, so the checked-in pictures can be
compared with a fresh drawing.

The pictures share the index icons' drawing surface, font and palette (see
tools/make_icons/), with an amber added: clean pixel art, dark outlines,
flat colours, a soft grey drop shadow.
  - "logo", 300 x 60, on white: the emblem (a globe in an amber crate) and
    the word "Webhoard", above the buttons of the main window.
  - "banner", 56 x 400: the deep blue strip down the left edge of the main
    window, with the pages going into the crate and the word reading
    upwards.
  - "maker", 160 x 32, on white: the maker's logo.
  - Button glyphs, 48 x 48: "explorer", "view_index", "search",
    "properties".
  - "hand_cursor", 32 x 32: the pointing hand, its hot spot at the tip of
    the finger (HOT_SPOT_X, HOT_SPOT_Y).
  - Window icons, 64 x 64 and four times that: the emblem with the
    edition's mark, a ship's wheel with an "N" or an orbit with an "e".
  - Result list icons, 16 x 16: "result_text", "result_image",
    "result_audio", "result_video", "result_other".
"""

import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "make_icons"))

import bitmap_font  # noqa: E402
import make_icons  # noqa: E402
import pictograms  # noqa: E402
from drawing import (bold_text, bold_text_width, box, disc, drop_shadow, enlarged,  # noqa: E402
                     hoard_box, line, outlined, page, paste, ring, rotated_left)
from make_icons import Canvas  # noqa: E402
from png_writer import encode_png  # noqa: E402

# The cell of the hand cursor that points.
HOT_SPOT_X = 9
HOT_SPOT_Y = 1

# The index icons' palette, with an amber for the crate. "." is transparent.
COLOURS = dict(make_icons.PALETTE)
COLOURS.update({
    "a": (240, 164, 40),   # amber
    "A": (186, 112, 22),   # amber in shade
    "t": (255, 214, 128),  # amber lit
    "n": (30, 68, 158),    # between navy and blue
    "d": (14, 32, 88),     # deepest blue
})

SHADOW = "2"
QRC_PREFIX = "/pictures"


def rgba_rows(canvas):
    rows = []
    for row in canvas.cells:
        rows.append([(0, 0, 0, 0) if key == "." else COLOURS[key] + (255,) for key in row])
    return rows


def on_white(canvas):
    for row in canvas.cells:
        for x, key in enumerate(row):
            if key == ".":
                row[x] = "w"
    return canvas


# ---- The emblem ------------------------------------------------------------------


def emblem(canvas, x0, y0, size):
    """A globe sinking into an amber crate, `size` cells square."""
    radius = size * 11 // 32
    globe = Canvas(canvas.width, canvas.height)
    make_icons.globe(globe, x0 + size // 2, y0 + radius + 1, radius)
    top = y0 + radius + size // 8
    hoard_box(canvas, x0 + size // 16, top, x0 + size - 1 - size // 16, y0 + size - 1,
              contents=globe)


# ---- Logo, banner, maker --------------------------------------------------------------


def logo():
    canvas = Canvas(300, 60)
    emblem(canvas, 22, 4, 52)
    word = "Webhoard"
    scale = 4
    x = 86
    width = bold_text_width(word, scale)
    bold_text(canvas, word, x, 6, "B", scale=scale, shadow=SHADOW)
    canvas.fill(x, 38, x + width - 1, 39, "a")
    canvas.fill(x, 40, x + width - 1, 40, "A")
    subtitle = "OFFLINE WEB ARCHIVE"
    sub_width = make_icons.text_width(subtitle, 1, spacing=2)
    canvas.text(subtitle, x + width - sub_width, 46, "5", spacing=2)
    return on_white(canvas)


def dithered_gradient(canvas, keys):
    """The canvas filled from top to bottom through `keys`, the steps
    blended by an ordered 4 x 4 dither."""
    bayer = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]
    spans = len(keys) - 1
    for y in range(canvas.height):
        position = y * spans / (canvas.height - 1)
        step = min(int(position), spans - 1)
        blend = position - step
        for x in range(canvas.width):
            threshold = (bayer[y % 4][x % 4] + 0.5) / 16
            canvas.put(x, y, keys[step + 1] if blend > threshold else keys[step])


def banner():
    canvas = Canvas(56, 400)
    dithered_gradient(canvas, ["d", "B", "n", "b"])
    # Pages falling into the crate at the top.
    art = Canvas(48, 60)
    page(art, 6, 2, 22, 22, fold=4)
    page(art, 22, 8, 38, 28, fold=4)
    page(art, 13, 16, 29, 36, fold=4)
    hoard_box(art, 4, 32, 43, 56)
    drop_shadow(art, "d", 2)
    paste(canvas, art, 4, 14)
    # The word, reading upwards between two amber rules, and under it the
    # subtitle.
    word = Canvas(bold_text_width("Webhoard", 4) + 1, 29)
    bold_text(word, "Webhoard", 0, 0, "w", scale=4, shadow="d")
    turned = rotated_left(word)
    paste(canvas, turned, (canvas.width - turned.width) // 2, 90)
    canvas.fill(10, 82, 45, 83, "a")
    canvas.fill(10, 290, 45, 291, "a")
    subtitle = Canvas(make_icons.text_width("OFFLINE ARCHIVE", 1), 7)
    subtitle.text("OFFLINE ARCHIVE", 0, 0, "t")
    paste(canvas, rotated_left(subtitle), 25, 298)
    return canvas


def maker():
    canvas = Canvas(160, 32)
    make_icons.tarn_emblem(canvas, 4, 2, 28)
    word = "Tarnwell"
    x = 40
    bold_text(canvas, word, x, 3, "B", scale=2, shadow=SHADOW)
    width = bold_text_width(word, 2)
    canvas.fill(x, 19, x + width - 1, 19, "a")
    sub = "SOFTWARE"
    sub_width = make_icons.text_width(sub, 1, spacing=3)
    canvas.text(sub, x + (width - sub_width) // 2, 22, "5", spacing=3)
    return on_white(canvas)


# ---- Button glyphs ---------------------------------------------------------------------

GLYPH = 48


def explorer_glyph():
    """The cache, a drawer pulled open with pages in it, and a page on its
    way into the crate."""
    canvas = Canvas(GLYPH, GLYPH)
    box(canvas, 1, 4, 22, 40, "k", "3")  # the cabinet
    box(canvas, 3, 6, 20, 20, "k", "2")
    box(canvas, 3, 24, 20, 38, "k", "2")
    canvas.fill(9, 30, 14, 31, "5")
    page(canvas, 6, 0, 17, 13, fold=3, lines="b")
    box(canvas, 1, 12, 22, 19, "k", "1")  # the open drawer's front
    canvas.fill(9, 15, 14, 16, "5")
    page(canvas, 26, 6, 37, 21, fold=3)
    arrow = [(x, y) for y in range(23, 27) for x in range(30, 34)]
    arrow += [(x, y) for y in range(27, 31) for x in range(26 + (y - 27), 38 - (y - 27))]
    outlined(canvas, arrow, "B", "b")
    hoard_box(canvas, 21, 31, 46, 46)
    drop_shadow(canvas, SHADOW)
    return canvas


def view_index_glyph():
    """A page with a list: a blue title and bulleted rows."""
    canvas = Canvas(GLYPH, GLYPH)
    page(canvas, 6, 1, 40, 45, fold=8, lines=None)
    canvas.fill(10, 12, 30, 14, "B")
    for row, right in enumerate((35, 31, 36, 29, 33)):
        y = 19 + row * 5
        box(canvas, 10, y, 12, y + 2, "A", "a")
        canvas.fill(15, y + 1, right, y + 1, "b")
    drop_shadow(canvas, SHADOW)
    return canvas


def magnifier(canvas, cx, cy, radius):
    """A lens of the given radius centred on (cx, cy), its handle to the
    lower right."""
    length = radius + 2
    for i in range(-1, 2):
        line(canvas, cx + radius - 1 + i, cy + radius - 1 - i,
             cx + radius + length + i, cy + radius + length - i, "k", 2)
    line(canvas, cx + radius, cy + radius, cx + radius + length - 1,
         cy + radius + length - 1, "A", 2)
    disc(canvas, cx, cy, radius + 1.5, "k")
    ring(canvas, cx, cy, radius + 0.5, radius - 1.5, "4")
    disc(canvas, cx, cy, radius - 1.5, "c")
    ring(canvas, cx, cy, radius - 1.5, radius - 2.5, "k")
    glint = Canvas(canvas.width, canvas.height)
    ring(glint, cx, cy, radius - 3.5, radius - 5.0, "w")
    for y, row in enumerate(glint.cells):
        for x, key in enumerate(row):
            if key != "." and x - cx + y - cy < -radius * 0.6:
                canvas.put(x, y, key)


def search_glyph():
    canvas = Canvas(GLYPH, GLYPH)
    page(canvas, 3, 2, 27, 34, fold=5)
    page(canvas, 12, 8, 36, 40, fold=5)
    magnifier(canvas, 25, 24, 10)
    drop_shadow(canvas, SHADOW)
    return canvas


def gear(canvas, cx, cy, outer, inner, teeth, tooth_width):
    """A grey gear wheel with `teeth` teeth, a hole in its middle."""
    cells = []
    for y in range(canvas.height):
        for x in range(canvas.width):
            dx, dy = x + 0.5 - cx, y + 0.5 - cy
            d = math.hypot(dx, dy)
            if d <= inner * 0.38:
                continue
            on_tooth = False
            for i in range(teeth):
                angle = (i + 0.5) * 2 * math.pi / teeth
                along = dx * math.cos(angle) + dy * math.sin(angle)
                across = abs(dy * math.cos(angle) - dx * math.sin(angle))
                on_tooth = on_tooth or (0 < along <= outer and across <= tooth_width / 2)
            if d <= inner or on_tooth:
                cells.append((x, y))
    outlined(canvas, cells, "k", "4")
    ring(canvas, cx, cy, inner - 2.0, inner - 4.0, "3")


def properties_glyph():
    """A sheet of check boxes, two ticked, and a gear."""
    canvas = Canvas(GLYPH, GLYPH)
    box(canvas, 2, 2, 36, 42, "k", "1")
    for i, ticked in enumerate((True, False, True)):
        y = 8 + i * 11
        box(canvas, 6, y, 13, y + 7, "k", "w")
        canvas.fill(17, y + 3, 31 - 4 * (i % 2), y + 4, "4")
        if ticked:
            line(canvas, 7, y + 3, 9, y + 5, "b", 2)
            line(canvas, 9, y + 5, 13, y + 0, "b", 2)
    gear(canvas, 34.5, 34.5, 13.0, 9.5, 8, 5.0)
    drop_shadow(canvas, SHADOW)
    return canvas


# ---- The hand cursor ---------------------------------------------------------------


def hand_cursor():
    """A pointing hand: the index finger up, the thumb out to the left."""
    canvas = Canvas(32, 32)
    hand = set()

    def area(x0, y0, x1, y1):
        hand.update((x, y) for x in range(x0, x1 + 1) for y in range(y0, y1 + 1))

    # Four fingers, three cells wide between outlines, with rounded tips;
    # the index finger's tip is the hot spot.
    left, top = HOT_SPOT_X - 5, HOT_SPOT_Y
    for finger, tip in enumerate((0, 7, 8, 10)):
        x = left + 3 + finger * 4
        area(x + 1, top + tip, x + 3, top + tip)
        area(x, top + tip + 1, x + 4, top + 17)
    area(left + 3, top + 13, left + 19, top + 22)
    for y, (x0, x1) in enumerate(((4, 18), (4, 18), (5, 17), (5, 17), (5, 17))):
        area(left + x0, top + 23 + y, left + x1, top + 23 + y)
    for y, (x0, x1) in enumerate(((0, 2), (0, 3), (0, 3), (1, 3), (1, 3), (2, 3), (2, 3))):
        area(left + x0, top + 12 + y, left + x1, top + 12 + y)
    outlined(canvas, hand, "k", "w")
    for x, y0, y1 in ((7, 8, 13), (11, 9, 13), (15, 11, 13), (3, 14, 17)):
        canvas.fill(left + x, top + y0, left + x, top + y1, "k")
    return canvas


# ---- Window icons ----------------------------------------------------------------------


def ships_wheel_badge(canvas, cx, cy):
    """Navigator's mark: an amber ship's wheel, eight handles round a navy
    hub with an "N"."""
    handles = []
    for i in range(8):
        angle = i * math.pi / 4 + math.pi / 8
        for step in range(40):
            d = 9 + step * 7 / 40
            x, y = cx + math.cos(angle) * d, cy + math.sin(angle) * d
            handles += [(math.floor(x) + dx, math.floor(y) + dy) for dx in (-1, 0, 1)
                        for dy in (-1, 0, 1)]
    outlined(canvas, handles, "k", "a")
    disc(canvas, cx, cy, 12.5, "k")
    ring(canvas, cx, cy, 11.5, 9.5, "a")
    disc(canvas, cx, cy, 9.5, "k")
    disc(canvas, cx, cy, 8.5, "B")
    bold_text(canvas, "N", round(cx) - 5, round(cy) - 7, "w", scale=2)


def orbit_badge(canvas, cx, cy):
    """Internet Explorer's mark: a blue "e" on a white disc, an amber orbit
    round it that passes in front of the disc's rim at the lower left."""
    tilt = -0.5
    radius = 11.5

    def orbit(front):
        cells = []
        for step in range(720):
            angle = step * math.pi / 360
            ex, ey = math.cos(angle) * 15, math.sin(angle) * 6
            x = cx + ex * math.cos(tilt) - ey * math.sin(tilt)
            y = cy + ex * math.sin(tilt) + ey * math.cos(tilt)
            if front and (math.sin(angle) <= 0 or math.hypot(x - cx, y - cy) < radius - 3):
                continue
            cells += [(math.floor(x) + dx, math.floor(y) + dy) for dx in (-1, 0, 1, 2)
                      for dy in (-1, 0, 1, 2)]
        return cells

    outlined(canvas, orbit(False), "k", "a")
    disc(canvas, cx, cy, radius, "k")
    disc(canvas, cx, cy, radius - 1, "w")
    bold_text(canvas, "e", round(cx) - 5, round(cy) - 9, "b", scale=2)
    outlined(canvas, orbit(True), "k", "a")


def window_icon(badge):
    canvas = Canvas(64, 64)
    emblem(canvas, 0, 0, 50)
    badge(canvas, 46.0, 46.0)
    return canvas


# ---- Result list icons ----------------------------------------------------------------


def result_icon(art):
    canvas = Canvas(16, 16)
    canvas.stamp(art, 0, 1)
    return canvas


def blank_file():
    canvas = Canvas(16, 16)
    page(canvas, 2, 0, 13, 15, fold=4, lines=None)
    return canvas


# ---- All pictures -----------------------------------------------------------------------


def all_pictures():
    nav = window_icon(ships_wheel_badge)
    ie = window_icon(orbit_badge)
    return {
        "logo": logo(),
        "banner": banner(),
        "maker": maker(),
        "explorer": explorer_glyph(),
        "view_index": view_index_glyph(),
        "search": search_glyph(),
        "properties": properties_glyph(),
        "hand_cursor": hand_cursor(),
        "webhoard-nav": nav,
        "webhoard-ie": ie,
        "webhoard-nav-256": enlarged(nav, 4),
        "webhoard-ie-256": enlarged(ie, 4),
        "result_text": result_icon(pictograms.TEXT),
        "result_image": result_icon(pictograms.IMAGE),
        "result_audio": result_icon(pictograms.AUDIO),
        "result_video": result_icon(pictograms.VIDEO),
        "result_other": blank_file(),
    }


def resource_file(names):
    lines = ['<!DOCTYPE RCC>', '<RCC version="1.0">', '<qresource prefix="%s">' % QRC_PREFIX]
    lines += ["    <file>%s.png</file>" % name for name in sorted(names)]
    lines += ["</qresource>", "</RCC>", ""]
    return "\n".join(lines).encode("ascii")


def write_pictures(folder):
    """Draws every picture and writes it, with the resource file, into
    `folder`. Answers the names of the files written."""
    pictograms.check_all()
    bitmap_font.check_font()
    os.makedirs(folder, exist_ok=True)
    pictures = all_pictures()
    written = []
    for name, canvas in sorted(pictures.items()):
        data = encode_png(canvas.width, canvas.height, rgba_rows(canvas))
        with open(os.path.join(folder, name + ".png"), "wb") as out:
            out.write(data)
        written.append(name + ".png")
    with open(os.path.join(folder, "pictures.qrc"), "wb") as out:
        out.write(resource_file(pictures))
    written.append("pictures.qrc")
    return written


def default_folder():
    return os.path.normpath(os.path.join(HERE, "..", "..", "src", "gui", "pictures"))


def main(argv):
    folder = argv[1] if len(argv) > 1 else default_folder()
    written = write_pictures(folder)
    print("wrote %d files to %s" % (len(written), os.path.normpath(folder)))


if __name__ == "__main__":
    main(sys.argv)
