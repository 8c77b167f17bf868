#!/usr/bin/env python3
"""Makes a full-sized show of 499 entries from a smaller one, for the web page's
full-sized test: entry n takes the settings of the small show's entry ((n-1) mod its
count)+1, with that entry's screenshot hard-linked under a number of its own
(1000 + n). The boxes, sounds and the graphics sheet and title pictures are linked
under their own names.

Usage: make_big_show.py SMALL_SHOW BIG_SHOW"""
import os
import struct
import sys

ENTRIES = 499
TABLE = 500
SHOW_FILE = "SCR1.BIL"
FIRST_NUMBER = 1000
# Offsets of the int32 columns of SCR1.BIL and of the byte column of marks.
COLUMNS = {"pic_file": 8, "pic_box1": 2008, "pic_wave": 4008, "pic_level": 6008,
           "pic_box1_x": 8508, "pic_box1_y": 10508, "pic_box2": 12508,
           "pic_box2_x": 14508, "pic_box2_y": 16508, "pic_box3": 18508,
           "pic_box3_x": 20508, "pic_box3_y": 22508}
MARKS = 8008


def main(small, big):
    image = bytearray(open(os.path.join(small, SHOW_FILE), "rb").read())
    count = struct.unpack_from("<i", image, 4)[0]
    columns = {name: list(struct.unpack_from("<500i", image, offset))
               for name, offset in COLUMNS.items()}
    marks = list(image[MARKS:MARKS + TABLE])
    screenshots = list(columns["pic_file"])
    os.makedirs(big, exist_ok=True)
    for name in os.listdir(small):
        if name != SHOW_FILE:
            os.link(os.path.join(small, name), os.path.join(big, name))
    for entry in range(1, ENTRIES + 1):
        model = (entry - 1) % count + 1
        for name, values in columns.items():
            values[entry] = values[model]
        marks[entry] = marks[model]
        number = FIRST_NUMBER + entry
        os.link(os.path.join(small, "scs%05d.BMP" % screenshots[model]),
                os.path.join(big, "scs%05d.BMP" % number))
        columns["pic_file"][entry] = number
    struct.pack_into("<ii", image, 0, 1, ENTRIES)
    for name, offset in COLUMNS.items():
        struct.pack_into("<500i", image, offset, *columns[name])
    image[MARKS:MARKS + TABLE] = bytes(marks)
    open(os.path.join(big, SHOW_FILE), "wb").write(image)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
