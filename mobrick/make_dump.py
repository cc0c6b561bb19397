#!/usr/bin/env python3
"""make_dump.py OUT: writes a 737280-byte raw dump of an 80-track two-sided
disk with nine 512-byte sectors per track. Each sector begins with a label
naming its track, side and sector ID; the rest is a pattern of its own."""
import sys

with open(sys.argv[1], "wb") as out:
    for track in range(80):
        for side in range(2):
            for sector_id in range(1, 10):
                label = b"track %02d side %d sector %d\n" % (track, side, sector_id)
                seed = (track * 2 + side) * 9 + sector_id
                body = bytes((seed * 7 + i * 13) & 0xFF for i in range(512 - len(label)))
                out.write(label + body)
