#!/usr/bin/env python3
"""Checks the drawing of the windows' pictures:

    python3 tools/make_pictures/check_pictures.py

  - two runs of the drawing give the same bytes, and the same bytes as the
    checked-in src/gui/pictures/ (so a changed drawing that was not
    written out again is noticed);
  - every picture has the size the windows were laid out for;
  - the resource file lists exactly the PNG files;
  - the cursor's hot spot is on the hand, and the cursor has no colour
    but its outline and fill.
Prints what is wrong and exits with status 1, or prints "ok".
"""

import os
import re
import sys
import tempfile

import make_pictures
from png_writer import png_size

SIZES = {
    "logo": (300, 60), "banner": (56, 400), "maker": (160, 32),
    "explorer": (48, 48), "view_index": (48, 48), "search": (48, 48), "properties": (48, 48),
    "hand_cursor": (32, 32),
    "webhoard-nav": (64, 64), "webhoard-ie": (64, 64),
    "webhoard-nav-256": (256, 256), "webhoard-ie-256": (256, 256),
    "result_text": (16, 16), "result_image": (16, 16), "result_audio": (16, 16),
    "result_video": (16, 16), "result_other": (16, 16),
}


def folder_bytes(folder):
    return {name: open(os.path.join(folder, name), "rb").read()
            for name in sorted(os.listdir(folder))}


def problems():
    found = []
    with tempfile.TemporaryDirectory() as first, tempfile.TemporaryDirectory() as second:
        make_pictures.write_pictures(first)
        make_pictures.write_pictures(second)
        drawn = folder_bytes(first)
        if drawn != folder_bytes(second):
            found.append("two runs gave different bytes")
    checked_in = folder_bytes(make_pictures.default_folder())
    for name in sorted(set(drawn) | set(checked_in)):
        if drawn.get(name) != checked_in.get(name):
            found.append("%s: the checked-in file differs from the drawing" % name)
    pngs = sorted(name for name in drawn if name.endswith(".png"))
    if pngs != sorted(name + ".png" for name in SIZES):
        found.append("the pictures drawn are not the pictures expected: %s" % pngs)
    for name, size in sorted(SIZES.items()):
        data = drawn.get(name + ".png")
        if data is not None and png_size(data) != size:
            found.append("%s.png is %d x %d, not %d x %d" % ((name,) + png_size(data) + size))
    listed = re.findall(r"<file>([^<]+)</file>", drawn["pictures.qrc"].decode("ascii"))
    if sorted(listed) != pngs:
        found.append("pictures.qrc lists %s" % listed)
    cursor = make_pictures.hand_cursor()
    if cursor.get(make_pictures.HOT_SPOT_X, make_pictures.HOT_SPOT_Y) != "k":
        found.append("the cursor's hot spot is not on the finger's outline")
    if cursor.get(make_pictures.HOT_SPOT_X, make_pictures.HOT_SPOT_Y - 1) != ".":
        found.append("the cursor's hot spot is not the tip of the finger")
    if {key for row in cursor.cells for key in row} != {".", "k", "w"}:
        found.append("the cursor has colours besides black, white and transparent")
    return found


def main():
    found = problems()
    for problem in found:
        print(problem)
    print("ok" if not found else "%d problem(s)" % len(found))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
