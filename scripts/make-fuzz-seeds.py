#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora under fuzz/corpus/: small valid files of every variant
the readers know. Run from anywhere; it rewrites the seeds it owns (seed-*) and leaves the
others (kept crashes, refused inputs) alone."""
import os
import struct
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fuzz", "corpus")

# A 6 x 3 picture as colour indices, top row first, and its colours as 0xRRGGBB.
INDICES = [[0, 1, 2, 3, 4, 5], [5, 4, 3, 2, 1, 0], [1, 1, 2, 2, 3, 3]]
COLOURS = [0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0xFF00FF, 0x808080, 0x123456]
W, H = 6, 3


def write(target, name, data):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "seed-" + name), "wb") as f:
        f.write(data)


def rows(top_down):
    return INDICES if top_down else list(reversed(INDICES))


def pad(row):
    return row + b"\0" * (-len(row) % 4)


def packed(bits, top_down):
    out = b""
    for r in rows(top_down):
        if bits == 8:
            row = bytes(r)
        elif bits == 4:
            row = bytes((r[i] << 4) | (r[i + 1] if i + 1 < len(r) else 0) for i in range(0, len(r), 2))
        else:  # 1 bit: odd indices are colour 1
            v = 0
            for i, c in enumerate(r):
                v |= (c & 1) << (7 - i)
            row = bytes([v])
        out += pad(row)
    return out


def direct(bits, top_down, encode):
    out = b""
    for r in rows(top_down):
        out += pad(b"".join(encode(COLOURS[c]) for c in r))
    return out


def rgb555(c):
    return struct.pack("<H", ((c >> 19) & 31) << 10 | ((c >> 11) & 31) << 5 | ((c >> 3) & 31))


def rgb565(c):
    return struct.pack("<H", ((c >> 19) & 31) << 11 | ((c >> 10) & 63) << 5 | ((c >> 3) & 31))


def palette(n, entry=4):
    table = b""
    for i in range(n):
        c = COLOURS[i % len(COLOURS)]
        table += bytes([c & 255, (c >> 8) & 255, (c >> 16) & 255]) + (b"\0" if entry == 4 else b"")
    return table


def info40(bits, compression=0, top_down=False, colours=0, image_size=0, width=W, height=H):
    return struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits,
                       compression, image_size, 2835, 2835, colours, 0)


def bmp(info, table, pixels):
    at = 14 + len(info) + len(table)
    return b"BM" + struct.pack("<IHHI", at + len(pixels), 0, 0, at) + info + table + pixels


def rle8():
    out = b""
    for r in reversed(INDICES):
        out += bytes([2, r[0], 0, 4]) + bytes(r[2:6]) + b"\0\0"  # a run, a literal, end of line
    return out + b"\0\1"


def rle4():
    out = bytes([0, 2, 1, 0])  # move right one: the first pixel keeps colour 0
    out += bytes([5, 0x12]) + b"\0\0"
    for r in reversed(INDICES[:2]):
        out += bytes([0, 6, (r[0] << 4) | r[1], (r[2] << 4) | r[3], (r[4] << 4) | r[5], 0]) + b"\0\0"
    return out + b"\0\1"


def bmp_seeds():
    seeds = {}
    for bits, n, top in [(1, 2, False), (4, 16, True), (4, 6, False), (8, 256, False), (8, 6, True)]:
        seeds[f"{bits}bit-{n}colours{'-topdown' if top else ''}.bmp"] = (
            info40(bits, 0, top, 0 if n == 1 << bits else n), palette(n), packed(bits, top))
    seeds["16bit-555.bmp"] = (info40(16), b"", direct(16, False, rgb555))
    seeds["16bit-565-bitfields-topdown.bmp"] = (
        info40(16, 3, True), struct.pack("<III", 0xF800, 0x07E0, 0x001F), direct(16, True, rgb565))
    asset = direct(24, False, lambda c: struct.pack("<I", c)[:3])
    seeds["24bit-asset.bmp"] = (info40(24, image_size=len(asset)), b"", asset)
    seeds["24bit-topdown.bmp"] = (info40(24, top_down=True), b"", direct(24, True, lambda c: struct.pack("<I", c)[:3]))
    seeds["32bit.bmp"] = (info40(32), b"", direct(32, False, lambda c: struct.pack("<I", c)))
    seeds["32bit-bitfields.bmp"] = (
        info40(32, 3), struct.pack("<III", 0xFF000000, 0x00FF0000, 0x0000FF00),
        direct(32, False, lambda c: struct.pack("<I", c << 8)))
    # A 108-byte header carries its own masks; nothing follows it but the bits.
    v4 = struct.pack("<IiiHHIIiiII", 108, W, H, 1, 16, 3, 0, 0, 0, 0, 0)
    v4 += struct.pack("<IIII", 0x7C00, 0x03E0, 0x001F, 0) + b"\0" * (108 - 56)
    seeds["16bit-v4-masks.bmp"] = (v4, b"", direct(16, False, rgb555))
    seeds["rle8.bmp"] = (info40(8, 1, colours=6, image_size=len(rle8())), palette(6), rle8())
    seeds["rle4.bmp"] = (info40(4, 2, colours=16), palette(16), rle4())
    core = struct.pack("<IHHHH", 12, W, H, 1, 8)
    seeds["core-8bit.bmp"] = (core, palette(256, 3), packed(8, False))
    seeds["core-24bit.bmp"] = (struct.pack("<IHHHH", 12, W, H, 1, 24), b"",
                               direct(24, False, lambda c: struct.pack("<I", c)[:3]))
    for name, (info, table, pixels) in seeds.items():
        write("fuzz_bmp", name, bmp(info, table, pixels))
        write("fuzz_bmp_header", name.replace(".bmp", ".dib"), info + table)


def bits_seeds():
    # kind byte (top bit: top-down), width - 1, height - 1, three masks, then the bits.
    kinds = {"1bit": 0, "4bit": 1, "8bit": 2, "16bit": 3, "24bit": 4, "32bit": 5,
             "16bit-bitfields": 6, "32bit-bitfields": 7, "rle8": 8, "rle4": 9}
    masks565 = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
    masks32 = struct.pack("<III", 0xFF000000, 0x00FF0000, 0x0000FF00)
    lead = lambda kind, top=False, masks=b"\0" * 12: bytes([kind | (0x80 if top else 0), W - 1, H - 1]) + masks
    write("fuzz_bmp_bits", "1bit", lead(0) + packed(1, False))
    write("fuzz_bmp_bits", "4bit-topdown", lead(1, True) + packed(4, True))
    write("fuzz_bmp_bits", "8bit", lead(2) + packed(8, False))
    write("fuzz_bmp_bits", "16bit", lead(3) + direct(16, False, rgb555))
    write("fuzz_bmp_bits", "24bit-topdown", lead(4, True) + direct(24, True, lambda c: struct.pack("<I", c)[:3]))
    write("fuzz_bmp_bits", "32bit", lead(5) + direct(32, False, lambda c: struct.pack("<I", c)))
    write("fuzz_bmp_bits", "16bit-bitfields", lead(6, False, masks565) + direct(16, False, rgb565))
    write("fuzz_bmp_bits", "32bit-bitfields", lead(7, True, masks32) + direct(32, True, lambda c: struct.pack("<I", c << 8)))
    write("fuzz_bmp_bits", "rle8", lead(8) + rle8())
    write("fuzz_bmp_bits", "rle4", lead(9) + rle4())
    assert len(kinds) == 10


def kbm(width, height, planes):
    body = b"".join(planes)
    return b"KBM\0" + struct.pack("<iiIII", width, height, *(len(p) for p in planes)) + body


def kbm_seeds():
    # 4 x 2, bottom row first: blue on the bottom row, red on the top row (value 0xF8, each
    # byte repeating its value (low three bits) + 1 times).
    blue = bytes([0xF8 | 3, 0x00 | 3])
    green = bytes([0x00 | 7])
    red = bytes([0x00 | 3, 0xF8 | 3])
    write("fuzz_kbm", "4x2.kbm", kbm(4, 2, [blue, green, red]))
    # 8 x 1: a grey ramp in all three planes, and a plane that stops early (the rest stays 0).
    ramp = bytes(v << 3 for v in range(0, 32, 4))
    write("fuzz_kbm", "8x1-ramp.kbm", kbm(8, 1, [ramp, ramp, ramp[:4]]))


def wave(channels, bits, samples, fmt_extra=None, before_data=b"", before_riff=b""):
    align = channels * bits // 8
    fmt = struct.pack("<HHIIHH", 1, channels, 8000, 8000 * align, align, bits)
    if fmt_extra is not None:
        fmt += struct.pack("<H", fmt_extra)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + before_data
    body += b"data" + struct.pack("<I", len(samples)) + samples + (b"\0" if len(samples) & 1 else b"")
    return before_riff + b"RIFF" + struct.pack("<I", len(body)) + body


def wave_seeds():
    tone8 = bytes(128 + (40 if (i // 4) & 1 else -40) for i in range(64))
    tone16 = b"".join(struct.pack("<h", 8000 if (i // 4) & 1 else -8000) for i in range(32))
    write("fuzz_wave", "8bit-mono.wav", wave(1, 8, tone8))
    write("fuzz_wave", "8bit-stereo.wav", wave(2, 8, tone8, fmt_extra=0))
    write("fuzz_wave", "16bit-mono-asset.wav", wave(1, 16, tone16))
    write("fuzz_wave", "16bit-stereo.wav", wave(2, 16, tone16 + tone16, fmt_extra=0))
    # An odd-sized chunk, with its pad byte, between the format and the sound.
    write("fuzz_wave", "odd-chunk.wav", wave(1, 8, tone8[:33], before_data=b"LIST\3\0\0\0abc\0"))
    # Another top-level chunk before the RIFF chunk.
    write("fuzz_wave", "chunk-before-riff.wav", wave(1, 16, tone16, before_riff=b"JUNK\2\0\0\0xy"))


def replay(runs, end=0, start_level=0, key_config=0, incomplete=False, rules=1, result=None):
    """A replay file (docs/replay-format.md) from (packed buttons, length) runs."""
    body = b""
    for packed, length in runs:
        body += struct.pack("<I", packed)[:3]
        while True:
            byte = length & 0x7F
            length >>= 7
            body += bytes([byte | (0x80 if length else 0)])
            if not length:
                break
    frames = sum(length for _, length in runs)
    updates = frames + (50 if incomplete else 0)
    score, lines, level, ms = result or (0, 0, start_level, 17 * updates)
    header = b"+RPL" + struct.pack("<HHBBBB", 1, rules, 1, 1 if incomplete else 0, end, 0)
    header += struct.pack("<iiiiii", 1234, start_level, key_config, 1, 1, 0)
    header += struct.pack("<IIII", updates, frames, len(runs), len(body))
    header += struct.pack("<iiii", score, lines, level, ms) + struct.pack("<6i", 0, 0, 0, 0, 0, 0)
    data = header + body
    return data + struct.pack("<I", zlib.crc32(data) & 0xFFFFFFFF)


def replay_seeds():
    right, key1, key2 = 2 << 4, 2 << 8, 2 << 10  # RIGHT, KEY 1 and KEY 2 pressed
    taps = [(0, 120), (right, 1), (0x3 << 4, 5), (0x1 << 4, 1), (0, 30), (key2, 1), (0, 200)]
    write("fuzz_replay", "taps.rpl", replay(taps))
    write("fuzz_replay", "abort.rpl", replay([(0, 150), (right | key1 | 0xF << 20, 1)], end=1))
    write("fuzz_replay", "long-run-level100.rpl", replay([(0, 70000)], end=2, start_level=100, key_config=20))
    write("fuzz_replay", "incomplete.rpl", replay(taps, incomplete=True))
    write("fuzz_replay", "older-rules.rpl", replay(taps, rules=0))
    write("fuzz_replay", "no-runs.rpl", replay([], end=2))


bmp_seeds()
bits_seeds()
kbm_seeds()
wave_seeds()
replay_seeds()
