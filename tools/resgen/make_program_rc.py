#!/usr/bin/env python3
"""Writes the setup program's own resource script.

It holds what the program carries itself:
  - its built-in string table and dialog templates, in Simplified Chinese
    (the China row), used whenever no language library is the resource source;
  - the skin pictures, type "Png", with the ids of skin_images.tsv;
  - for every row of languages.tsv its language library (type "SFX_DLL"), its
    skin description (type "INI") and its licence text (type "SFX_TEXT");
  - the splash renderer's libraries (type "SFX_DLL1"), each given as ID=PATH;
    an empty PATH leaves that resource out.
Resource files are named by absolute path; each must exist when this runs,
so the build runs it after the libraries and pictures are made.

    make_program_rc.py --data setup/resources --skin-dir out/win32/skin
        --lang-dll 'DIR/lang_{key}.dll' --skin-ini 'DIR/skin_{key}.ini'
        --licence 'DIR/licence_{key}.txt' [--renderer 151=PATH ...] -o setup_resources.rc
"""

import argparse
import sys
from pathlib import Path

# The build runs these from the source tree: keep it free of byte code.
sys.dont_write_bytecode = True
import resdata  # noqa: E402

# The row whose texts the program has built in.
BUILT_IN_LANGUAGE = "China"


def resource_line(ident, kind, path, missing):
    path = Path(path).resolve()
    if not path.is_file():
        missing.append(str(path))
    return f"{ident} {kind} {resdata.rc_path(path.as_posix())}"


def renderer(text):
    ident, sep, path = text.partition("=")
    if not sep or not ident.isdigit():
        raise argparse.ArgumentTypeError(f"expected ID=PATH, got {text!r}")
    return int(ident), path


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--data", required=True, help="the folder setup/resources")
    parser.add_argument("--skin-dir", required=True, help="the folder of the painted skin pictures")
    parser.add_argument("--skin-images", default=str(Path(__file__).with_name("skin_images.tsv")),
                        help="the table of skin pictures (default: skin_images.tsv beside this script)")
    parser.add_argument("--lang-dll", required=True, help="path of a language library, {key} for the row's key")
    parser.add_argument("--skin-ini", required=True, help="path of a skin description, {key} for the row's key")
    parser.add_argument("--licence", required=True, help="path of a licence text, {key} for the row's key")
    parser.add_argument("--renderer", type=renderer, action="append", default=[], metavar="ID=PATH",
                        help="a renderer library; an empty PATH leaves it out")
    parser.add_argument("-o", "--output", required=True, help="the .rc file to write")
    args = parser.parse_args()

    missing = []
    try:
        lines = resdata.script_header(
            "make_program_rc.py",
            [f"strings/{BUILT_IN_LANGUAGE}.tsv", f"dialogs/{BUILT_IN_LANGUAGE}.tsv",
             "dialog_templates.tsv", "languages.tsv", "skin_images.tsv"])
        lines += ["// Built-in texts and dialogs."]
        lines += resdata.language_resources(args.data, BUILT_IN_LANGUAGE)

        # The files below are the same for every language the program runs in.
        lines += ["LANGUAGE LANG_NEUTRAL, SUBLANG_NEUTRAL", "", "// The program icon, painted with the skin pictures."]
        lines.append(resource_line(128, "ICON", Path(args.skin_dir) / "glimmora.ico", missing))
        lines += ["", "// Skin pictures."]
        for where, (ident, name) in resdata.table_rows(args.skin_images, 2, unescape_last=False):
            lines.append(resource_line(resdata.number(ident, where), "Png",
                                       Path(args.skin_dir) / name, missing))

        lines += ["", "// Per language: its library, skin description and licence text."]
        for lang in resdata.languages(args.data):
            lines.append(resource_line(lang.dll_id, "SFX_DLL", args.lang_dll.format(key=lang.key), missing))
            lines.append(resource_line(lang.ini_id, "INI", args.skin_ini.format(key=lang.key), missing))
            lines.append(resource_line(lang.text_id, "SFX_TEXT", args.licence.format(key=lang.key), missing))

        lines += ["", "// The splash renderer's libraries."]
        for ident, path in sorted(args.renderer):
            if path:
                lines.append(resource_line(ident, "SFX_DLL1", path, missing))
    except (resdata.DataError, OSError) as exc:
        resdata.fail(exc)
    if missing:
        resdata.fail("resource files not made yet (build them first): " + ", ".join(missing))
    resdata.write_text(args.output, "\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
