"""Shapes drawn on the index icons' Canvas (tools/make_icons/make_icons.py):
lines, discs and rings, pages, the hoard box, bold text, and whole-canvas
operations (drop shadow, rotation, enlargement, pasting).

A canvas holds one palette key per cell; "." is transparent.
"""

import math

import bitmap_font
from make_icons import Canvas


def line(canvas, x0, y0, x1, y1, key, width=1):
    """A straight line from (x0, y0) to (x1, y1), `width` cells thick."""
    steps = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(steps + 1):
        x = round(x0 + (x1 - x0) * i / steps)
        y = round(y0 + (y1 - y0) * i / steps)
        canvas.fill(x, y, x + width - 1, y + width - 1, key)


def box(canvas, x0, y0, x1, y1, outline, face):
    """A rectangle with a one-cell outline."""
    canvas.fill(x0, y0, x1, y1, outline)
    if x1 - x0 > 1 and y1 - y0 > 1:
        canvas.fill(x0 + 1, y0 + 1, x1 - 1, y1 - 1, face)


def outlined(canvas, cells, outline, face):
    """The cells given, those on the edge of the shape in `outline`, the
    others in `face`."""
    cells = set(cells)
    for x, y in cells:
        edge = any(n not in cells for n in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))
        canvas.put(x, y, outline if edge else face)


def disc(canvas, cx, cy, radius, key):
    """Every cell whose centre lies within `radius` of (cx, cy)."""
    ring(canvas, cx, cy, radius, -1, key)


def ring(canvas, cx, cy, outer, inner, key):
    """Every cell whose centre lies between `inner` (exclusive) and `outer`
    (inclusive) of (cx, cy)."""
    for y in range(math.floor(cy - outer) - 1, math.ceil(cy + outer) + 2):
        for x in range(math.floor(cx - outer) - 1, math.ceil(cx + outer) + 2):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if inner < d <= outer:
                canvas.put(x, y, key)


def page(canvas, x0, y0, x1, y1, fold=4, lines="b"):
    """A white page with its top right corner folded over and, unless
    `lines` is None, lines of text."""
    box(canvas, x0, y0, x1, y1, "k", "w")
    for i in range(fold):  # cut the corner off, then draw the fold
        canvas.fill(x1 - fold + 1 + i, y0, x1, y0 + i, ".")
        canvas.put(x1 - fold + 1 + i, y0 + i, "k")
    canvas.fill(x1 - fold + 1, y0 + 1, x1 - fold + 1, y0 + fold, "k")
    canvas.fill(x1 - fold + 1, y0 + fold, x1, y0 + fold, "k")
    for i in range(1, fold):
        canvas.fill(x1 - fold + 2, y0 + i, x1 - fold + i, y0 + i, "2")
    if lines is None:
        return
    row = 0
    for y in range(y0 + fold + 2, y1 - 1, 2):
        right = x1 - 2 - (3 if row % 3 == 2 else 0)
        canvas.fill(x0 + 2, y, right, y, lines)
        row += 1


def hoard_box(canvas, x0, y0, x1, y1, contents=None):
    """An open amber crate seen from the front: the shaded inside at the
    top, planks and corner posts on the front. `contents`, a canvas the
    size of the whole one, is shown standing in the crate: above the front
    edge, over the inside."""
    box(canvas, x0, y0, x1, y1, "k", "a")
    inside = max(2, (y1 - y0) // 5)
    canvas.fill(x0 + 1, y0 + 1, x1 - 1, y0 + inside, "A")
    front = y0 + inside + 1
    if contents is not None:
        for y in range(0, front):
            for x, key in enumerate(contents.cells[y]):
                if key != ".":
                    canvas.put(x, y, key)
    canvas.fill(x0, front, x1, front, "k")
    canvas.fill(x0 + 1, front + 1, x1 - 1, front + 1, "t")
    middle = (front + 1 + y1) // 2 + 1
    canvas.fill(x0 + 1, middle, x1 - 1, middle, "A")
    canvas.fill(x0 + 1, y1 - 1, x1 - 1, y1 - 1, "A")
    post = max(1, (x1 - x0) // 12)
    for x in (x0 + 1, x1 - post):
        canvas.fill(x, front + 1, x + post - 1, y1 - 1, "A")
        canvas.fill(x, front + 1, x + post - 1, front + 1, "a")


def bold_text(canvas, text, x0, y0, key, scale=1, spacing=1, shadow=None):
    """The 5 x 7 font made bold: every stroke one cell wider to the right.
    The letters are spaced one cell further apart to make room."""
    cells, _ = bitmap_font.text_cells(text, spacing)
    layers = ([(shadow, 1)] if shadow else []) + [(key, 0)]
    for colour, offset in layers:
        for cx, cy in cells:
            x = x0 + cx * scale + offset
            y = y0 + cy * scale + offset
            canvas.fill(x, y, x + scale, y + scale - 1, colour)


def bold_text_width(text, scale=1, spacing=1):
    return bitmap_font.text_cells(text, spacing)[1] * scale + 1


def drop_shadow(canvas, key, offset=1):
    """A shadow of everything drawn, `offset` cells to the lower right,
    wherever the canvas is still transparent."""
    drawn = [(x, y) for y in range(canvas.height) for x in range(canvas.width)
             if canvas.cells[y][x] != "."]
    for x, y in drawn:
        if canvas.get(x + offset, y + offset) == ".":
            canvas.put(x + offset, y + offset, key)


def paste(target, source, x0, y0):
    """Every drawn cell of `source`, placed with its top left at (x0, y0)."""
    for y, row in enumerate(source.cells):
        for x, key in enumerate(row):
            if key != ".":
                target.put(x0 + x, y0 + y, key)


def rotated_left(source):
    """`source` turned a quarter turn anticlockwise, so that a line of text
    reads from the bottom up."""
    turned = Canvas(source.height, source.width)
    for y, row in enumerate(source.cells):
        for x, key in enumerate(row):
            turned.put(y, source.width - 1 - x, key)
    return turned


def enlarged(source, factor):
    """`source` with every cell made `factor` x `factor` cells."""
    big = Canvas(source.width * factor, source.height * factor)
    big.stamp(["".join(row) for row in source.cells], 0, 0, scale=factor)
    return big
