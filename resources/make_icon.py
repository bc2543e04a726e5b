#!/usr/bin/env python3
"""Makes the launcher's icon from the pixel map below and merges it into compiled resources.

usage: make_icon.py RC_RES OUT_RES OUT_ICO

Writes OUT_ICO, a 32 x 32, 16-colour icon file, and OUT_RES: the resources of RC_RES followed
by icon 1 (RT_ICON) and the icon group "(100)" (RT_GROUP_ICON), both language 1033. The group
is named by a string with parentheses, which the resource compiler does not accept, so it is
written here directly in the compiled-resource format.
"""
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# A silver disc with a sheen and a green "play" arrow. One hex digit per pixel (a palette
# index), top row first; "." is transparent.
PIXELS = [
    "................................",
    "...........8887777888...........",
    "........8877777777777788........",
    ".......877777777777777778.......",
    "......87777FFFF77777777778......",
    ".....8777FFFFFF777777777778.....",
    "....8777FFFF7777777777777778....",
    "...8777FFF2777777777777777778...",
    "..8777FFF722777777777777777778..",
    "..877FFF772A227777777777777778..",
    "..777FF7772AAA2277777777777777..",
    ".877FFF7772AAAA2227777777777778.",
    ".877FF77772AAAAAA22277777777778.",
    ".877FF77772AAAAAAAA227777777778.",
    ".777FF77772AAAAAAAAAA2277777777.",
    ".7777777772AAAAAAAAAAAA22777777.",
    ".7777777772AAAAAAAAAAAA22777777.",
    ".7777777772AAAAAAAAAA2277777777.",
    ".8777777772AAAAAAAA227777777778.",
    ".8777777772AAAAAA22277777777778.",
    ".8777777772AAAA2227777777777778.",
    "..777777772AAA2277777777777777..",
    "..877777772A227777777777777778..",
    "..8777777722777777777777777778..",
    "...87777772777777777777777778...",
    "....877777777777777777777778....",
    ".....8777777777777777777778.....",
    "......87777777777777777778......",
    ".......877777777777777778.......",
    "........8877777777777788........",
    "...........8887777888...........",
    "................................",
]

SIZE = 32
RT_ICON = 3
RT_GROUP_ICON = 14
LANGUAGE = 0x0409
ICON_ID = 1
GROUP_NAME = "(100)"


def icon_image():
    """The icon resource: header (height counts image and mask), colours, image, mask."""
    if len(PIXELS) != SIZE or any(len(row) != SIZE for row in PIXELS):
        raise SystemExit("pixel map must be 32 x 32")
    colour_rows, mask_rows = [], []
    for row in reversed(PIXELS):  # bottom-up
        indices = [0 if c == "." else int(c, 16) for c in row]
        colour_rows.append(bytes((indices[x] << 4) | indices[x + 1] for x in range(0, SIZE, 2)))
        bits = 0
        for c in row:
            bits = (bits << 1) | (1 if c == "." else 0)
        mask_rows.append(struct.pack(">I", bits))
    colours = b"".join(colour_rows)
    mask = b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, len(colours) + len(mask),
                         0, 0, 16, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image = header + table + colours + mask
    assert len(image) == 744, len(image)
    return image


def name_or_id(value):
    if isinstance(value, int):
        return struct.pack("<HH", 0xFFFF, value)
    return (value + "\0").encode("utf-16-le")


def res_entry(type_id, name, memory_flags, data):
    """One entry of a compiled resource file, padded to a 4-byte boundary."""
    names = name_or_id(type_id) + name_or_id(name)
    names += b"\0" * (-len(names) % 4)
    header_size = 8 + len(names) + 16
    header = struct.pack("<II", len(data), header_size) + names
    header += struct.pack("<IHHII", 0, memory_flags, LANGUAGE, 0, 0)
    return header + data + b"\0" * (-len(data) % 4)


def main():
    rc_res, out_res, out_ico = sys.argv[1:4]
    image = icon_image()
    # GRPICONDIR with one GRPICONDIRENTRY: 32 x 32, 16 colours, 1 plane, 4 bits.
    group = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHIH", SIZE, SIZE, 16, 0, 1, 4,
                                                       len(image), ICON_ID)
    compiled = open(rc_res, "rb").read()
    compiled += b"\0" * (-len(compiled) % 4)
    compiled += res_entry(RT_ICON, ICON_ID, 0x1010, image)
    compiled += res_entry(RT_GROUP_ICON, GROUP_NAME, 0x1030, group)
    open(out_res, "wb").write(compiled)
    # The same picture as an icon file: ICONDIR, one ICONDIRENTRY, the image.
    ico = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4,
                                                     len(image), 22) + image
    open(out_ico, "wb").write(ico)


if __name__ == "__main__":
    main()
