#!/usr/bin/env python3
"""Writes a SoundFont 2 bank of N presets (default 300) for the split benchmark: every preset plays its own
instrument of one zone over its own sample of one second of 16-bit noise, so that the parts of a
GigaSampler split carry real sample data. Preset i has program i % 128 and bank i // 128.

Usage: make_many_presets.py OUT.sf2 [N]"""
import os
import struct
import sys


def chunk(tag, data):
    pad = b"\0" if len(data) % 2 else b""
    return tag + struct.pack("<I", len(data)) + data + pad


def riff_list(kind, chunks):
    return chunk(b"LIST", kind + b"".join(chunks))


def name20(text):
    return text.encode("ascii")[:19].ljust(20, b"\0")


def main():
    out = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 300
    rate, frames, guard = 44100, 44100, 46
    samples = b""
    shdr = b""
    for i in range(count):
        start = len(samples) // 2
        samples += os.urandom(frames * 2) + b"\0" * (guard * 2)
        shdr += name20("S%03d" % i) + struct.pack("<IIIIIBbHH", start, start + frames, start + 8,
                                                   start + frames - 8, rate, 60, 0, 0, 1)
    shdr += name20("EOS") + b"\0" * 26
    phdr = pbag = pgen = inst = ibag = igen = b""
    for i in range(count):
        phdr += name20("Preset %03d" % i) + struct.pack("<HHHIII", i % 128, i // 128, i, 0, 0, 0)
        pbag += struct.pack("<HH", i, 0)
        pgen += struct.pack("<HH", 41, i)  # instrument
        inst += name20("Inst %03d" % i) + struct.pack("<H", i)
        ibag += struct.pack("<HH", 2 * i, 0)
        igen += struct.pack("<HH", 54, 1) + struct.pack("<HH", 53, i)  # looped, sampleID
    phdr += name20("EOP") + struct.pack("<HHHIII", 0, 0, count, 0, 0, 0)
    pbag += struct.pack("<HH", count, 0)
    pgen += b"\0" * 4
    inst += name20("EOI") + struct.pack("<H", count)
    ibag += struct.pack("<HH", 2 * count, 0)
    igen += b"\0" * 4
    pmod = imod = b"\0" * 10
    info = riff_list(b"INFO", [chunk(b"ifil", struct.pack("<HH", 2, 1)), chunk(b"isng", b"EMU8000\0"),
                               chunk(b"INAM", b"Many presets\0\0")])
    sdta = riff_list(b"sdta", [chunk(b"smpl", samples)])
    pdta = riff_list(b"pdta", [chunk(b"phdr", phdr), chunk(b"pbag", pbag), chunk(b"pmod", pmod),
                               chunk(b"pgen", pgen), chunk(b"inst", inst), chunk(b"ibag", ibag),
                               chunk(b"imod", imod), chunk(b"igen", igen), chunk(b"shdr", shdr)])
    with open(out, "wb") as f:
        f.write(chunk(b"RIFF", b"sfbk" + info + sdta + pdta))


if __name__ == "__main__":
    main()
