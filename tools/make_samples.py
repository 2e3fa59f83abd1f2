#!/usr/bin/env python3
"""Writes the demo images of samples/ from nothing but arithmetic.

Run from the project root: python3 tools/make_samples.py [OUTDIR]
The files are committed; run this again only to change them. Only the JPEG
needs Pillow (Debian's python3-pil); everything else uses the standard library.
"""
import math
import os
import struct
import sys
import zlib


def hsv(h, s, v):
    i = int(h * 6) % 6
    f = h * 6 - int(h * 6)
    p, q, t = v * (1 - s), v * (1 - f * s), v * (1 - (1 - f) * s)
    r, g, b = [(v, t, p), (q, v, p), (p, v, t), (p, q, v), (t, p, v), (v, p, q)][i]
    return int(r * 255 + 0.5), int(g * 255 + 0.5), int(b * 255 + 0.5)


def chart(w, h):
    """Hue across, brightness down, with a grey strip at the bottom."""
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            if y >= h * 4 // 5:
                g = x * 255 // (w - 1)
                row.append((g, g, g))
            else:
                v = 1.0 - 0.7 * y / (h * 4 // 5)
                row.append(hsv(x / w, 0.85, v))
        rows.append(row)
    return rows


def bmp24(path, rows):
    h, w = len(rows), len(rows[0])
    pad = (4 - (w * 3) % 4) % 4
    data = b''.join(bytes(c for px in row for c in (px[2], px[1], px[0])) + b'\0' * pad for row in reversed(rows))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    open(path, 'wb').write(header + info + data)


def bmp8(path, indices, palette, os2=False):
    h, w = len(indices), len(indices[0])
    pad = (4 - w % 4) % 4
    data = b''.join(bytes(row) + b'\0' * pad for row in reversed(indices))
    if os2:
        pal = b''.join(bytes((b, g, r)) for r, g, b in palette)
        info = struct.pack('<IHHHH', 12, w, h, 1, 8)
    else:
        pal = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
        info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 8, 0, len(data), 2835, 2835, 0, 0)
    offset = 14 + len(info) + len(pal)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    open(path, 'wb').write(header + info + pal + data)


def tga(path, image_type, w, h, pixels, top_left=False, colour_map=None):
    """pixels: bytes in stored order (rows already arranged for the origin)."""
    cmap = b''
    if colour_map:
        cmap = b''.join(bytes((b, g, r)) for r, g, b in colour_map)
        head = struct.pack('<BBBHHBHHHHBB', 0, 1, image_type, 0, len(colour_map), 24, 0,
                           h if top_left else 0, w, h, 8, 0x20 if top_left else 0)
    else:
        depth = 24 if image_type == 2 else 8
        head = struct.pack('<BBBHHBHHHHBB', 0, 0, image_type, 0, 0, 0, 0,
                           h if top_left else 0, w, h, depth, 0x20 if top_left else 0)
    open(path, 'wb').write(head + cmap + pixels)


def png_grey16(path, rows):
    """rows: lists of 0 … 65535, written big-endian, one filter byte (none) a row."""
    h, w = len(rows), len(rows[0])

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))

    raw = b''.join(b'\0' + struct.pack('>%dH' % w, *row) for row in rows)
    ihdr = struct.pack('>IIBBBBB', w, h, 16, 0, 0, 0, 0)
    open(path, 'wb').write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + chunk(b'IDAT', zlib.compress(raw, 9))
                           + chunk(b'IEND', b''))


def photo(w, h):
    """A made-up landscape: sky, sun, two rows of hills, a lake, a little grain."""
    seed = 12345

    def grain():
        nonlocal seed
        seed = (seed * 1103515245 + 12345) & 0x7fffffff
        return (seed >> 16) % 9 - 4

    def ridge(x, base, waves):
        return base + sum(a * math.sin(x * f + p) for a, f, p in waves)

    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            far = ridge(x, h * 0.45, [(h * 0.05, 0.021, 0.3), (h * 0.02, 0.07, 1.1)])
            near = ridge(x, h * 0.62, [(h * 0.06, 0.013, 2.0), (h * 0.015, 0.11, 0.5)])
            if y > h * 0.8:  # the lake mirrors the sky, darker
                t = (y - h * 0.8) / (h * 0.2)
                c = (40 + 30 * t, 80 + 40 * t, 120 + 20 * t + 10 * math.sin(y * 1.3 + x * 0.05))
            elif y > near:
                t = (y - near) / (h * 0.8 - near + 1)
                c = (50 + 30 * t, 95 - 20 * t, 35)
            elif y > far:
                c = (90, 110, 125)
            else:
                t = y / (h * 0.45)
                c = (110 + 120 * t, 160 + 70 * t, 235 - 10 * t)
                d = math.hypot(x - w * 0.72, y - h * 0.2)
                if d < h * 0.08:
                    c = (255, 245, 200)
                elif d < h * 0.2:
                    k = 1 - (d - h * 0.08) / (h * 0.12)
                    c = tuple(v + (255 - v) * 0.6 * k for v in c)
            n = grain()
            row.append(tuple(max(0, min(255, int(v) + n)) for v in c))
        rows.append(row)
    return rows


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else 'samples'
    os.makedirs(out, exist_ok=True)

    bmp24(os.path.join(out, 'chart24.bmp'), chart(240, 150))

    # 8-bit: a 256-colour rainbow palette and rings of it.
    palette = [hsv(i / 256, 0.9, 0.35 + 0.65 * ((i // 32) % 2 and 1.0 or 0.8)) for i in range(256)]
    w, h = 200, 120
    rings = [[int(math.hypot(x - w / 2, y - h / 2) * 3) % 256 for x in range(w)] for y in range(h)]
    bmp8(os.path.join(out, 'palette8.bmp'), rings, palette)

    # OS/2 core header, 8 bits, a 64-step warm ramp.
    warm = [(min(255, i * 2), i, max(0, 128 - i // 2)) for i in range(256)]
    w, h = 160, 96
    ramp = [[(x + y) * 255 // (w + h - 2) for x in range(w)] for y in range(h)]
    bmp8(os.path.join(out, 'os2.bmp'), ramp, warm, os2=True)

    # Grey TGA, bottom-left origin: a radial gradient.
    w, h = 256, 128
    grey = [[max(0, 255 - int(math.hypot(x - w / 2, (y - h / 2) * 2))) for x in range(w)] for y in range(h)]
    tga(os.path.join(out, 'grey.tga'), 3, w, h, b''.join(bytes(r) for r in reversed(grey)))

    # Colour-mapped TGA with 256 entries of 24 bits.
    w, h = 200, 100
    stripes = [[(x // 4 + y // 10 * 16) % 256 for x in range(w)] for y in range(h)]
    tga(os.path.join(out, 'mapped.tga'), 1, w, h, b''.join(bytes(r) for r in reversed(stripes)),
        colour_map=palette)

    # True-colour TGA, top-left origin.
    rows = chart(300, 150)
    tga(os.path.join(out, 'truecolor.tga'), 2, 300, 150,
        b''.join(bytes(c for px in row for c in (px[2], px[1], px[0])) for row in rows), top_left=True)

    # A 4-bit bitmap: reported and refused.
    w, h = 32, 16
    pal16 = [hsv(i / 16, 0.8, 0.9) for i in range(16)]
    stride = ((w * 4 + 31) // 32) * 4
    data = b''.join(bytes(((x // 2) % 16) << 4 | ((x // 2 + 1) % 16) for x in range(0, w, 2)).ljust(stride, b'\0')
                    for _ in range(h))
    palb = b''.join(bytes((b, g, r, 0)) for r, g, b in pal16)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 4, 0, len(data), 2835, 2835, 16, 0)
    offset = 14 + 40 + len(palb)
    open(os.path.join(out, 'colours16.bmp'), 'wb').write(
        struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset) + info + palb + data)

    # 16-bit grey PNG: a ramp across, with a fine step down the rows, so every
    # point differs in its low byte too (8-bit readers would show bands).
    w, h = 256, 128
    png_grey16(os.path.join(out, 'grey16.png'),
               [[min(65535, x * 256 + y * 2) for x in range(w)] for y in range(h)])

    # A photo-like JPEG (Pillow).
    from PIL import Image
    w, h = 320, 200
    picture = Image.new('RGB', (w, h))
    picture.putdata([px for row in photo(w, h) for px in row])
    picture.save(os.path.join(out, 'photo.jpg'), quality=90)


if __name__ == '__main__':
    main()
