"""The pictograms of Webhoard's index icons, drawn cell by cell.

One character per pixel; "." is transparent, every other character names a
colour of the palette in make_icons.py. Each file type has one 16 x 14
pictogram that every form of its icon (row icon, and the active, current
and greyed type buttons) is built from.
"""

TEXT = [
    "..kkkkkkkkk.....",
    "..kwwwwwwwkk....",
    "..kwwwwwwwklk...",
    "..kwbbbbwwkkkk..",
    "..kwwwwwwwwwwk..",
    "..kwbbbbbbbbwk..",
    "..kwwwwwwwwwwk..",
    "..kwbbbbbbbbwk..",
    "..kwwwwwwwwwwk..",
    "..kwbbbbbbbbwk..",
    "..kwwwwwwwwwwk..",
    "..kwbbbbbbwwwk..",
    "..kwwwwwwwwwwk..",
    "..kkkkkkkkkkkk..",
]

IMAGE = [
    "kkkkkkkkkkkkkkkk",
    "kcccccccccccccck",
    "kcccccccccyyccck",
    "kccccccccyyyycck",
    "kccccccccyyyycck",
    "kcccccccccyyccck",
    "kcccccGcccccccck",
    "kccccGgGccccccck",
    "kcccGgggGcccGcck",
    "kccGgggggGcGgGck",
    "kcGgggggggGgggGk",
    "kGgggggggggggggk",
    "kggggggggggggggk",
    "kkkkkkkkkkkkkkkk",
]

AUDIO = [
    ".....kkkkkkkkkk.",
    ".....kmmmmmmmmk.",
    ".....kkkkkkkkkk.",
    ".....kk......kk.",
    ".....kk......kk.",
    ".....kk......kk.",
    ".....kk......kk.",
    ".....kk......kk.",
    "..kkkkk...kkkkk.",
    ".kmmmmk..kmmmmk.",
    "kmmmmmk.kmmmmmk.",
    "kmmmmmk.kmmmmmk.",
    ".kmmmk...kmmmk..",
    "..kkk.....kkk...",
]

VIDEO = [
    "................",
    "ffffffffffffffff",
    "fwwfwwfwwfwwfwwf",
    "ffffffffffffffff",
    "fccccccffccccccf",
    "fcyycccffccyyccf",
    "fcyycccffccyyccf",
    "fccccccffccccccf",
    "fgggcccffgggcccf",
    "fGgggggffGgggggf",
    "ffffffffffffffff",
    "fwwfwwfwwfwwfwwf",
    "ffffffffffffffff",
    "................",
]

OTHER = [
    ".......kk.......",
    ".....kkttkk.....",
    "...kkttttttkk...",
    ".kkttttttttttkk.",
    "kookkttttttkkOOk",
    "kooookkttkkOOOOk",
    "kooooookkOOOOOOk",
    "koooooooOOOOOOOk",
    "koooooooOOOOOOOk",
    "koooooooOOOOOOOk",
    "kkkoooooOOOOOkkk",
    "...kkoooOOOkk...",
    ".....kkoOkk.....",
    ".......kk.......",
]

# A missing image: an empty frame crossed out.
NOT_FOUND = [
    "kkkkkkkkkkkkkkkk",
    "kwwwwwwwwwwwwwwk",
    "kwrrwwwwwwwwrrwk",
    "kwrrrwwwwwwrrrwk",
    "kwwrrrwwwwrrrwwk",
    "kwwwrrrwwrrrwwwk",
    "kwwwwrrrrrrwwwwk",
    "kwwwwwrrrrwwwwwk",
    "kwwwwrrrrrrwwwwk",
    "kwwwrrrwwrrrwwwk",
    "kwwrrrwwwwrrrwwk",
    "kwrrrwwwwwwrrrwk",
    "kwrrwwwwwwwwrrwk",
    "kkkkkkkkkkkkkkkk",
]

FOLDER = [
    ".kkkkkk...........",
    "kyyyyyyk..........",
    "kyyyyyyykkkkkkkkkk",
    "kllllllllllllllllk",
    "klyyyyyyyyyyyyyyYk",
    "klyyyyyyyyyyyyyyYk",
    "klyyyyyyyyyyyyyyYk",
    "klyyyyyyyyyyyyyyYk",
    "klyyyyyyyyyyyyyyYk",
    "klyyyyyyyyyyyyyyYk",
    "kYYYYYYYYYYYYYYYYk",
    "kkkkkkkkkkkkkkkkkk",
]

OPEN_FOLDER = [
    ".kkkkkk...........",
    "kYYYYYYk..........",
    "kYYYYYYYkkkkkkkk..",
    "kYYYYYYYYYYYYYYk..",
    "kYYkkkkkkkkkkkkkkk",
    "kYYklllllllllllllk",
    "kYklllllllllllllk.",
    "kYkyyyyyyyyyyyyyk.",
    "kYkyyyyyyyyyyyyyk.",
    "kkyyyyyyyyyyyyyk..",
    "kkyyyyyyyyyyyyyk..",
    "kyyyyyyyyyyyyyk...",
    "kkkkkkkkkkkkkkk...",
]


def check(name, art, width, height):
    if len(art) != height or any(len(row) != width for row in art):
        sizes = sorted({len(row) for row in art})
        raise ValueError("%s is not %d x %d (%d rows, widths %s)" %
                         (name, width, height, len(art), sizes))


def check_all():
    for name, art in (("TEXT", TEXT), ("IMAGE", IMAGE), ("AUDIO", AUDIO), ("VIDEO", VIDEO),
                      ("OTHER", OTHER), ("NOT_FOUND", NOT_FOUND)):
        check(name, art, 16, 14)
    check("FOLDER", FOLDER, 18, 12)
    check("OPEN_FOLDER", OPEN_FOLDER, 18, 13)
