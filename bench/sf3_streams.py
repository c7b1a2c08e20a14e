#!/usr/bin/env python3
"""Writes every Ogg Vorbis stream of a SoundFont 3 bank as its own .ogg file, so that a peer decoder can be
timed on exactly the streams the program decodes. Usage: sf3_streams.py BANK.sf3 FOLDER"""
import os
import struct
import sys


def chunks(data, offset, end):
    while offset + 8 <= end:
        tag, size = struct.unpack_from("<4sI", data, offset)
        yield tag, offset + 8, size
        # Some banks leave out the pad byte after a chunk of odd size.
        padded = offset + 8 + size + (size & 1)
        unpadded = offset + 8 + size
        offset = unpadded if size % 2 and data[unpadded:unpadded + 4] == b"LIST" else padded


def main():
    bank, folder = sys.argv[1], sys.argv[2]
    data = open(bank, "rb").read()
    smpl = shdr = None
    for tag, at, size in chunks(data, 12, len(data)):
        if tag != b"LIST":
            continue
        kind = data[at:at + 4]
        for sub, sub_at, sub_size in chunks(data, at + 4, at + size):
            if kind == b"sdta" and sub == b"smpl":
                smpl = sub_at
            if kind == b"pdta" and sub == b"shdr":
                shdr = (sub_at, sub_size)
    os.makedirs(folder, exist_ok=True)
    count = 0
    for i in range(shdr[1] // 46 - 1):
        start, end = struct.unpack_from("<II", data, shdr[0] + i * 46 + 20)
        kind = struct.unpack_from("<H", data, shdr[0] + i * 46 + 44)[0]
        if kind & 0x10 and end > start:
            with open(os.path.join(folder, "%05d.ogg" % i), "wb") as out:
                out.write(data[smpl + start:smpl + end])
            count += 1
    print(count)


main()
