#!/usr/bin/env python3
"""Writes res/setup.ico: one 32 x 32 image in the 16 standard colours.

The picture is a blue carton with a yellow arrow going into it. Run it again
after changing the drawing; the .ico it writes is kept in the repository.
"""
import struct
import sys

# The 16-colour VGA palette, as B, G, R, 0.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]  # as R, G, B
BLACK, NAVY, GREY, BLUE, YELLOW, WHITE = 0, 4, 8, 12, 11, 15

ART = """
................................
..........YYYYYYYYYYYY..........
..........YkkkkkkkkkkY..........
..........YkYYYYYYYYkY..........
..........YkYYYYYYYYkY..........
..........YkYYYYYYYYkY..........
..........YkYYYYYYYYkY..........
..........YkYYYYYYYYkY..........
.....YYYYYYkYYYYYYYYkYYYYYY.....
......YkkkkkYYYYYYYYkkkkkY......
.......YkYYYYYYYYYYYYYYkY.......
........YkYYYYYYYYYYYYkY........
.........YkYYYYYYYYYYkY.........
..kkkkkkkkYkYYYYYYYYkYkkkkkkkk..
..kWWWWWWWkYkYYYYYYkYkWWWWWWWk..
..kWBBBBBBBkYkYYYYkYkBBBBBBBWk..
..kWBBBBBBBBkYkYYkYkBBBBBBBBWk..
..kWBBBBBBBBBkYkkYkBBBBBBBBBWk..
..kWBBBBBBBBBBkYYkBBBBBBBBBBWk..
..kWBBBBBBBBBBBkkBBBBBBBBBBBWk..
..kWBBBBBBBBBBBBBBBBBBBBBBBBWk..
..kWBBBBBBBBBBBBBBBBBBBBBBBBWk..
..kWBBBBBBNNNNNNNNNNNNBBBBBBWk..
..kWBBBBBBNWWWWWWWWWWNBBBBBBWk..
..kWBBBBBBNNNNNNNNNNNNBBBBBBWk..
..kWBBBBBBBBBBBBBBBBBBBBBBBBWk..
..kWBBBBBBBBBBBBBBBBBBBBBBBBWk..
..kWBBBBBBBBBBBBBBBBBBBBBBBBWk..
..kWNNNNNNNNNNNNNNNNNNNNNNNNWk..
..kWWWWWWWWWWWWWWWWWWWWWWWWWWk..
..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..
................................
""".split()
COLOUR = {".": None, "k": BLACK, "N": NAVY, "B": BLUE, "Y": YELLOW, "W": WHITE, "G": GREY}


def main(path):
    assert len(ART) == 32 and all(len(row) == 32 for row in ART)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(ART):  # DIBs are stored bottom-up
        indices = [COLOUR[c] if COLOUR[c] is not None else 0 for c in row]
        for x in range(0, 32, 2):
            xor.append(indices[x] << 4 | indices[x + 1])
        bits = 0
        for c in row:
            bits = bits << 1 | (1 if COLOUR[c] is None else 0)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 22)
    with open(path, "wb") as out:
        out.write(directory + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res/setup.ico")
