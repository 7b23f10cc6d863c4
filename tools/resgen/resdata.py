"""Reading the setup program's resource data and writing resource scripts.

Shared by the make_*.py generators beside this file; standard library only.
The data rules are those of setup/resources/README.md (check_resources.py
keeps them); this module only reads what the generators need and fails with
a message naming the file and line when the data does not fit.
"""

import os
import sys
from pathlib import Path


class DataError(Exception):
    """A data file does not have the shape the generators rely on."""


def fail(message):
    """Ends a generator with one line on stderr and exit code 1."""
    print(f"{Path(sys.argv[0]).name}: error: {message}", file=sys.stderr)
    sys.exit(1)


def read_utf8(path):
    data = Path(path).read_bytes()
    if data.startswith(b"\xef\xbb\xbf"):
        raise DataError(f"{path}: starts with a byte-order mark; the data is UTF-8 without one")
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as exc:
        raise DataError(f"{path}: not valid UTF-8 (byte {exc.start})") from None
    if "\r" in text:
        raise DataError(f"{path}: contains a carriage return; the data uses LF line endings")
    return text


def unescape(text, where):
    """Decodes the data's escapes: \\n, \\t and \\\\."""
    out = []
    i = 0
    while i < len(text):
        ch = text[i]
        if ch != "\\":
            out.append(ch)
            i += 1
            continue
        nxt = text[i + 1:i + 2]
        replacement = {"n": "\n", "t": "\t", "\\": "\\"}.get(nxt)
        if replacement is None:
            raise DataError(f"{where}: invalid escape '\\{nxt}'")
        out.append(replacement)
        i += 2
    return "".join(out)


def table_rows(path, ncols, unescape_last=True):
    """(where, fields) of each row of a tab-separated data file; '#' lines are comments."""
    rows = []
    for number, line in enumerate(read_utf8(path).split("\n"), 1):
        if not line or line.startswith("#"):
            continue
        where = f"{path}:{number}"
        fields = line.split("\t")
        if len(fields) != ncols:
            raise DataError(f"{where}: expected {ncols} tab-separated fields, found {len(fields)}")
        if unescape_last:
            fields[-1] = unescape(fields[-1], where)
        rows.append((where, fields))
    return rows


def number(text, where):
    try:
        return int(text, 0)
    except ValueError:
        raise DataError(f"{where}: {text!r} is not a number") from None


# ---------------------------------------------------------------------------
# The data under setup/resources/
# ---------------------------------------------------------------------------

class Language:
    """One row of languages.tsv, as far as the resources need it."""

    def __init__(self, row, key, ui_languages, dll_id, ini_id, text_id):
        self.row = row
        self.key = key
        self.ui_languages = ui_languages  # [] for the fallback row
        self.dll_id = dll_id
        self.ini_id = ini_id
        self.text_id = text_id


def languages(data_dir):
    path = Path(data_dir) / "languages.tsv"
    result = []
    for where, f in table_rows(path, 8, unescape_last=False):
        ui = [] if f[3] == "*" else [number(v, where) for v in f[3].split(",")]
        result.append(Language(number(f[0], where), f[1], ui,
                               number(f[5], where), number(f[6], where), number(f[7], where)))
    return result


def language(data_dir, key):
    for lang in languages(data_dir):
        if lang.key == key:
            return lang
    raise DataError(f"{Path(data_dir) / 'languages.tsv'}: no language {key!r}")


def strings(data_dir, key):
    """[(id, text)] of strings/<key>.tsv in file order."""
    path = Path(data_dir) / "strings" / f"{key}.tsv"
    return [(number(f[0], where), f[1]) for where, f in table_rows(path, 2)]


def dialog_texts(data_dir, key):
    """{(template id, control id or 'caption'): text} of dialogs/<key>.tsv."""
    path = Path(data_dir) / "dialogs" / f"{key}.tsv"
    texts = {}
    for where, (template, control, text) in table_rows(path, 3):
        ident = (number(template, where), control if control == "caption" else number(control, where))
        if ident in texts:
            raise DataError(f"{where}: {template}/{control} appears twice")
        texts[ident] = (where, text)
    return texts


class Control:
    def __init__(self, ident, cls, x, y, w, h, style, exstyle, fixed_text):
        self.ident = ident
        self.cls = cls
        self.rect = (x, y, w, h)
        self.style = style
        self.exstyle = exstyle
        self.fixed_text = fixed_text  # None: the text comes from the language's data


class Template:
    def __init__(self, ident, w, h, style, exstyle, font):
        self.ident = ident
        self.size = (w, h)
        self.style = style
        self.exstyle = exstyle
        self.font = font  # (points, face) or None
        self.controls = []


def _styles(text, where):
    """The style names of a cell ('-' for none) as a list."""
    if text == "-":
        return []
    names = [part.strip() for part in text.split("|")]
    for name in names:
        if not name or not all(c.isalnum() or c == "_" for c in name) or not name[0].isalpha():
            raise DataError(f"{where}: {name!r} is not a style name")
    return names


def templates(data_dir):
    """The dialog templates of dialog_templates.tsv, in file order."""
    path = Path(data_dir) / "dialog_templates.tsv"
    result = {}
    for number_, line in enumerate(read_utf8(path).split("\n"), 1):
        if not line or line.startswith("#"):
            continue
        where = f"{path}:{number_}"
        f = line.split("\t")
        if f[0] == "dialog" and len(f) == 8:
            ident = number(f[1], where)
            if ident in result:
                raise DataError(f"{where}: template {ident} appears twice")
            font = None
            if f[6] != "-" or f[7] != "-":
                font = (number(f[6], where), f[7])
            result[ident] = Template(ident, number(f[2], where), number(f[3], where),
                                     _styles(f[4], where), _styles(f[5], where), font)
        elif f[0] == "control" and len(f) == 11:
            template = number(f[1], where)
            if template not in result:
                raise DataError(f"{where}: control of template {template} before its dialog row")
            style = _styles(f[8], where)
            if "WS_CHILD" not in style:
                raise DataError(f"{where}: a control's style includes WS_CHILD")
            fixed = None
            if f[10] != "-":
                if not f[10].startswith("#"):
                    raise DataError(f"{where}: a fixed text is '#' and a resource number")
                fixed = number(f[10][1:], where)
            ident = number(f[2], where)
            if any(c.ident == ident for c in result[template].controls) and ident != -1:
                raise DataError(f"{where}: control {ident} appears twice in template {template}")
            result[template].controls.append(Control(
                ident, f[3], *(number(v, where) for v in f[4:8]), style, _styles(f[9], where), fixed))
        else:
            raise DataError(f"{where}: expected a 'dialog' row of 8 fields or a 'control' row of 11")
    return result


# ---------------------------------------------------------------------------
# Resource scripts
# ---------------------------------------------------------------------------

DEFAULT_FONT = (8, "MS Shell Dlg")


def rc_string(text):
    """A quoted resource-script string holding `text` (the script is UTF-8)."""
    out = []
    for ch in text:
        if ch == '"':
            out.append('""')
        elif ch == "\\":
            out.append("\\\\")
        elif ch == "\n":
            out.append("\\n")
        elif ch == "\t":
            out.append("\\t")
        elif ord(ch) < 32:
            raise DataError(f"control character U+{ord(ch):04X} in {text!r}")
        else:
            out.append(ch)
    return '"' + "".join(out) + '"'


def rc_path(path):
    return rc_string(str(path))


def rc_styles(names, visible_by_default):
    """A style expression. CONTROL statements start from WS_CHILD | WS_VISIBLE,
    so a control without WS_VISIBLE has to take it away explicitly."""
    parts = list(names)
    if visible_by_default and "WS_VISIBLE" not in names:
        parts.append("NOT WS_VISIBLE")
    return " | ".join(parts) if parts else "0"


def language_statement(lang):
    """LANGUAGE for a row's resources: its first UI language, neutral for the
    fallback row (which stands for every language not listed elsewhere)."""
    if not lang.ui_languages:
        return "LANGUAGE LANG_NEUTRAL, SUBLANG_NEUTRAL"
    ident = lang.ui_languages[0]
    return f"LANGUAGE 0x{ident & 0x3FF:02X}, 0x{ident >> 10:02X}"


def language_resources(data_dir, key):
    """Script lines of one language's string table and dialog templates."""
    lang = language(data_dir, key)
    lines = [language_statement(lang), "", "STRINGTABLE", "BEGIN"]
    for ident, text in strings(data_dir, key):
        lines.append(f"    {ident}, {rc_string(text)}")
    lines += ["END", ""]

    texts = dialog_texts(data_dir, key)
    all_templates = templates(data_dir)
    for (template, control), (where, _) in texts.items():
        if template not in all_templates:
            raise DataError(f"{where}: no template {template} in dialog_templates.tsv")
        if control != "caption":
            found = [c for c in all_templates[template].controls if c.ident == control]
            if not found:
                raise DataError(f"{where}: template {template} has no control {control}")
            if found[0].fixed_text is not None:
                raise DataError(f"{where}: control {template}/{control} has a fixed text")

    for t in all_templates.values():
        points, face = t.font or DEFAULT_FONT
        style = t.style if "DS_SETFONT" in t.style else t.style + ["DS_SETFONT"]
        lines.append(f"{t.ident} DIALOGEX 0, 0, {t.size[0]}, {t.size[1]}")
        # STYLE first: a later STYLE would clear what CAPTION adds.
        lines.append(f"STYLE {rc_styles(style, False)}")
        if t.exstyle:
            lines.append(f"EXSTYLE {rc_styles(t.exstyle, False)}")
        if (t.ident, "caption") in texts:
            lines.append(f"CAPTION {rc_string(texts[(t.ident, 'caption')][1])}")
        lines.append(f"FONT {points}, {rc_string(face)}, 400, 0, 0x1")
        lines.append("BEGIN")
        for c in t.controls:
            if c.fixed_text is not None:
                text = str(c.fixed_text)
            else:
                text = rc_string(texts.get((t.ident, c.ident), (None, ""))[1])
            fields = [text, str(c.ident), rc_string(c.cls), rc_styles(c.style, True),
                      *(str(v) for v in c.rect)]
            if c.exstyle:
                fields.append(rc_styles(c.exstyle, False))
            lines.append("    CONTROL " + ", ".join(fields))
        lines += ["END", ""]
    return lines


def script_header(generator, sources):
    return [f"// Generated by tools/resgen/{generator} from {', '.join(sources)};",
            "// edit the data, not this file.",
            "#pragma code_page(65001)",
            "#include <windows.h>",
            ""]


def write_text(path, text):
    """Writes UTF-8 with LF line ends; the folder is made when missing."""
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    part = path.with_name(path.name + ".part")
    part.write_bytes(text.encode("utf-8"))
    os.replace(part, path)


def write_bytes(path, data):
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    part = path.with_name(path.name + ".part")
    part.write_bytes(data)
    os.replace(part, path)


def utf16_text(text):
    """UTF-16LE with a byte-order mark and CR LF line ends, as the setup
    program's text resources are read (the edit control needs CR LF)."""
    return b"\xff\xfe" + text.replace("\n", "\r\n").encode("utf-16-le")
