#!/usr/bin/env python3
"""Draws Tessivox's pictures and writes them into res/:

  skin.bmp     the progress strip's skin: 90 x 16, 8 bits per pixel, nine 10 x 16 tiles
  loading.ani  the folder tree's loading animation: 8 frames, 8 steps, 32 x 32
  tessivox.ico the program icon: a camera with a rename arrow, 16, 20, 24, 32, 40,
               48, 64 and 256 pixels (the 256 one PNG-compressed, as Windows takes it)

Run it from anywhere: python3 tools/make_assets.py. Only the standard library is used.
"""
import math
import os
import struct
import zlib

RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")
MASK_CYAN = (0, 255, 255)

# ---------------------------------------------------------------- skin ----

TILE_W, TILE_H = 10, 16


def track_colour(y):
    # a grey band that lightens from top to bottom, with a darker top edge
    if y == 0:
        return (128, 128, 128)
    g = 176 + y * 4
    return (g, g, g)


def capsule_colour(y):
    # dark blue top edge, lighter blue towards the bottom, glossy upper half,
    # dark grey shadow line below, track underneath
    if y == 0:
        return None
    if y == 1:
        return (16, 48, 128)
    if y <= 6:
        k = y - 2
        return (96 + k * 14, 150 + k * 10, 235 + k * 4)
    if y <= 12:
        k = y - 7
        return (40 + k * 12, 90 + k * 14, 190 + k * 10)
    if y == 13:
        return (70, 70, 70)
    return None


def capsule_tile(kind):
    rows = []
    for y in range(TILE_H):
        row = []
        for x in range(TILE_W):
            c = capsule_colour(y)
            inside = c is not None
            if inside and kind in ("start", "end"):
                # round the outer corners: distance from the cap's outer edge
                edge = x if kind == "start" else TILE_W - 1 - x
                top, bottom = 1, 13
                dy = min(y - top, bottom - y)
                if edge + dy < 2:
                    inside = False
                if kind == "end" and edge == 0 and top < y < bottom:
                    c = (70, 70, 70)  # the end cap's shadow
            row.append(c if inside else track_colour(y))
        rows.append(row)
    return rows


def track_tile():
    return [[track_colour(y) for _ in range(TILE_W)] for y in range(TILE_H)]


def skin_pixels():
    tiles = [
        track_tile(),            # 0 track start
        track_tile(),            # 1 track before fill
        capsule_tile("start"),   # 2 fill start
        capsule_tile("body"),    # 3 fill mark
        capsule_tile("body"),    # 4 fill body
        capsule_tile("end"),     # 5 fill end
        track_tile(),            # 6 track after fill
        track_tile(),            # 7 track body
        track_tile(),            # 8 track end
    ]
    return [[c for t in tiles for c in t[y]] for y in range(TILE_H)]


def write_bmp8(path, pixels):
    h, w = len(pixels), len(pixels[0])
    palette = sorted({c for row in pixels for c in row})
    assert len(palette) <= 256 and MASK_CYAN not in palette
    index = {c: i for i, c in enumerate(palette)}
    stride = (w + 3) & ~3
    bits = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytes(index[c] for c in row)
        bits += line + b"\0" * (stride - w)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    pal += b"\0" * (4 * (256 - len(palette)))
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(bits), 2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + pal + bits)


# ------------------------------------------------- 32-bit icon images ----

def dib32(rgba_rows):
    """A 32-bit DIB with its AND mask, as icon and cursor files hold it."""
    h, w = len(rgba_rows), len(rgba_rows[0])
    info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(rgba_rows):
        for (r, g, b, a) in row:
            xor += struct.pack("<BBBB", b, g, r, a)
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rgba_rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return info + bytes(xor) + bytes(mask)


def png(rgba_rows):
    """A PNG of 8-bit RGBA, each row unfiltered."""
    h, w = len(rgba_rows), len(rgba_rows[0])

    def chunk(tag, data):
        return (struct.pack(">I", len(data)) + tag + data +
                struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))

    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rgba_rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def icon_file(images, kind=1, hotspot=(0, 0)):
    """An .ico (kind 1) or .cur (kind 2) file from (size, dib) pairs."""
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, dib in images:
        p1, p2 = (1, 32) if kind == 1 else hotspot
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, p1, p2, len(dib), offset)
        offset += len(dib)
        body += dib
    return out + body


def blank(n):
    return [[(0, 0, 0, 0) for _ in range(n)] for _ in range(n)]


def disc(img, cx, cy, r, colour):
    n = len(img)
    for y in range(n):
        for x in range(n):
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                img[y][x] = colour + (255,)


def rect(img, x0, y0, x1, y1, colour):
    for y in range(max(0, y0), min(len(img), y1)):
        for x in range(max(0, x0), min(len(img), x1)):
            img[y][x] = colour + (255,)


# ------------------------------------------------------ loading cursor ----

def spinner_frame(step, n=32):
    img = blank(n)
    for k in range(8):
        angle = 2 * math.pi * (k / 8) - math.pi / 2
        cx = n / 2 + math.cos(angle) * 10
        cy = n / 2 + math.sin(angle) * 10
        age = (step - k) % 8  # 0: the head of the spin
        shade = min(40 + age * 28, 230)
        disc(img, cx, cy, 3.2 - age * 0.2, (shade, shade, min(255, shade + 40)))
    return img


def write_ani(path, frames=8):
    def chunk(tag, data):
        pad = b"\0" if len(data) % 2 else b""
        return tag + struct.pack("<I", len(data)) + data + pad

    anih = struct.pack("<9I", 36, frames, frames, 0, 0, 0, 0, 8, 1)
    icons = b"".join(
        chunk(b"icon", icon_file([(32, dib32(spinner_frame(i)))], kind=2, hotspot=(16, 16)))
        for i in range(frames))
    fram = chunk(b"LIST", b"fram" + icons)
    body = b"ACON" + chunk(b"anih", anih) + fram
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


# ------------------------------------------------------- program icon ----

def camera_icon(n):
    s = n / 32
    img = blank(n)
    body = (52, 58, 70)
    rect(img, int(3 * s), int(9 * s), int(29 * s), int(26 * s), body)
    rect(img, int(10 * s), int(6 * s), int(20 * s), int(10 * s), body)
    disc(img, 16 * s, 17 * s, 6.5 * s, (200, 210, 225))
    disc(img, 16 * s, 17 * s, 4.5 * s, (40, 110, 210))
    disc(img, 14.5 * s, 15.5 * s, 1.5 * s, (220, 235, 255))
    rect(img, int(23 * s), int(11 * s), int(27 * s), int(13 * s), (250, 200, 60))
    # the rename mark: an orange arrow along the bottom
    orange = (240, 120, 20)
    rect(img, int(4 * s), int(28 * s), int(24 * s), int(30 * s), orange)
    for i in range(int(4 * s) + 1):
        rect(img, int(24 * s) + i, int(26 * s) + i, int(25 * s) + i, int(32 * s) - i, orange)
    return img


def main():
    os.makedirs(RES, exist_ok=True)
    write_bmp8(os.path.join(RES, "skin.bmp"), skin_pixels())
    write_ani(os.path.join(RES, "loading.ani"))
    # One image for each size a monitor's scale asks for, up to Explorer's largest view.
    sizes = (16, 20, 24, 32, 40, 48, 64, 256)
    images = [(n, png(camera_icon(n)) if n == 256 else dib32(camera_icon(n))) for n in sizes]
    with open(os.path.join(RES, "tessivox.ico"), "wb") as f:
        f.write(icon_file(images))


if __name__ == "__main__":
    main()
