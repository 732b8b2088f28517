#!/usr/bin/env python3
"""Writes the damaged partition files beside this script; partition_test.cpp lists what each holds."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def header(tableoffset, channels, runs, blocksize=0, version=200, runcount=None):
    h = bytearray(1248)
    h[0:26] = b"WUNO PARTITION DATA FILE\x1a\x00"
    struct.pack_into("<hhiihh", h, 32, version, 0, blocksize, tableoffset, channels,
                     len(runs) if runcount is None else runcount)
    for i, (offset, length, markers) in enumerate(runs[:100]):
        struct.pack_into("<i", h, 48 + 4 * i, offset)
        struct.pack_into("<i", h, 448 + 4 * i, length)
        struct.pack_into("<i", h, 848 + 4 * i, markers)
    return bytes(h)


def counted(s):
    return bytes([len(s)]) + s


def entry(name, label, kind, width):
    return counted(name) + counted(label) + struct.pack("<hh", kind, width)


def marker(t):
    return struct.pack("<hd", -1, t)


def analog(channel, v):
    return struct.pack("<hd", channel, v)


END = struct.pack("<h", -2)


def partition(run, table, channels, markers, **extra):
    """One run at 1248 and the table after it."""
    return header(1248 + len(run), channels, [(1248, len(run), markers)], **extra) + run + table


GOOD_RUN = marker(0) + analog(0, 1.0) + marker(1) + analog(0, 2.0) + marker(2) + analog(0, 3.0) + END
GOOD_TABLE = entry(b"A", b"", 1, 8)
GOOD = partition(GOOD_RUN, GOOD_TABLE, 1, 3)


def patched(data, at, fmt, *values):
    data = bytearray(data)
    struct.pack_into(fmt, data, at, *values)
    return bytes(data)


files = {
    "empty.pdf": b"",
    "short_header.pdf": GOOD[:100],
    "wrong_version.pdf": patched(GOOD, 32, "<h", 199),
    "block_outside.pdf": patched(GOOD, 36, "<i", 0x7FFFFFF0),
    "negative_block.pdf": patched(GOOD, 36, "<i", -4),
    "table_outside.pdf": patched(GOOD, 40, "<i", len(GOOD) + 1),
    "negative_channels.pdf": patched(GOOD, 44, "<h", -5),
    "too_many_runs.pdf": patched(GOOD, 46, "<h", 101),
    "run_outside.pdf": patched(GOOD, 448, "<i", 0x7FFFFFF0),
    "negative_run_offset.pdf": patched(GOOD, 48, "<i", -1248),
    "table_ends_early.pdf": patched(GOOD, 44, "<h", 3),
    "name_overruns_table.pdf": partition(GOOD_RUN, bytes([200]) + b"A", 1, 3),
    "unknown_kind.pdf": partition(GOOD_RUN, entry(b"A", b"", 9, 8), 1, 3),
    "wide_digital.pdf": partition(GOOD_RUN, entry(b"A", b"", 2, 200), 1, 3),
    "analog_width.pdf": partition(GOOD_RUN, entry(b"A", b"", 1, 4), 1, 3),
    "extension_outside.pdf": header(1248 + len(GOOD_RUN), 1, [(1248, len(GOOD_RUN), 3)] * 100)
    + GOOD_RUN + GOOD_TABLE + b"RUNTABLE" + struct.pack("<i", 5000),
    # These open; their runs are damaged and must read safely.
    "bad_tag.pdf": partition(marker(0) + analog(0, 1.0) + struct.pack("<h", 7) + analog(0, 2.0) + END,
                             GOOD_TABLE, 1, 1),
    "no_end_tag.pdf": partition(marker(0) + analog(0, 1.0) + marker(1) + analog(0, 2.0), GOOD_TABLE, 1, 2),
    "cut_sample.pdf": partition(marker(0) + analog(0, 1.0) + marker(1) + analog(0, 2.0)[:6], GOOD_TABLE, 1, 2),
    "alias_circle.pdf": partition(GOOD_RUN, GOOD_TABLE + entry(b"L1", b"L2", 4, 0) + entry(b"L2", b"L1", 4, 0),
                                  3, 3),
    "record_overrun.pdf": header(1248 + len(GOOD_RUN) + 12, 1,
                                 [(1248, len(GOOD_RUN), 3), (1248 + len(GOOD_RUN), 1, 12)])
    + GOOD_RUN + struct.pack("<i", 50) + b"R1\x00x\x00" + b"\x00\x00\x00" + GOOD_TABLE,
}

for name, data in files.items():
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(data)
