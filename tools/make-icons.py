#!/usr/bin/env python3
"""Makes the program's icons from one of its own frames.

    tools/make-icons.py [BINARY]

Run from the repository root after building (BINARY defaults to build/vallup,
which reads data/... from here). Renders the spike ball in its tunnel at
106 s at 1600 x 1200, cuts a square around the ball (the whole band between
the letterbox bars for large icons, closer for small ones so the ball still
reads at 32 pixels), shrinks it (area average in linear light) to each icon size and rounds
the corners, and writes dist/icons/hicolor/NxN/apps/vallup.png. The same
binary and frame give the same bytes, so the icons are committed and
installing needs no rendering. Needs only Python's standard library.
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

TIME = "106"
RENDER = (1600, 1200)
BALL = (806, 600)  # the ball's centre in the rendered frame
CROP_LARGE = 840  # side of the square cut for icons above 48 pixels: bar to bar
CROP_SMALL = 640
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
CORNER = 0.14  # corner radius as a fraction of the side
OUT = "dist/icons/hicolor"


def read_png(path):
    """8-bit RGB or RGBA, not interlaced (what the frame mode writes)."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG")
    pos, idat = 8, b""
    while pos < len(data):
        n, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        if kind == b"IHDR":
            w, h, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or ctype not in (2, 6) or interlace:
                sys.exit(f"{path}: expected 8-bit RGB or RGBA, not interlaced")
            bpp = 3 if ctype == 2 else 4
        elif kind == b"IDAT":
            idat += body
        pos += 12 + n
    raw = zlib.decompress(idat)
    stride = w * bpp
    rows, prev = [], bytearray(stride)
    for y in range(h):
        f = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if f == 1:
                line[i] = (line[i] + a) & 255
            elif f == 2:
                line[i] = (line[i] + b) & 255
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 255
        rows.append(bytes(line) if bpp == 3 else bytes(v for j, v in enumerate(line) if j % 4 != 3))
        prev = line
    return w, h, rows


def write_png(path, size, rgba):
    raw = b"".join(b"\x00" + bytes(rgba[y * size * 4:(y + 1) * size * 4]) for y in range(size))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png)


def to_linear(v):
    c = v / 255.0
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


def to_srgb(c):
    c = min(max(c, 0.0), 1.0)
    s = c * 12.92 if c <= 0.0031308 else 1.055 * c ** (1 / 2.4) - 0.055
    return int(s * 255 + 0.5)


LINEAR = [to_linear(v) for v in range(256)]


def weights(src, dst):
    """For each output pixel, (first source pixel, [coverage, ...]) summing to 1."""
    scale = src / dst
    out = []
    for i in range(dst):
        lo, hi = i * scale, (i + 1) * scale
        first = int(lo)
        ws, x = [], first
        while x < hi:
            ws.append((min(hi, x + 1) - max(lo, x)) / scale)
            x += 1
        out.append((first, ws))
    return out


def shrink(square, side, size):
    """square: side rows of side*3 linear floats; area average to size x size."""
    wx = weights(side, size)
    cols = []
    for row in square:
        line = []
        for first, ws in wx:
            for ch in range(3):
                line.append(sum(w * row[(first + k) * 3 + ch] for k, w in enumerate(ws)))
        cols.append(line)
    result = []
    for first, ws in wx:
        line = [0.0] * (size * 3)
        for k, w in enumerate(ws):
            src = cols[first + k]
            for i in range(size * 3):
                line[i] += w * src[i]
        result.append(line)
    return result


def corner_alpha(size, x, y):
    """Coverage of pixel (x, y) by a square with rounded corners, 4 x 4 samples."""
    r = CORNER * size
    inside = 0
    for sy in range(4):
        for sx in range(4):
            px, py = x + (sx + 0.5) / 4, y + (sy + 0.5) / 4
            dx = max(r - px, px - (size - r), 0.0)
            dy = max(r - py, py - (size - r), 0.0)
            inside += dx * dx + dy * dy <= r * r
    return (inside * 255 + 8) // 16


def main():
    binary = sys.argv[1] if len(sys.argv) > 1 else "build/vallup"
    if not os.path.isdir("data"):
        sys.exit("run from the repository root (the frame needs data/)")
    with tempfile.TemporaryDirectory() as tmp:
        frame = os.path.join(tmp, "frame.png")
        subprocess.run([binary, "--frame", TIME, "--size", f"{RENDER[0]}x{RENDER[1]}",
                        "--out", frame], check=True, stdout=subprocess.DEVNULL)
        w, h, rows = read_png(frame)
    if (w, h) != RENDER:
        sys.exit(f"frame is {w}x{h}, expected {RENDER[0]}x{RENDER[1]}")
    for size in SIZES:
        side = CROP_LARGE if size > 48 else CROP_SMALL
        left, top = BALL[0] - side // 2, BALL[1] - side // 2
        square = [[LINEAR[v] for v in rows[top + y][left * 3:(left + side) * 3]]
                  for y in range(side)]
        pixels = shrink(square, side, size)
        rgba = bytearray()
        for y in range(size):
            for x in range(size):
                rgba += bytes(to_srgb(pixels[y][x * 3 + ch]) for ch in range(3))
                rgba.append(corner_alpha(size, x, y))
        path = f"{OUT}/{size}x{size}/apps/vallup.png"
        write_png(path, size, rgba)
        print(path)


if __name__ == "__main__":
    main()
