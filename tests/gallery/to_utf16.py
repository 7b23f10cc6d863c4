#!/usr/bin/env python3
"""Writes a UTF-8 text as UTF-16 little-endian with a byte-order mark and
CR LF line ends, the encoding skin descriptions are shipped in."""
import sys

text = open(sys.argv[1], encoding="utf-8").read().replace("\r\n", "\n").replace("\n", "\r\n")
with open(sys.argv[2], "wb") as out:
    out.write(b"\xff\xfe" + text.encode("utf-16-le"))
