#!/usr/bin/env python3
"""Draws the six tab icons of the preferences window, the log viewer's five row
icons, the tray program's icon and the viewers' sort arrows.

Each icon holds a 16 x 16 and a 32 x 32 image, 32-bit colour with alpha and an
AND mask, drawn from the same shapes in the logo's two colours: gold bodies with
a navy outline and navy details. Plain Python, no imaging library, so the icons
can be redrawn on any machine:

    python3 tools/icons/draw_icons.py            # writes resources/icons/*.ico
                                                 # and resources/sort_arrows.bmp
    python3 tools/icons/draw_icons.py --preview DIR   # also enlarged PNGs in DIR

The sort arrows are a 24-bit bitmap instead: the header's image list is a
device-dependent one that takes magenta as its mask colour, so the arrows are
drawn hard-edged, with no pixel blended towards magenta.
"""

import math
import os
import struct
import sys
import zlib

NAVY = (31, 78, 121)  # the logo's background
GOLD = (242, 193, 78)  # the logo's disc
WHITE = (255, 255, 255)

SIZES = (16, 32)
SUBSAMPLES = 8  # per pixel and axis, for smooth edges


# Signed distance functions on a 16 x 16 design grid (y down); negative inside.

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def box(x0, y0, x1, y1, r=0.0):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def d(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r
    return d


def segment(ax, ay, bx, by, r):
    def d(x, y):
        px, py, vx, vy = x - ax, y - ay, bx - ax, by - ay
        t = max(0.0, min(1.0, (px * vx + py * vy) / (vx * vx + vy * vy)))
        return math.hypot(px - vx * t, py - vy * t) - r
    return d


def arc(cx, cy, radius, r, start, sweep):
    """A stroke of half width r along a circle, from angle start (degrees,
    clockwise on screen from the +x axis) over sweep degrees, round ends."""
    a0 = math.radians(start)
    a1 = math.radians(start + sweep)
    ends = [(cx + radius * math.cos(a), cy + radius * math.sin(a)) for a in (a0, a1)]

    def d(x, y):
        a = math.atan2(y - cy, x - cx)
        rel = (a - a0) % (2 * math.pi)
        if rel <= math.radians(sweep):
            return abs(math.hypot(x - cx, y - cy) - radius) - r
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - r
    return d


def ellipse(cx, cy, rx, ry):
    """Close enough to a distance near the edge, which is all the strokes need."""
    return lambda x, y: (math.hypot((x - cx) / rx, (y - cy) / ry) - 1) * min(rx, ry)


def ring(shape, r):
    return lambda x, y: abs(shape(x, y)) - r


def polygon(points):
    def d(x, y):
        n = len(points)
        best = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[i - 1]
            vx, vy, px, py = bx - ax, by - ay, x - ax, y - ay
            t = max(0.0, min(1.0, (px * vx + py * vy) / (vx * vx + vy * vy)))
            best = min(best, math.hypot(px - vx * t, py - vy * t))
            if (ay > y) != (by > y) and x < ax + (bx - ax) * (y - ay) / (by - ay):
                inside = not inside
        return -best if inside else best
    return d


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def intersect(a, b):
    return lambda x, y: max(a(x, y), b(x, y))


def minus(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def inset(shape, w):
    return lambda x, y: shape(x, y) + w


def rotated(shape, cx, cy, degrees):
    c, s = math.cos(math.radians(-degrees)), math.sin(math.radians(-degrees))
    return lambda x, y: shape(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c)


# The icons: each returns layers (shape, colour), painted in order.

def outlined(shape, line):
    """A gold body inside a navy line of the given width."""
    return [(shape, NAVY), (inset(shape, line), GOLD)]


def disc_with(glyph, line):
    return outlined(circle(8, 8, 7.9), line) + [(glyph, NAVY)]


def help_icon(line):
    question = union(
        arc(8, 5.9, 2.1, 1.0, 165, 240),
        segment(9.1, 7.7, 8.0, 8.8, 1.0),
        box(7, 8.5, 9, 10),
        box(7, 11, 9, 13, 0.4),
    )
    return disc_with(question, line)


def about_icon(line):
    letter = union(
        box(7, 3, 9, 5, 0.6),
        box(7, 6, 9, 13),
        box(6, 6, 9, 7),
        box(6, 12, 10, 13),
    )
    return disc_with(letter, line)


def general_icon(line):
    teeth = [rotated(box(6.5, 0.3, 9.5, 4.5, 0.3), 8, 8, i * 45) for i in range(8)]
    hole = circle(8, 8, 2.2 if line < 1.0 else 1.6)
    gear = minus(union(circle(8, 8, 5.5), *teeth), hole)
    if line >= 1.0:
        # At 16 pixels an outline inside each tooth only blurs it: solid teeth
        # around an outlined gold ring read better.
        return [(gear, NAVY), (minus(circle(8, 8, 4.5), inset(hole, -line)), GOLD)]
    return outlined(gear, line)


def events_icon(line):
    bell = union(
        circle(8, 6.5, 4.5),
        polygon([(3.5, 6.5), (12.5, 6.5), (13.0, 11.0), (3.0, 11.0)]),
        box(1.0, 10.0, 15.0, 13.0, 1.0),
        circle(8, 2.0, 1.5),
    )
    clapper = box(6.0, 13.0, 10.0, 15.5, 1.5)
    return [(clapper, NAVY)] + outlined(bell, line)


def sources_icon(line):
    folder = union(
        box(1.0, 1.0, 7.5, 5.0, 1.0),
        box(1.0, 3.0, 15.0, 12.0, 1.0),
    )
    flap = box(1.5, 5.0, 14.5, 5.0 + line)
    pipe = union(box(7.0, 11.0, 9.0, 13.0), box(1.0, 13.0, 15.0, 15.0, 0.3))
    return outlined(folder, line) + [(flap, NAVY), (pipe, NAVY)]


def visitors_icon(line):
    """A visitor: a head above a pair of shoulders."""
    head = circle(8, 4.6, 3.4)
    shoulders = intersect(ellipse(8, 16.0, 6.8, 7.0), box(0.5, 9.0, 15.5, 15.5))
    return outlined(head, line) + outlined(shoulders, line)


def folder_back(right):
    """The back of a folder, tab on the left, as on the Sources tab."""
    return union(box(1.0, 2.0, 7.0, 6.0, 1.0), box(1.0, 4.0, right, 14.0, 1.0))


def log_leave_icon(line):
    flap = box(1.5, 6.0, 14.5, 6.0 + line)
    return outlined(folder_back(15.0), line) + [(flap, NAVY)]


def sparkle(cx, cy, long, short, waist):
    """A starburst: four long rays on the axes, four short ones between."""
    corners = []
    for i in range(16):
        a = math.radians(-90 + i * 22.5)
        r = (long if i % 4 == 0 else short) if i % 2 == 0 else waist
        corners.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return polygon(corners)


def log_enter_icon(line):
    # The front leans open, away from the back, and shows the back's dark inside.
    small = line >= 1.0
    back = folder_back(11.0 if small else 13.0)
    inside = box(2.0, 5.0, 10.0 if small else 12.0, 8.0)
    front = polygon([(4.0, 8.0), (15.5, 8.0), (12.5, 14.0), (1.0, 14.0)])
    layers = outlined(back, line) + [(inside, NAVY)]
    if small:
        # Too small for an outlined star: a gold heart with navy rays, on the pixel grid.
        cx, cy = 12.5, 4.5
        rays = union(*[rotated(box(cx - 0.5, cy - 4.5, cx + 0.5, cy + 4.5), cx, cy, a)
                       for a in (0, 90)],
                     *[rotated(box(cx - 0.5, cy - 3.6, cx + 0.5, cy + 3.6), cx, cy, a)
                       for a in (45, 135)])
        star = [(rays, NAVY)] + outlined(circle(cx, cy, 2.5), line)
    else:
        star = outlined(sparkle(11.5, 4.5, 4.5, 3.3, 2.1), line)
    return layers + star + outlined(front, line)


def log_date_icon(line):
    centre = (10.5, 6.5)
    globe = circle(*centre, 5.5)
    half = line / 2
    lines = union(
        box(4.0, centre[1] - half, 16.0, centre[1] + half),
        box(centre[0] - half, 0.0, centre[0] + half, 13.0),
    )
    if line < 1.0:
        # At 16 pixels the curved meridians only blur the globe.
        lines = union(lines, ring(ellipse(*centre, 2.8, 5.5), half))
    sheet = box(1.0, 6.0, 10.0, 15.0, 0.6)
    header = box(1.0, 6.0, 10.0, 9.0, 0.6)
    days = union(*[box(3.0 + 2.0 * c, 10.0 + 2.0 * r, 4.0 + 2.0 * c, 11.0 + 2.0 * r)
                   for r in range(2) for c in range(3)])
    return (outlined(globe, line) + [(intersect(lines, globe), NAVY)]
            + outlined(sheet, line) + [(header, NAVY), (days, NAVY)])


def tray_icon(line):
    """The tray program's own: a person at a shared folder, on the logo's disc."""
    person = union(circle(8, 5.6, 2.3), intersect(circle(8, 13.5, 4.6), box(2.0, 9.0, 14.0, 12.2)))
    ledge = box(3.0, 12.2, 13.0, 13.6, 0.4)
    return disc_with(union(person, ledge), line)


def log_spacer_icon(line):
    return []


def log_file_icon(line):
    """A sheet with its corner folded and two lines of text: a file opened or closed."""
    sheet = polygon([(3.0, 1.0), (10.0, 1.0), (13.0, 4.0), (13.0, 15.0), (3.0, 15.0)])
    fold = polygon([(10.0, 1.0), (10.0, 4.0), (13.0, 4.0)])
    text = union(box(5.0, 7.0, 11.0, 7.0 + line), box(5.0, 10.0, 11.0, 10.0 + line))
    return outlined(sheet, line) + [(fold, NAVY), (text, NAVY)]


ICONS = {
    "help": help_icon,
    "general": general_icon,
    "events": events_icon,
    "sources": sources_icon,
    "about": about_icon,
    "visitors": visitors_icon,
    "log_enter": log_enter_icon,
    "log_leave": log_leave_icon,
    "log_date": log_date_icon,
    "log_spacer": log_spacer_icon,
    "log_file": log_file_icon,
    "tray": tray_icon,
}


MAGENTA = (255, 0, 255)  # the header image list's mask colour
GREY = (128, 128, 128)


def sort_arrows():
    """48 x 16 pixels, top row first: an up arrow, a down arrow and a blank
    image, each 16 x 16 on magenta. A grey triangle with a white edge along its
    right slope, which keeps it visible on a dark header and is lost on a light one."""
    pixels = [[MAGENTA] * 48 for _ in range(16)]
    for image, up in ((0, True), (1, False)):
        for step in range(5):
            y = 6 + step if up else 10 - step
            left, right = 16 * image + 8 - step, 16 * image + 8 + step
            for x in range(left, right + 1):
                pixels[y][x] = GREY
            pixels[y][right + 1] = WHITE
    return pixels


def bmp_bytes(pixels):
    """A 24-bit bottom-up BMP."""
    width, height = len(pixels[0]), len(pixels)
    stride = (width * 3 + 3) // 4 * 4
    rows = b"".join(bytes(v for r, g, b in row for v in (b, g, r)).ljust(stride, b"\0")
                    for row in reversed(pixels))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(info) + len(rows), 0, 0, 14 + len(info)) + info + rows


def render(draw, size):
    """Returns size x size RGBA pixels, top row first."""
    scale = size / 16.0
    layers = draw(1.0 if size <= 16 else 0.75)
    n = SUBSAMPLES
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = covered = 0
            for sy in range(n):
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) / scale
                    y = (py + (sy + 0.5) / n) / scale
                    colour = None
                    for shape, c in layers:
                        if shape(x, y) < 0:
                            colour = c
                    if colour:
                        r, g, b, covered = r + colour[0], g + colour[1], b + colour[2], covered + 1
            if covered:
                row.append((round(r / covered), round(g / covered), round(b / covered),
                            round(255 * covered / (n * n))))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def ico_bytes(images):
    """An .ico file of 32-bit images; the AND mask marks the fully transparent pixels."""
    blobs = []
    for pixels in images:
        size = len(pixels)
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        colour = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for r, g, b, a in row)
        stride = (size + 31) // 32 * 4
        mask = bytearray()
        for row in reversed(pixels):
            bits = bytearray(stride)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        blobs.append(header + colour + bytes(mask))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for pixels, blob in zip(images, blobs):
        size = len(pixels)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


def png_bytes(pixels):
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", len(pixels[0]), len(pixels), 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def preview(rendered, path):
    """All icons side by side on the two usual tab backgrounds: actual size, then enlarged."""
    backgrounds = [(240, 240, 240), WHITE]
    zoom16, zoom32 = 8, 4
    cell = 16 * zoom16 + 8
    width = cell * len(rendered) + 8
    height = (8 + 32 + 8 + cell) * len(backgrounds) + 8 + cell
    canvas = [[(128, 128, 128)] * width for _ in range(height)]

    def blit(pixels, zoom, x0, y0, bg):
        for y, row in enumerate(pixels):
            for x, (r, g, b, a) in enumerate(row):
                c = tuple(round((v * a + w * (255 - a)) / 255) for v, w in zip((r, g, b), bg))
                for dy in range(zoom):
                    for dx in range(zoom):
                        canvas[y0 + y * zoom + dy][x0 + x * zoom + dx] = c

    y = 8
    for bg in backgrounds:
        for row in range(y - 4, y + 36 + cell):
            canvas[row] = [bg] * width
        for i, (small, large) in enumerate(rendered):
            x = 8 + i * cell
            blit(small, 1, x, y, bg)
            blit(large, 1, x + 24, y, bg)
            blit(small, zoom16, x, y + 40, bg)
        y += 40 + cell + 8
    for i, (_, large) in enumerate(rendered):
        blit(large, zoom32, 8 + i * cell, y, (240, 240, 240))
    with open(path, "wb") as f:
        f.write(png_bytes(canvas))


def main(argv):
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    out_dir = os.path.join(root, "resources", "icons")
    os.makedirs(out_dir, exist_ok=True)
    rendered = []
    for name, draw in ICONS.items():
        images = [render(draw, size) for size in SIZES]
        with open(os.path.join(out_dir, name + ".ico"), "wb") as f:
            f.write(ico_bytes(images))
        rendered.append(images)
    arrows = sort_arrows()
    with open(os.path.join(root, "resources", "sort_arrows.bmp"), "wb") as f:
        f.write(bmp_bytes(arrows))
    if len(argv) == 3 and argv[1] == "--preview":
        preview(rendered, os.path.join(argv[2], "icons.png"))
        # The arrows enlarged as drawn, then with magenta shown as a header's grey.
        header = [[(240, 240, 240) if p == MAGENTA else p for p in row] for row in arrows]
        zoom = 8
        canvas = [[p for p in row for _ in range(zoom)] for row in arrows + header for _ in range(zoom)]
        with open(os.path.join(argv[2], "sort_arrows.png"), "wb") as f:
            f.write(png_bytes(canvas))


if __name__ == "__main__":
    main(sys.argv)
