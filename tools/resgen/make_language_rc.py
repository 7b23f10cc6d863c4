#!/usr/bin/env python3
"""Writes the resource script of one language library.

The script holds the language's string table (strings/<KEY>.tsv) and every
dialog template of dialog_templates.tsv with the language's texts
(dialogs/<KEY>.tsv). The build compiles it into a resource-only DLL.

    make_language_rc.py --data setup/resources --key English -o lang_English.rc
"""

import argparse
import sys

# The build runs these from the source tree: keep it free of byte code.
sys.dont_write_bytecode = True
import resdata  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--data", required=True, help="the folder setup/resources")
    parser.add_argument("--key", required=True, help="the language's extract-list name, e.g. English")
    parser.add_argument("-o", "--output", required=True, help="the .rc file to write")
    args = parser.parse_args()
    try:
        lines = resdata.script_header(
            "make_language_rc.py",
            [f"strings/{args.key}.tsv", f"dialogs/{args.key}.tsv", "dialog_templates.tsv"])
        lines += resdata.language_resources(args.data, args.key)
    except (resdata.DataError, OSError) as exc:
        resdata.fail(exc)
    resdata.write_text(args.output, "\n".join(lines))


if __name__ == "__main__":
    main()
