#!/usr/bin/env python3
"""Prints a GigaSampler file's bytes with what differs from one write to the next blanked: the data of every
dlid chunk (identifiers made at random) and of the bank's ICRD (the creation date). Two writes of the same
bank then compare equal with cmp.

Usage: gig_normalize.py IN.gig OUT"""
import struct
import sys


def blank(data, start, end):
    at = start
    while at + 8 <= end:
        tag = bytes(data[at:at + 4])
        size = struct.unpack_from("<I", data, at + 4)[0]
        body = at + 8
        if tag in (b"RIFF", b"LIST"):
            blank(data, body + 4, min(body + size, end))
        elif tag in (b"dlid", b"ICRD"):
            data[body:body + size] = bytes(size)
        at = body + size + (size & 1)


def main():
    data = bytearray(open(sys.argv[1], "rb").read())
    blank(data, 0, len(data))
    open(sys.argv[2], "wb").write(data)


if __name__ == "__main__":
    main()
