"""A small PNG writer: 8-bit RGBA, no interlacing, one IDAT chunk.

Layout of the file written:
  the 8-byte signature 89 "PNG" 0D 0A 1A 0A
  IHDR: width u32, height u32, bit depth 8, colour type 6 (RGBA),
    compression 0, filter 0, interlace 0
  IDAT: the zlib stream of the rows, each row a filter byte 0 (none)
    followed by r, g, b, a of every pixel
  IEND
Every chunk is its length u32, its type, its data and the CRC-32 of type
and data. All numbers are big-endian.
"""

import struct
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def encode_png(width, height, rgba_rows):
    """Answers the PNG file (bytes) of `height` rows of `width` (r, g, b, a)
    tuples."""
    if len(rgba_rows) != height or any(len(row) != width for row in rgba_rows):
        raise ValueError("the rows are not %d x %d" % (width, height))
    raw = bytearray()
    for row in rgba_rows:
        raw.append(0)
        for pixel in row:
            raw.extend(pixel)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (SIGNATURE + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def png_size(data):
    """Answers (width, height) of a PNG file's bytes, as its header states."""
    if data[:8] != SIGNATURE or data[12:16] != b"IHDR":
        raise ValueError("not a PNG file")
    return struct.unpack(">II", data[16:24])
