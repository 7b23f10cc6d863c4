#!/usr/bin/env python3
"""Writes one language's licence text as the setup program shows it.

The licence page puts the text into a multi-line edit control, which breaks
lines only at CR LF: so the UTF-8, LF-ended source becomes UTF-16LE with a
byte-order mark, every LF a CR LF, and the text ends in CR LF.

    make_licence.py licence/German.txt licence_German.txt
"""

import argparse
import sys

# The build runs these from the source tree: keep it free of byte code.
sys.dont_write_bytecode = True
import resdata  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("source", help="the licence text (UTF-8, LF)")
    parser.add_argument("output", help="the UTF-16LE text to write")
    args = parser.parse_args()
    try:
        text = resdata.read_utf8(args.source)
    except (resdata.DataError, OSError) as exc:
        resdata.fail(exc)
    if not text.endswith("\n"):
        text += "\n"
    resdata.write_bytes(args.output, resdata.utf16_text(text))


if __name__ == "__main__":
    main()
