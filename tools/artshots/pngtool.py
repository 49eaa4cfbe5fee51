#!/usr/bin/env python3
"""Small PNG helper for the review pictures (8-bit RGB or RGBA, not interlaced).

  pngtool.py scale K IN.png OUT.png     nearest-neighbour, K times the size
  pngtool.py row OUT.png IN.png ...     the pictures side by side, 8 grey pixels apart
  pngtool.py crop X Y W H IN.png OUT.png  the rectangle at (X, Y), W x H pixels
"""
import struct
import sys
import zlib


def read_png(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG")
    pos, idat, width, height, kind = 8, b"", 0, 0, 0
    while pos < len(data):
        length, tag = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if tag == b"IHDR":
            width, height, depth, kind, _, _, lace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or kind not in (2, 6) or lace:
                sys.exit(f"{path}: only 8-bit RGB or RGBA without interlace")
        elif tag == b"IDAT":
            idat += body
    bpp = 3 if kind == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * bpp
    rows, prev, i = [], bytearray(stride), 0
    for _ in range(height):
        filt, line = raw[i], bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b = prev[x]
            c = prev[x - bpp] if x >= bpp else 0
            if filt == 1:
                line[x] = (line[x] + a) & 255
            elif filt == 2:
                line[x] = (line[x] + b) & 255
            elif filt == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif filt == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line[x * bpp:x * bpp + 3]) for x in range(width))
        rows[-1] = list(rows[-1])
        prev = line
    return width, height, rows


def write_png(path, width, height, rows):
    raw = b"".join(b"\x00" + b"".join(row) for row in rows)

    def chunk(tag, body):
        return struct.pack(">I", len(body)) + tag + body + struct.pack(">I", zlib.crc32(tag + body))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        f.write(chunk(b"IEND", b""))


def scale(k, src, dst):
    w, h, rows = read_png(src)
    big = []
    for row in rows:
        line = [p for p in row for _ in range(k)]
        big.extend([line] * k)
    write_png(dst, w * k, h * k, big)


def row(dst, sources):
    pictures = [read_png(s) for s in sources]
    height = max(p[1] for p in pictures)
    gap = [b"\x80\x80\x80"] * 8
    out = []
    for y in range(height):
        line = []
        for n, (w, h, rows) in enumerate(pictures):
            if n:
                line += gap
            line += rows[y] if y < h else [b"\x80\x80\x80"] * w
        out.append(line)
    write_png(dst, len(out[0]), height, out)


def crop(x, y, w, h, src, dst):
    _, _, rows = read_png(src)
    write_png(dst, w, h, [r[x:x + w] for r in rows[y:y + h]])


if __name__ == "__main__":
    if len(sys.argv) == 5 and sys.argv[1] == "scale":
        scale(int(sys.argv[2]), sys.argv[3], sys.argv[4])
    elif len(sys.argv) >= 4 and sys.argv[1] == "row":
        row(sys.argv[2], sys.argv[3:])
    elif len(sys.argv) == 8 and sys.argv[1] == "crop":
        crop(*(int(a) for a in sys.argv[2:6]), sys.argv[6], sys.argv[7])
    else:
        sys.exit(__doc__)
