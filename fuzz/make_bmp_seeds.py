#!/usr/bin/env python3
"""Writes small bitmaps of every form the decoder reads, as a starting corpus for
bmp_decoder_fuzz:  python3 fuzz/make_bmp_seeds.py CORPUS_DIR"""
import os
import struct
import sys

WIDTH, HEIGHT = 7, 5


def info_header(size, width, height, bits, compression=0, colors_used=0, masks=(0, 0, 0, 0)):
    fields = struct.pack("<IiiHHIIiiII", size, width, height, 1, bits, compression, 0,
                         2835, 2835, colors_used, 0)
    fields += struct.pack("<4I", *masks)
    return (fields + bytes(124))[:size]


def core_header(width, height, bits):
    return struct.pack("<IHHHH", 12, width, height, 1, bits)


def palette(count, entry_size=4):
    out = b""
    for i in range(count):
        bgr = bytes(((i * 13) & 255, (i * 91 + 7) & 255, (i * 37 + 11) & 255))
        out += bgr + (b"\0" if entry_size == 4 else b"")
    return out


def rows(bits, width, height):
    stride = (width * bits + 31) // 32 * 4
    return bytes((x * 7 + y * 29) & 255 for y in range(height) for x in range(stride))


def bmp(header, extra, pixels, gap=0):
    offset = 14 + len(header) + len(extra) + gap
    return (b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + extra +
            bytes(gap) + pixels)


RLE8 = bytes([3, 4, 5, 6, 0, 3, 0x45, 0x56, 0x67, 0, 2, 0x78, 0, 2, 5, 1, 2, 0x78, 0, 0,
              9, 0x1E, 0, 0, 0, 4, 1, 2, 3, 4, 0, 1])
RLE4 = bytes([5, 0x1A, 0, 0, 0, 5, 0x23, 0x45, 0x60, 0, 0, 2, 3, 1, 2, 0x31, 0, 0,
              0, 3, 0xDE, 0xF0, 0, 1])
M565 = (0xF800, 0x07E0, 0x001F, 0)
M8888 = (0xFF0000, 0xFF00, 0xFF, 0xFF000000)


def seeds():
    w, h = WIDTH, HEIGHT
    for bits in (1, 4, 8, 24):
        yield f"core_{bits}", bmp(core_header(w, h, bits),
                                  palette(1 << bits, 3) if bits <= 8 else b"", rows(bits, w, h))
    for size in (16, 64):
        yield f"os2_{size}_8", bmp(info_header(size, w, h, 8), palette(256), rows(8, w, h))
    for bits in (1, 2, 4, 8, 16, 24, 32):
        pal = palette(min(1 << bits, 9)) if bits <= 8 else b""
        colors = 9 if bits > 4 and bits <= 8 else 0
        yield f"info_{bits}", bmp(info_header(40, w, h, bits, 0, colors), pal, rows(bits, w, h))
    # Rows wide enough for the vector loops (sixteen 24-bit, sixty-four 8-bit pixels).
    for width in (67, 130):
        yield f"info_8_wide_{width}", bmp(info_header(40, width, 2, 8, 0, 200), palette(200),
                                          rows(8, width, 2))
    yield "info_24_wide", bmp(info_header(40, 37, 2, 24), b"", rows(24, 37, 2))
    yield "info_24_top_down_gap", bmp(info_header(40, w, -h, 24), b"", rows(24, w, h), gap=10)
    yield "fields_16_after", bmp(info_header(40, w, h, 16, 3), struct.pack("<3I", *M565[:3]),
                                 rows(16, w, h))
    yield "alpha_fields_32", bmp(info_header(40, w, h, 32, 6), struct.pack("<4I", *M8888),
                                 rows(32, w, h))
    for size in (52, 56, 108, 124):
        yield f"fields_32_v{size}", bmp(info_header(size, w, h, 32, 3, 0, M8888), b"",
                                        rows(32, w, h))
    yield "fields_16_v5", bmp(info_header(124, w, h, 16, 3, 0, M565), b"", rows(16, w, h))
    yield "rle8", bmp(info_header(40, 20, 4, 8, 1), palette(256), RLE8)
    yield "rle4", bmp(info_header(40, 13, 3, 4, 2), palette(16), RLE4)


def main():
    directory = sys.argv[1] if len(sys.argv) > 1 else "bmp_corpus"
    os.makedirs(directory, exist_ok=True)
    for name, data in seeds():
        with open(os.path.join(directory, name + ".bmp"), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
