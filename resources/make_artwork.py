# Writes the game's artwork next to this file: background.png and
# background@2x.png (the board behind the frameless window, for the browser),
# background.bmp and background@2x.bmp (the same for Windows, which loads a
# bitmap resource without any decoder), background-plain.bmp and
# background-plain@2x.bmp (the same again, uncompressed, for Qt), gridlark.ico
# (application icon), blank.ico (empty window icon) and icons/gridlark-*.png.
# Re-run after changing the drawing:  /usr/bin/python3 resources/make_artwork.py
# Needs Pillow. Output is deterministic, so the files can live in git.

import os
import struct

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 8  # supersampling factor; edges that sit on whole pixels stay crisp

BOARD = (176, 180, 180)
EDGE = (128, 134, 134)
STRIP = (80, 86, 86)
STRIP_LINE = (62, 67, 67)
INK = (0, 0, 0)


class Canvas:
    """Draws in output-pixel coordinates on a supersampled RGBA image."""

    def __init__(self, w, h):
        self.img = Image.new("RGBA", (w * SS, h * SS))
        self.d = ImageDraw.Draw(self.img)

    def rect(self, x0, y0, x1, y1, fill, radius=0):
        box = [round(x0 * SS), round(y0 * SS), round(x1 * SS) - 1, round(y1 * SS) - 1]
        if radius:
            self.d.rounded_rectangle(box, round(radius * SS), fill=fill)
        else:
            self.d.rectangle(box, fill=fill)

    def line(self, x0, y0, x1, y1, width, fill):
        pts = [(x0 * SS, y0 * SS), (x1 * SS, y1 * SS)]
        self.d.line(pts, fill=fill, width=round(width * SS))
        r = width * SS / 2  # round caps
        for x, y in pts:
            self.d.ellipse([x - r, y - r, x + r, y + r], fill=fill)

    def ring(self, cx, cy, radius, width, fill):
        r = radius * SS
        box = [cx * SS - r, cy * SS - r, cx * SS + r, cy * SS + r]
        self.d.ellipse(box, outline=fill, width=round(width * SS))

    def result(self):
        return self.img.reduce(SS)


# ---- background -----------------------------------------------------------

def draw_background(k):
    """Board picture at k times the 188 x 240 layout (1 px = 15 twips)."""
    c = Canvas(188 * k, 240 * k)
    s = lambda *v: [a * k for a in v]
    c.rect(*s(0, 0, 188, 184), fill=EDGE)           # 1 px outline for the frameless window
    c.rect(*s(1, 1, 187, 184), fill=BOARD)
    c.rect(*s(0, 184, 188, 240), fill=STRIP)
    c.rect(*s(0, 184, 188, 185), fill=STRIP_LINE)
    # Strokes sit in the gaps between the cells (cells: x 16.4/73.9/131.4 +41,
    # y 16/72/128 +40), aligned to whole pixels so they stay sharp at 1x.
    for x0 in (64, 122):
        c.line(*s(x0 + 1.5, 13.5, x0 + 1.5, 170.5), width=3 * k, fill=INK)
    for y0 in (63, 119):
        c.line(*s(13.5, y0 + 1.5, 170.5, y0 + 1.5), width=3 * k, fill=INK)
    return c.result().convert("RGB")


# ---- icon -------------------------------------------------------------------

TILE = (246, 244, 236, 255)
TILE_EDGE = (112, 120, 132, 255)
GRID = (70, 78, 92, 255)
RED = (210, 40, 40, 255)
BLUE = (30, 96, 210, 255)
MARKS = ((0, 0, "x"), (2, 0, "o"), (1, 1, "x"), (0, 2, "o"), (2, 2, "x"))

# size: (board inset m, cell c, grid line width w), 2*m + 3*c + 2*w == size
LAYOUT = {16: None, 32: (2, 8, 2), 48: (3, 12, 3), 256: (20, 64, 12)}

# At 16 px antialiased marks turn to mush, so that size is placed pixel by pixel:
# . tile, # grid, x cross, o nought, q softened nought corner, space transparent.
ICON16 = (
    " .............. ",
    ".x.x.#....#.qoq.",
    "..x..#....#.o.o.",
    ".x.x.#....#.qoq.",
    ".....#....#.....",
    ".##############.",
    ".....#x..x#.....",
    ".....#.xx.#.....",
    ".....#.xx.#.....",
    ".....#x..x#.....",
    ".##############.",
    ".....#....#.....",
    ".qoq.#....#.x.x.",
    ".o.o.#....#..x..",
    ".qoq.#....#.x.x.",
    " .............. ",
)


def mix(a, b, t):
    return tuple(round(u + (v - u) * t) for u, v in zip(a, b))


def draw_icon(size):
    if size == 16:
        ink = {".": TILE, "#": GRID, "x": RED, "o": BLUE, "q": mix(BLUE, TILE, 0.5),
               " ": (0, 0, 0, 0)}
        assert len(ICON16) == 16 and all(len(row) == 16 for row in ICON16)
        img = Image.new("RGBA", (16, 16))
        img.putdata([ink[ch] for row in ICON16 for ch in row])
        return img
    m, cell, w = LAYOUT[size]
    assert 2 * m + 3 * cell + 2 * w == size
    c = Canvas(size, size)
    edge = max(1, size // 40)
    c.rect(0, 0, size, size, TILE_EDGE, radius=size * 0.2)
    c.rect(edge, edge, size - edge, size - edge, TILE, radius=size * 0.2 - edge)
    inset = m + round(cell * 0.12)  # grid stops short of the tile edge, like a drawn board
    for i in (1, 2):
        p = m + i * cell + (i - 1) * w
        c.rect(p, inset, p + w, size - inset, GRID)
        c.rect(inset, p, size - inset, p + w, GRID)
    for col, row, mark in MARKS:
        x0, y0 = m + col * (cell + w), m + row * (cell + w)
        pad, stroke = cell * 0.125, w  # marks as heavy as the grid
        if mark == "x":
            a, b = pad + stroke / 2, cell - pad - stroke / 2
            c.line(x0 + a, y0 + a, x0 + b, y0 + b, stroke, RED)
            c.line(x0 + a, y0 + b, x0 + b, y0 + a, stroke, RED)
        else:
            r = (cell - stroke) / 2 - pad
            c.ring(x0 + cell / 2, y0 + cell / 2, r + stroke / 2, stroke, BLUE)
    return c.result()


# ---- ICO writer -------------------------------------------------------------

def pad4(row):
    return row + b"\0" * (-len(row) % 4)


def and_mask(img):
    """1 = transparent; rows bottom-up, padded to 4 bytes."""
    w, h = img.size
    alpha = img.getchannel("A").load()
    out = b""
    for y in reversed(range(h)):
        bits = [1 if alpha[x, y] < 128 else 0 for x in range(w)]
        row = bytes(int("".join(map(str, bits[i:i + 8])).ljust(8, "0"), 2)
                    for i in range(0, w, 8))
        out += pad4(row)
    return out


def palette16():
    # Hand-picked: the drawing's own colours and their blends into the tile, so
    # antialiased rims map to sensible shades instead of whatever median cut picks.
    base = [TILE[:3], TILE_EDGE[:3], GRID[:3], RED[:3], BLUE[:3]]
    return base + [mix(c, TILE[:3], t) for c in base[1:] for t in (0.35, 0.7)]


def indexed(img, bpp):
    """Palette (RGBQUADs) and packed XOR rows; index 0 stays black for see-through."""
    w, h = img.size
    opaque = [a >= 128 for a in img.getchannel("A").getdata()]
    if bpp == 4:
        pal = palette16()
        near = lambda c: min(range(len(pal)),
                             key=lambda i: sum((u - v) ** 2 for u, v in zip(c, pal[i])))
        idx = [near(c) for c in img.convert("RGB").getdata()]
    else:
        # Quantise only what will show; see-through pixels borrow the rim colour.
        rgb = Image.new("RGB", img.size, TILE_EDGE[:3])
        rgb.paste(img.convert("RGB"), mask=img.getchannel("A").point(lambda a: 255 * (a >= 128)))
        q = rgb.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
        p = q.getpalette()
        pal = [tuple(p[i:i + 3]) for i in range(0, len(p), 3)][:255]
        idx = list(q.getdata())
    pal = [(0, 0, 0)] + pal + [(0, 0, 0)] * ((1 << bpp) - 1 - len(pal))
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in pal)
    rows = b""
    for y in reversed(range(h)):
        px = [idx[y * w + x] + 1 if opaque[y * w + x] else 0 for x in range(w)]
        if bpp == 4:
            px += [0] * (len(px) % 2)
            row = bytes(px[i] << 4 | px[i + 1] for i in range(0, len(px), 2))
        else:
            row = bytes(px)
        rows += pad4(row)
    return palette, rows


def bgra(img):
    return img.transpose(Image.Transpose.FLIP_TOP_BOTTOM).tobytes("raw", "BGRA")


def write_ico(path, entries):
    """entries: (size, bpp, palette, xor, mask) in file order."""
    head = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    dirs, blobs = b"", b""
    for size, bpp, palette, xor, mask in entries:
        bih = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0,
                          len(xor) + len(mask), 0, 0, 0, 0)
        blob = bih + palette + xor + mask
        dirs += struct.pack("<BBBBHHII", size % 256, size % 256, 16 if bpp == 4 else 0,
                            0, 1, bpp, len(blob), offset)
        blobs += blob
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(head + dirs + blobs)


def write_rle8_bmp(path, img):
    """An 8-bit bitmap compressed with run lengths (BI_RLE8), rows bottom-up."""
    palette = img.getpalette()
    colours = len(palette) // 3
    width, height = img.size
    pixels = img.tobytes()
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = pixels[y * width:(y + 1) * width]
        x = 0
        while x < width:
            n = 1
            while x + n < width and n < 255 and row[x + n] == row[x]:
                n += 1
            data += bytes((n, row[x]))
            x += n
        data += b"\0\0"  # end of line
    data[-2:] = b"\0\1"  # end of bitmap
    table = b"".join(bytes((palette[3 * i + 2], palette[3 * i + 1], palette[3 * i], 0))
                     for i in range(colours))
    offset = 14 + 40 + len(table)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset))
        f.write(struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(data), 2835, 2835,
                            colours, 0))
        f.write(table + bytes(data))


def write_plain_bmp(path, img):
    """An uncompressed 8-bit bitmap, rows top-down: its pixels can be copied as they are."""
    palette = img.getpalette()
    colours = len(palette) // 3
    width, height = img.size
    stride = (width + 3) & ~3
    pixels = img.tobytes()
    data = b"".join(pixels[y * width:(y + 1) * width].ljust(stride, b"\0") for y in range(height))
    table = b"".join(bytes((palette[3 * i + 2], palette[3 * i + 1], palette[3 * i], 0))
                     for i in range(colours))
    offset = 14 + 40 + len(table)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset))
        f.write(struct.pack("<IiiHHIIiiII", 40, width, -height, 1, 8, 0, len(data), 2835, 2835,
                            colours, 0))
        f.write(table + data)


ICO_ORDER = [(s, bpp) for bpp in (4, 8, 32) for s in (48, 32, 16)]


def main():
    for k, name in ((1, "background"), (2, "background@2x")):
        img = draw_background(k)
        img.save(os.path.join(HERE, name + ".png"), optimize=True)
        # A few dozen shades in flat areas: 8 bits per pixel keep them all, and run lengths,
        # which Windows decodes itself, shrink the rows to a few runs each.
        quantized = img.quantize(256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
        write_rle8_bmp(os.path.join(HERE, name + ".bmp"), quantized)
        # For Qt: its image reader loads every image plugin to ask what it reads, which costs
        # more than the whole picture; these pixels are copied, not decoded.
        write_plain_bmp(os.path.join(HERE, name.replace("background", "background-plain") + ".bmp"),
                        quantized)

    icons = {s: draw_icon(s) for s in LAYOUT}
    os.makedirs(os.path.join(HERE, "icons"), exist_ok=True)
    for s, img in icons.items():
        img.save(os.path.join(HERE, "icons", "gridlark-%d.png" % s))

    entries, blank = [], []
    for s, bpp in ICO_ORDER:
        img = icons[s]
        if bpp == 32:
            palette, xor = b"", bgra(img)
        else:
            palette, xor = indexed(img, bpp)
        entries.append((s, bpp, palette, xor, and_mask(img)))
        # Blank: zero colour data, every mask bit set, so nothing shows.
        blank.append((s, bpp, b"\0" * len(palette), b"\0" * len(xor),
                      b"\xff" * len(and_mask(img))))
    write_ico(os.path.join(HERE, "gridlark.ico"), entries)
    write_ico(os.path.join(HERE, "blank.ico"), blank)


if __name__ == "__main__":
    main()
