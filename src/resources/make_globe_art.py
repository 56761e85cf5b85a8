#!/usr/bin/env python3
"""Draws Solvane's own small globe and writes the About box bitmap and the icon.

    python3 make_globe_art.py [output folder]

Writes globe.bmp (110 x 86, 8 bits with palette) and solvane.ico (32 x 32 and
16 x 16, 16 colours). The picture is procedural: a sphere lit from the upper
left, oceans, continents from a few overlapping waves, polar ice, a soft night
side and a handful of stars. Standard library only; the output is deterministic.
"""

import math
import os
import struct
import sys

# Materials of the picture; each gets a ramp of shades in the 8-bit palette.
SPACE, OCEAN, LAND, DESERT, ICE, STAR = range(6)
BASE_COLOURS = {
    SPACE: (0, 0, 0),
    OCEAN: (40, 90, 200),
    LAND: (60, 150, 60),
    DESERT: (190, 160, 90),
    ICE: (235, 240, 250),
    STAR: (255, 255, 255),
}
SHADES = 32  # per material: 6 x 32 = 192 palette entries

LIGHT = (-0.55, 0.45, 0.70)  # toward the Sun, x right, y up, z toward the viewer
AMBIENT = 0.10


def normalised(v):
    length = math.sqrt(sum(c * c for c in v))
    return tuple(c / length for c in v)


def surface(lat, lon):
    """The material at a latitude and longitude, in radians."""
    if abs(lat) > 1.25:
        return ICE
    relief = (math.sin(3.0 * lon + 1.1) * math.cos(2.0 * lat - 0.4)
              + 0.7 * math.sin(5.0 * lon - 2.0 * lat + 0.5)
              + 0.4 * math.cos(7.0 * lon + 3.0 * lat))
    if relief < 0.45:
        return OCEAN
    return DESERT if abs(lat) < 0.45 and relief > 1.05 else LAND


def render(width, height, radius, tilt=0.41, spin=0.6):
    """Rows of (material, brightness 0..1), top row first; None outside the globe."""
    light = normalised(LIGHT)
    cx, cy = (width - 1) / 2.0, (height - 1) / 2.0
    rows = []
    for j in range(height):
        row = []
        for i in range(width):
            x, y = (i - cx) / radius, (cy - j) / radius
            r2 = x * x + y * y
            if r2 > 1.0:
                row.append(None)
                continue
            z = math.sqrt(1.0 - r2)
            # Undo the axial tilt (about the z axis) to find latitude and longitude.
            xt = x * math.cos(tilt) + y * math.sin(tilt)
            yt = -x * math.sin(tilt) + y * math.cos(tilt)
            lat = math.asin(max(-1.0, min(1.0, yt)))
            lon = math.atan2(xt, z) + spin
            lit = x * light[0] + y * light[1] + z * light[2]
            brightness = AMBIENT + (1.0 - AMBIENT) * max(0.0, lit)
            # A little darkening toward the limb reads as an atmosphere's depth.
            brightness *= 0.75 + 0.25 * z
            row.append((surface(lat, lon), brightness))
        rows.append(row)
    return rows


def palette_index(material, brightness):
    shade = max(0, min(SHADES - 1, int(round(brightness * (SHADES - 1)))))
    return material * SHADES + shade


def palette():
    entries = []
    for material in range(6):
        base = BASE_COLOURS[material]
        for shade in range(SHADES):
            level = shade / (SHADES - 1)
            entries.append(tuple(int(round(c * level)) for c in base))
    entries += [(0, 0, 0)] * (256 - len(entries))
    return entries


def star_field(width, height, count, seed):
    """A few fixed stars from a small linear congruential generator."""
    stars, state = {}, seed
    for _ in range(count):
        state = (1103515245 * state + 12345) % (1 << 31)
        x = state % width
        state = (1103515245 * state + 12345) % (1 << 31)
        y = state % height
        state = (1103515245 * state + 12345) % (1 << 31)
        stars[(x, y)] = 0.35 + 0.65 * (state % 100) / 99.0
    return stars


def write_bitmap(path, width, height):
    rows = render(width, height, radius=40.0)
    stars = star_field(width, height, 40, seed=1997)
    stride = (width + 3) & ~3
    pixels = bytearray()
    for j in reversed(range(height)):  # bottom-up
        line = bytearray(stride)
        for i in range(width):
            cell = rows[j][i]
            if cell is not None:
                line[i] = palette_index(*cell)
            elif (i, j) in stars:
                line[i] = palette_index(STAR, stars[(i, j)])
            else:
                line[i] = palette_index(SPACE, 0.0)
        pixels += line
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette())
    offset = 14 + 40 + len(colours)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels),
                       2835, 2835, 256, 0)
    with open(path, "wb") as out:
        out.write(file_header + info + colours + pixels)


# The standard 16-colour palette that every Windows display can show.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


# Bright and dark VGA entries per material: sixteen colours leave no room for more shades.
ICON_SHADES = {OCEAN: (12, 4), LAND: (10, 2), DESERT: (11, 3), ICE: (15, 7)}


def icon_colour(material, brightness):
    bright, dark = ICON_SHADES[material]
    if brightness > 0.55:
        return bright
    return dark if brightness > 0.2 else 0


def icon_image(size):
    """One BITMAPINFOHEADER image of an icon: 4-bit colour plus the 1-bit mask."""
    rows = render(size, size, radius=size / 2.0 - 0.5)
    colour_stride = ((size * 4 + 31) // 32) * 4
    mask_stride = ((size + 31) // 32) * 4
    xor, mask = bytearray(), bytearray()
    for j in reversed(range(size)):
        line, mask_line = bytearray(colour_stride), bytearray(mask_stride)
        for i in range(size):
            cell = rows[j][i]
            if cell is None:
                mask_line[i // 8] |= 0x80 >> (i % 8)  # transparent
                continue
            index = icon_colour(*cell)
            line[i // 2] |= index << 4 if i % 2 == 0 else index
        xor += line
        mask += mask_line
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in VGA)
    return header + table + xor + mask


def write_icon(path, sizes):
    images = [icon_image(size) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, image in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    with open(path, "wb") as out:
        out.write(directory + entries + b"".join(images))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write_bitmap(os.path.join(folder, "globe.bmp"), 110, 86)
    write_icon(os.path.join(folder, "solvane.ico"), [32, 16])


if __name__ == "__main__":
    main()
