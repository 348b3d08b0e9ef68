#!/usr/bin/env python3
"""Writes a small log of a running engine (MAF sensor near 1.5 V, a few thousand rpm).

usage: make_log.py OUT K:HUNDREDTHS[:bad] ... [--tail BYTES]

Each K:HUNDREDTHS is one record, the k-th of the drive, stamped HUNDREDTHS/100 s; ":bad" breaks
its checksum. --tail adds that many zero bytes, a partial record at the end.
"""
import sys


def record(k, hundredths, good=True):
    p = bytearray(37)
    p[0:2] = (300 + 10 * k).to_bytes(2, "big")
    p[2:4] = (200 + 20 * k).to_bytes(2, "big")
    p[4:6] = (400).to_bytes(2, "big")
    p[20:22] = (5000 - 300 * k).to_bytes(2, "little")
    p[24:26] = (3000 + 100 * k).to_bytes(2, "little")
    p[30:32] = (9000 - 500 * k).to_bytes(2, "little")
    p.append((sum(p) + (0 if good else 1)) & 0xFF)
    return bytes(p) + hundredths.to_bytes(3, "big") + bytes(7)


def main(args):
    out, specs, tail = args[0], args[1:], 0
    if "--tail" in specs:
        at = specs.index("--tail")
        tail = int(specs[at + 1])
        specs = specs[:at] + specs[at + 2:]
    data = b""
    for spec in specs:
        parts = spec.split(":")
        data += record(int(parts[0]), int(parts[1]), good=parts[2:] != ["bad"])
    with open(out, "wb") as f:
        f.write(data + bytes(tail))


if __name__ == "__main__":
    main(sys.argv[1:])
