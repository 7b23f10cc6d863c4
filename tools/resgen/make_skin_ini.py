#!/usr/bin/env python3
"""Writes one language's skin description as the setup program reads it.

English.ini is taken line by line; each line of the language's overrides
(SECTION<TAB>KEY<TAB>NEW VALUE) replaces the whole value of KEY= in
[SECTION]. The result is UTF-16LE with a byte-order mark and CR LF line ends.
English itself has no overrides file.

    make_skin_ini.py --english skin/English.ini [--overrides skin/German.overrides] -o skin_German.ini
"""

import argparse
import re
import sys

# The build runs these from the source tree: keep it free of byte code.
sys.dont_write_bytecode = True
import resdata  # noqa: E402


def apply_overrides(english_path, overrides_path):
    lines = resdata.read_utf8(english_path).split("\n")
    where_is = {}  # (section, key) -> line index
    section = None
    for index, line in enumerate(lines):
        header = re.fullmatch(r"\[([^\]]+)\]", line)
        if header:
            section = header.group(1)
        elif section is not None and "=" in line:
            where_is.setdefault((section, line.split("=", 1)[0]), index)
    if overrides_path is None:
        return "\n".join(lines)
    done = set()
    for where, (section, key, value) in resdata.table_rows(overrides_path, 3):
        if (section, key) not in where_is:
            raise resdata.DataError(f"{where}: {english_path} has no key {key} in [{section}]")
        if (section, key) in done:
            raise resdata.DataError(f"{where}: [{section}] {key} is overridden twice")
        done.add((section, key))
        lines[where_is[(section, key)]] = f"{key}={value}"
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--english", required=True, help="English.ini (UTF-8, LF)")
    parser.add_argument("--overrides", help="the language's .overrides file; none for English")
    parser.add_argument("-o", "--output", required=True, help="the UTF-16LE description to write")
    args = parser.parse_args()
    try:
        text = apply_overrides(args.english, args.overrides)
    except (resdata.DataError, OSError) as exc:
        resdata.fail(exc)
    resdata.write_bytes(args.output, resdata.utf16_text(text))


if __name__ == "__main__":
    main()
