"""A small GIF89a writer: one image, one global colour table, optional
transparent colour, LZW-compressed pixel data.

Layout of the file written:
  "GIF89a"
  logical screen descriptor: width u16, height u16, flags (0x80 | colour
    resolution 7 << 4 | table size exponent - 1), background index, aspect 0
  global colour table: 2^n entries of r, g, b
  graphic control extension (only with a transparent colour):
    0x21 0xF9 0x04, flags 0x01, delay u16 0, transparent index, 0x00
  image descriptor: 0x2C, left u16 0, top u16 0, width u16, height u16, 0x00
  LZW minimum code size, then the code stream in sub-blocks of at most 255
    bytes, each preceded by its length, ended by a zero-length block
  trailer 0x3B
All numbers are little-endian.
"""

import struct

MAX_CODES = 4096


def lzw_encode(pixels, min_code_size):
    """Answers the LZW code stream (bytes) of a sequence of colour indices.

    Codes are written least significant bit first. The code width starts at
    min_code_size + 1 and grows by one as soon as the reader's next table
    entry no longer fits, up to 12 bits; when the table is full a clear code
    starts over.
    """
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    bit_buffer = 0
    bit_count = 0

    def emit(code, width):
        nonlocal bit_buffer, bit_count
        bit_buffer |= code << bit_count
        bit_count += width
        while bit_count >= 8:
            out.append(bit_buffer & 0xFF)
            bit_buffer >>= 8
            bit_count -= 8

    width = min_code_size + 1
    table = {}
    next_code = end + 1
    emit(clear, width)
    if not pixels:
        emit(end, width)
    else:
        prefix = pixels[0]
        for pixel in pixels[1:]:
            key = (prefix, pixel)
            code = table.get(key)
            if code is not None:
                prefix = code
                continue
            emit(prefix, width)
            if next_code < MAX_CODES:
                table[key] = next_code
                next_code += 1
                # The reader adds its entries one code later than we do, so
                # it widens once our next code exceeds the current range.
                if next_code > (1 << width) and width < 12:
                    width += 1
            else:
                emit(clear, width)
                table = {}
                next_code = end + 1
                width = min_code_size + 1
            prefix = pixel
        emit(prefix, width)
        emit(end, width)
    if bit_count > 0:
        out.append(bit_buffer & 0xFF)
    return bytes(out)


def encode_gif(width, height, pixels, palette, transparent=None):
    """Answers a complete GIF89a file.

    pixels: width * height colour indices, row by row from the top.
    palette: list of (r, g, b); padded to a power of two of at least 4.
    transparent: the index drawn as transparent, or None.
    """
    if len(pixels) != width * height:
        raise ValueError("pixel count does not match the size")
    if not 0 < width < 65536 or not 0 < height < 65536:
        raise ValueError("size out of range")
    exponent = 2
    while (1 << exponent) < len(palette):
        exponent += 1
    if exponent > 8:
        raise ValueError("more than 256 colours")
    if max(pixels) >= len(palette):
        raise ValueError("pixel index outside the palette")
    colours = list(palette) + [(0, 0, 0)] * ((1 << exponent) - len(palette))

    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", width, height, 0x80 | (7 << 4) | (exponent - 1), 0, 0)
    for r, g, b in colours:
        data += bytes((r, g, b))
    if transparent is not None:
        data += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, 0x01, 0, transparent, 0)
    data += struct.pack("<BHHHHB", 0x2C, 0, 0, width, height, 0)
    min_code_size = max(2, exponent)
    data.append(min_code_size)
    stream = lzw_encode(pixels, min_code_size)
    for start in range(0, len(stream), 255):
        block = stream[start:start + 255]
        data.append(len(block))
        data += block
    data.append(0)
    data.append(0x3B)
    return bytes(data)
