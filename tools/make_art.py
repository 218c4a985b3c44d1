#!/usr/bin/env python3
"""Draws Wordpour's pictures: the about box's 65 x 65 bitmap (8 bits per pixel,
256-colour palette, uncompressed BMP, 3780 pixels per metre), the program's
icon at 32 x 32 and 16 x 16 (PNG, and one Windows .ico holding both sizes in
16 colours), and the desktop icons: PNG at 16 to 256 pixels and one scalable
SVG, all from the same shapes. The picture: a word, as a blue tile, pouring
down a stream into a column of cells that is filling from the top.

Usage: tools/make_art.py [OUTPUT_DIR]   (default: app/resources; the desktop
icons go to its subfolder icons/)
Standard library only, so anyone can remake the files."""
import os
import struct
import sys
import zlib

WHITE, GRID, FILLED, TILE, STREAM, INK, SHADE = range(7)
PALETTE = {
    WHITE: (255, 255, 255), GRID: (150, 160, 175), FILLED: (205, 225, 250),
    TILE: (40, 90, 200), STREAM: (90, 150, 235), INK: (255, 255, 255), SHADE: (225, 230, 238),
}


def shapes():
    """The picture as rectangles on a 65 x 65 grid: (x0, y0, x1, y1, colour),
    painted in order."""
    out = [(0, 0, 65, 65, WHITE)]

    def rect(x0, y0, x1, y1, colour):
        out.append((x0, y0, x1, y1, colour))

    # The column of cells: five rows, the top three already filled.
    left, right, top, row = 34, 60, 8, 11
    rect(left, top, right, top + 5 * row, SHADE)
    for i in range(5):
        if i < 3:
            rect(left, top + i * row, right, top + (i + 1) * row, FILLED)
    for i in range(6):
        rect(left, top + i * row, right + 1, top + i * row + 1, GRID)
    rect(left, top, left + 1, top + 5 * row + 1, GRID)
    rect(right, top, right + 1, top + 5 * row + 1, GRID)

    # The word: a tile at the top left, with two white strokes for letters.
    rect(3, 4, 25, 18, TILE)
    rect(7, 8, 12, 14, INK)
    rect(15, 8, 21, 14, INK)
    # The stream it pours in, bending down into the first empty cell.
    rect(25, 9, 30, 13, STREAM)
    rect(27, 13, 31, 42, STREAM)
    rect(27, 41, 36, 45, STREAM)
    # The arrow head at the cell.
    for k in range(4):
        rect(36 + k, 39 + k, 37 + k, 47 - k, STREAM)
    return out


def draw(size):
    """The picture at `size` x `size`, as rows of palette indices, top row first."""
    px = [[WHITE] * size for _ in range(size)]
    s = size / 65.0
    for x0, y0, x1, y1, colour in shapes():
        for y in range(max(0, round(y0 * s)), min(size, round(y1 * s))):
            for x in range(max(0, round(x0 * s)), min(size, round(x1 * s))):
                px[y][x] = colour
    return px


def write_svg(path):
    rects = "".join(
        f'  <rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" '
        f'fill="#{"%02x%02x%02x" % PALETTE[colour]}"/>\n'
        for x0, y0, x1, y1, colour in shapes())
    with open(path, "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n'
                '<svg xmlns="http://www.w3.org/2000/svg" width="65" height="65" '
                'viewBox="0 0 65 65" shape-rendering="crispEdges">\n'
                '  <title>Wordpour</title>\n' + rects + '</svg>\n')


def write_bmp(path, px):
    size = len(px)
    stride = (size + 3) // 4 * 4
    palette = b"".join(
        struct.pack("<BBBB", *reversed(PALETTE.get(i, (0, 0, 0))), 0) for i in range(256))
    pixels = b"".join(bytes(row) + b"\0" * (stride - size) for row in reversed(px))
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 8, 0, len(pixels), 3780, 3780, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + pixels)


def write_png(path, px):
    size = len(px)
    raw = b"".join(b"\0" + b"".join(bytes(PALETTE[c]) for c in row) for row in px)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def write_ico(path, images):
    """One icon resource: each image 4 bits per pixel with a 16-colour palette,
    opaque (its AND mask all zero)."""
    palette = b"".join(
        struct.pack("<BBBB", *reversed(PALETTE.get(i, (0, 0, 0))), 0) for i in range(16))
    blobs = []
    for px in images:
        size = len(px)
        stride = (size // 2 + 3) // 4 * 4
        rows = []
        for row in reversed(px):
            packed = bytes((row[x] << 4) | row[x + 1] for x in range(0, size, 2))
            rows.append(packed + b"\0" * (stride - len(packed)))
        mask_stride = (size // 8 + 3) // 4 * 4
        mask = b"\0" * (mask_stride * size)
        pixels = b"".join(rows)
        info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(pixels) + len(mask),
                           0, 0, 16, 0)
        blobs.append((size, info + palette + pixels + mask))
    offset = 6 + 16 * len(blobs)
    directory = struct.pack("<HHH", 0, 1, len(blobs))
    for size, blob in blobs:
        directory += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(directory + b"".join(blob for _, blob in blobs))


# The hicolor theme's sizes the desktop icon comes in.
DESKTOP_SIZES = (16, 24, 32, 48, 64, 128, 256)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join("app", "resources")
    os.makedirs(out, exist_ok=True)
    write_bmp(os.path.join(out, "about.bmp"), draw(65))
    for size in (16, 32):
        write_png(os.path.join(out, f"wordpour-{size}.png"), draw(size))
    write_ico(os.path.join(out, "wordpour.ico"), [draw(32), draw(16)])
    icons = os.path.join(out, "icons")
    os.makedirs(icons, exist_ok=True)
    for size in DESKTOP_SIZES:
        write_png(os.path.join(icons, f"wordpour-{size}.png"), draw(size))
    write_svg(os.path.join(icons, "wordpour.svg"))


if __name__ == "__main__":
    main()
