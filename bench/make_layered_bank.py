#!/usr/bin/env python3
"""Writes a small SoundFont 2 bank of one preset whose LAYERS layers all play the same instrument of ZONES
zones over one short sample: a few kilobytes that name LAYERS x ZONES (layer, zone) pairs. Zone z covers
the 12 keys from (5 z) % 116 and the velocity quarter z % 4, so the pairs spread over keys and velocities.
With --full every zone covers every key and velocity instead.

Usage: make_layered_bank.py OUT.sf2 LAYERS ZONES [--full]"""
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
    out, layers, zones = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    full = "--full" in sys.argv[4:]
    frames, guard = 256, 46
    samples = bytes((i * 7) & 0xFF for i in range(frames * 2)) + b"\0" * (guard * 2)
    shdr = name20("Tone") + struct.pack("<IIIIIBbHH", 0, frames, 8, frames - 8, 44100, 60, 0, 0, 1)
    shdr += name20("EOS") + b"\0" * 26

    phdr = name20("Layered") + struct.pack("<HHHIII", 0, 0, 0, 0, 0, 0)
    phdr += name20("EOP") + struct.pack("<HHHIII", 0, 0, layers, 0, 0, 0)
    pbag = b"".join(struct.pack("<HH", i, 0) for i in range(layers + 1))
    pgen = struct.pack("<HH", 41, 0) * layers + b"\0" * 4  # instrument 0

    inst = name20("Shared") + struct.pack("<H", 0) + name20("EOI") + struct.pack("<H", zones)
    ibag = b"".join(struct.pack("<HH", 3 * z, 0) for z in range(zones + 1))
    igen = b""
    for z in range(zones):
        low_key, quarter = (5 * z) % 116, z % 4
        keys = (0, 127) if full else (low_key, low_key + 11)
        velocities = (0, 127) if full else (32 * quarter, 32 * quarter + 31)
        igen += struct.pack("<HBB", 43, *keys) + struct.pack("<HBB", 44, *velocities)
        igen += struct.pack("<HH", 53, 0)  # sampleID
    igen += b"\0" * 4
    pmod = imod = b"\0" * 10

    info = riff_list(b"INFO", [chunk(b"ifil", struct.pack("<HH", 2, 1)), chunk(b"isng", b"EMU8000\0"),
                               chunk(b"INAM", b"Layered\0")])
    sdta = riff_list(b"sdta", [chunk(b"smpl", samples)])
    pdta = riff_list(b"pdta", [chunk(b"phdr", phdr), chunk(b"pbag", pbag), chunk(b"pmod", pmod),
                               chunk(b"pgen", pgen), chunk(b"inst", inst), chunk(b"ibag", ibag),
                               chunk(b"imod", imod), chunk(b"igen", igen), chunk(b"shdr", shdr)])
    with open(out, "wb") as f:
        f.write(chunk(b"RIFF", b"sfbk" + info + sdta + pdta))


if __name__ == "__main__":
    main()
