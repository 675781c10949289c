#!/usr/bin/env python3
"""Checks a screenshot taken with `xwd -root` and writes it as a PNG.

    scripts/xwd-check.py SHOT.xwd OUT.png

Exits 1 when the picture is blank: fewer than MIN_COLOURS distinct colours, or one colour
covering nearly all of it. Reads the 16-, 24- and 32-bit ZPixmap screens Xvfb makes.
"""
import struct
import sys
import zlib

MIN_COLOURS = 8
MAX_SHARE = 0.98


def read_xwd(path):
    data = open(path, "rb").read()
    header = struct.unpack(">25I", data[:100])
    header_size, _, pixmap_format, depth, width, height = header[:6]
    byte_order, bits_per_pixel, bytes_per_line = header[7], header[11], header[12]
    red_mask, green_mask, blue_mask = header[14], header[15], header[16]
    ncolors = header[19]
    if pixmap_format != 2:
        raise SystemExit("xwd-check: not a ZPixmap screenshot")
    pixels_at = header_size + ncolors * 12
    step = bits_per_pixel // 8
    if step not in (2, 3, 4):
        raise SystemExit("xwd-check: %d bits per pixel are not read here" % bits_per_pixel)
    order = "little" if byte_order == 0 else "big"

    def channel(value, mask):
        shift = (mask & -mask).bit_length() - 1
        top = mask >> shift
        return ((value & mask) >> shift) * 255 // top

    values = []
    for y in range(height):
        start = pixels_at + y * bytes_per_line
        line = data[start:start + width * step]
        values.append([int.from_bytes(line[x * step:(x + 1) * step], order)
                       for x in range(width)])
    # Xvfb at 16 bits may hand over a 24-bit dump of 16-bit pixels (Wine's windows on it): the
    # header's 8-8-8 masks then do not fit, and the pixels are 5-6-5.
    if step == 3 and all(v < 0x10000 for row in values for v in row):
        red_mask, green_mask, blue_mask = 0xF800, 0x07E0, 0x001F
    rows = [[(channel(v, red_mask), channel(v, green_mask), channel(v, blue_mask)) for v in row]
            for row in values]
    return width, height, depth, rows


def write_png(path, width, height, rows):
    raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in rows)

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        out.write(chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    width, height, depth, rows = read_xwd(sys.argv[1])
    write_png(sys.argv[2], width, height, rows)
    counts = {}
    for row in rows:
        for pixel in row:
            counts[pixel] = counts.get(pixel, 0) + 1
    most = max(counts.values()) / float(width * height)
    print("xwd-check: %dx%d at %d bits, %d colours, the commonest on %.1f%%" %
          (width, height, depth, len(counts), most * 100))
    if len(counts) < MIN_COLOURS or most > MAX_SHARE:
        print("xwd-check: the screen is blank", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
