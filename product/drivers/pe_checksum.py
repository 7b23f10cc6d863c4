#!/usr/bin/env python3
"""Writes the PE image checksum into a linked image, in place.

GNU ld leaves the checksum at zero; Windows refuses to load a kernel driver
whose checksum does not match, so every kvfilt image gets one after linking.
The algorithm is the one of CheckSumMappedFile: 16-bit one's-complement sum
of the file with the checksum field taken as zero, plus the file length.
"""
import struct
import sys


def checksum_offset(image: bytes) -> int:
    if image[:2] != b"MZ":
        raise ValueError("not an MZ image")
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    return pe + 4 + 20 + 64  # signature, file header, CheckSum in the optional header


def pe_checksum(image: bytes, offset: int) -> int:
    data = bytearray(image)
    data[offset:offset + 4] = b"\0\0\0\0"
    if len(data) % 2:
        data.append(0)
    total = 0
    for (word,) in struct.iter_unpack("<H", data):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    total = (total & 0xFFFF) + (total >> 16)
    return (total + len(image)) & 0xFFFFFFFF


def main() -> int:
    if len(sys.argv) != 2:
        print("usage: pe_checksum.py IMAGE", file=sys.stderr)
        return 2
    path = sys.argv[1]
    with open(path, "rb") as f:
        image = f.read()
    try:
        offset = checksum_offset(image)
    except ValueError as error:
        print(f"{path}: {error}", file=sys.stderr)
        return 1
    value = pe_checksum(image, offset)
    with open(path, "r+b") as f:
        f.seek(offset)
        f.write(struct.pack("<I", value))
    return 0


if __name__ == "__main__":
    sys.exit(main())
