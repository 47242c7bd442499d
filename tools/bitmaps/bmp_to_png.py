#!/usr/bin/env python3
"""Converts an uncompressed BMP (8-bit palette, 24- or 32-bit) to an RGB PNG.

    bmp_to_png.py input.bmp output.png [scale]

Used for the screenshots that the window tests save; standard library only.
An optional whole-number scale enlarges each pixel, for looking at bitmaps.
"""
import struct
import sys
import zlib


def read_bmp(path):
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        raise ValueError("not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    header_size, width, height, _, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    if compression not in (0, 3) or bits not in (8, 24, 32):
        raise ValueError("unsupported BMP: %d bits, compression %d" % (bits, compression))
    palette = []
    if bits == 8:
        used = struct.unpack_from("<I", data, 46)[0] or 256
        start = 14 + header_size
        palette = [tuple(data[start + 4 * i + 2 - k] for k in range(3)) for i in range(used)]
    stride = (width * bits // 8 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        source_row = y if height < 0 else abs(height) - 1 - y
        row = data[offset + source_row * stride: offset + source_row * stride + stride]
        if bits == 8:
            rows.append([palette[i] for i in row[:width]])
        else:
            step = bits // 8
            rows.append([(row[x * step + 2], row[x * step + 1], row[x * step])
                         for x in range(width)])
    return rows


def png_bytes(rows, scale=1):
    rows = [[pixel for pixel in row for _ in range(scale)] for row in rows for _ in range(scale)]
    height, width = len(rows), len(rows[0])

    def chunk(kind, payload):
        body = kind + payload
        return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + bytes(channel for pixel in row for channel in pixel) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    scale = int(sys.argv[3]) if len(sys.argv) == 4 else 1
    with open(sys.argv[2], "wb") as out:
        out.write(png_bytes(read_bmp(sys.argv[1]), scale))


if __name__ == "__main__":
    main()
