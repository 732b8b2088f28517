#!/usr/bin/env python3
# Writes the strip of toolbar images of the menu tests (16-pixel size): a red square, a green
# disc, a blue triangle and an orange diamond on the transparent light grey.
import os
import struct
import zlib

here = os.path.dirname(os.path.abspath(__file__))


def png(path, width, height, pixel):
    rows = b''.join(b'\0' + b''.join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    header = struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(rows, 9))
                + chunk(b'IEND', b''))


def strip(x, y):
    image, x = divmod(x, 16)
    cx, cy = x - 7.5, y - 7.5
    if image == 0 and abs(cx) <= 5 and abs(cy) <= 5:
        return (210, 40, 40)
    if image == 1 and cx * cx + cy * cy <= 36:
        return (40, 160, 60)
    if image == 2 and 2 <= y <= 13 and abs(cx) <= (y - 2) / 2 + 0.5:
        return (40, 80, 210)
    if image == 3 and abs(cx) + abs(cy) <= 6.5:
        return (235, 140, 20)
    return (192, 192, 192)


png(os.path.join(here, 'menuimages.png'), 64, 16, strip)
