#!/usr/bin/env python3
"""Zeroes, in place, the bytes of a GigaSampler file that differ between two runs by design: the data of
every dlid chunk (identifiers made at random) and of the ICRD chunk (the creation date)."""
import struct
import sys

MASKED = {b"dlid", b"ICRD"}


def walk(data, start, end):
    position = start
    while position + 8 <= end:
        tag = bytes(data[position:position + 4])
        size = struct.unpack_from("<I", data, position + 4)[0]
        body = position + 8
        if tag in (b"RIFF", b"LIST"):
            walk(data, body + 4, min(body + size, end))
        elif tag in MASKED:
            data[body:min(body + size, end)] = bytes(min(body + size, end) - body)
        position = body + size + (size & 1)


def main(path):
    with open(path, "rb") as f:
        data = bytearray(f.read())
    walk(data, 0, len(data))
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
