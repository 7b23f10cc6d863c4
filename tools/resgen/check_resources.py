#!/usr/bin/env python3
"""Check the translated resource data of the setup program.

Checks setup/resources/{strings,dialogs,licence,skin}/ against the rules in
setup/resources/README.md and exits non-zero, naming every violation, when
one is broken. Standard library only.

    python3 tools/resgen/check_resources.py [--root REPO_ROOT]
"""

import argparse
import hashlib
import re
import sys
import unicodedata
from pathlib import Path

# ---------------------------------------------------------------------------
# Fixed expectations
# ---------------------------------------------------------------------------

# English texts of the setup program's string ids that are fixed character for
# character (message boxes, status lines, shortcut file names, the path check).
ENGLISH_STRINGS = (
    (102, "Install Tavrin Glimmora"),
    (104, "Your installation package is damaged. Please get the correct "
          "installation package, then try again."),
    (105, "Tavrin Glimmora only supports Windows xp, Windows 2000 and "
          "Windows vista."),
    (108, "You must have administrator permission to be able to install "
          "Tavrin Glimmora."),
    (109, "Creating shortcuts"),
    (110, "Copying files to destination folders..."),
    (111, "Installing drivers"),
    (112, "Registering uninstallation program"),
    (113, "Registering software information"),
    (118, "\\Tavrin\\Tavrin Glimmora.lnk"),
    (123, "The current selected path is not valid. Please select again."),
    (126, "\\Tavrin Glimmora.lnk"),
)

# Every string id the setup program uses; all language files carry exactly these.
STRING_IDS = (101, 102, 104, 105, 108, 109, 110, 111, 112, 113, 114, 115,
              116, 118, 123, 126, 129, 130, 131, 132, 133, 134, 135, 136,
              137, 138)

# English dialog control texts that are fixed character for character.
ENGLISH_DIALOG_TEXTS = (
    (130, "1005", "Welcome to the Glimmora Installation Wizard"),
    (130, "1025", "This wizard will help you install Tavrin Glimmora on your "
                  "computer. To continue, click Next. If you don't want to "
                  "install, click Cancel."),
    (131, "1046", "To continue the installation of Tavrin Glimmora, you must "
                  "accept the agreement."),
    (133, "1000", "Browse"),
    (133, "1004", "Please select the installation folder:"),
    (137, "1", "Next"),
    (137, "2", "Cancel"),
    (137, "3", "Back"),
    (137, "4", "Print"),
    (137, "5", "Accept"),
    (137, "7", "Finish"),
    (137, "1021", "-"),
    (137, "1022", "x"),
    (138, "1008", "Introduction"),
    (138, "1009", "Read the License Agreement"),
    (138, "1010", "Path Selection"),
    (138, "1011", "Installing Files and Registering Components"),
    (138, "1012", "Installation Complete"),
    (146, "1004", "Restart now to activate Tavrin Glimmora."),
    (146, "1005", "Restart computer later."),
    (147, "1", "Next"),
    (147, "2", "Cancel"),
    (147, "1004", "Repair Tavrin Glimmora installation"),
    (147, "1005", "Uninstall Tavrin Glimmora"),
    (147, "1021", "-"),
    (147, "1022", "X"),
    (148, "1011", "Repairing your installation..."),
    (148, "1012", "Repair Installation Complete"),
)

# Dialog templates of the setup program (About box, progress page, welcome,
# licence, destination, wizard frame, step panel, finish, repair, repair panel).
DIALOG_TEMPLATES = (100, 102, 130, 131, 133, 137, 138, 146, 147, 148)

# Controls whose text must stay the same in every language (graphic buttons).
SYMBOL_CONTROLS = {(137, "1021"), (137, "1022"), (147, "1021"), (147, "1022")}

# Controls whose text must equal a string id (the frame writes these strings
# into its buttons at run time and compares button 1 with string 116).
BUTTON_STRINGS = (
    (137, "1", 129), (137, "2", 130), (137, "7", 116),
    (147, "1", 129), (147, "2", 130),
)

# SHA-256 of setup/resources/skin/English.ini (UTF-8, LF line endings).
ENGLISH_INI_SHA256 = "76b9adad1fd5f800bfa128a829636ccf021f8dfcd0e20bb2805d5e6c9c50acd4"

SKIN_SECTIONS = ("DialogRepair", "DialogLeftWiz", "DialogWizard", "DialogFirst",
                 "DialogSecond", "DialogSelLang", "GlimmoraInstallDlg",
                 "DialogOK", "DialogLeftWizRepair")

# Tooltips every language must override, and the Chinese texts they must read.
TOOLTIP_KEYS = (("DialogRepair", "1021"), ("DialogRepair", "1022"),
                ("DialogWizard", "1021"), ("DialogWizard", "1022"))
CHINESE_TOOLTIPS = {"1021": "最小化", "1022": "关闭"}

# Columns an override may change, by button kind (column 0 of the line).
TOOLTIP_COLUMNS = {"char": (4, 16), "check": (6, 16), "graphics": (6, 16)}
X_COLUMN = {"char": 7, "check": 8, "graphics": 7}

# Skin buttons whose caption is a dialog control text: section -> {key: (template, control)}.
SKIN_CAPTIONS = {
    "DialogWizard": {"1": (137, "1"), "2": (137, "2"), "3": (137, "3"),
                     "4": (137, "4"), "5": (137, "5"), "6": (137, "6"),
                     "7": (137, "7")},
    "DialogRepair": {"1": (147, "1"), "2": (147, "2"),
                     "1004": (147, "1004"), "1005": (147, "1005")},
    "DialogSelLang": {"1000": (133, "1000")},
    "DialogOK": {"1004": (146, "1004"), "1005": (146, "1005")},
}

# Text-button rows that are visible together (left to right), and the space
# the buttons of each skinned dialog may use, in design pixels.
BUTTON_ROWS = {
    "DialogWizard": (("4", "3", "5", "6"), ("3", "1", "2"), ("7",)),
    "DialogRepair": (("1", "2"),),
    "DialogSelLang": (("1000",),),
}
ROW_LIMITS = {"DialogWizard": (20, 448), "DialogRepair": (20, 448),
              "DialogSelLang": (20, 284)}
CHECK_LIMITS = {"DialogOK": 284, "DialogRepair": 448}
CHECK_MIN_X = 2
MIN_GAP = 5
CAPTION_PX = 11          # "Segoe UI" 8 pt at 96 dpi

LICENCE_LINES = (40, 70)
FORBIDDEN_NAME_CHARS = set('\\/:*?"<>|')
RESERVED_NAMES = {"CON", "PRN", "AUX", "NUL"} | {f"COM{i}" for i in range(1, 10)} \
    | {f"LPT{i}" for i in range(1, 10)}

# ---------------------------------------------------------------------------


class Report:
    def __init__(self):
        self.errors = []

    def __call__(self, where, message):
        self.errors.append(f"{where}: {message}")


def read_utf8(path, err):
    """Text of a UTF-8 file with LF line endings, or None after reporting."""
    try:
        data = path.read_bytes()
    except OSError as exc:
        err(path, f"cannot be read ({exc.strerror})")
        return None
    if data.startswith(b"\xef\xbb\xbf"):
        err(path, "starts with a byte-order mark; files are UTF-8 without one")
        return None
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as exc:
        err(path, f"is not valid UTF-8 (byte {exc.start})")
        return None
    if "\r" in text:
        err(path, "contains a carriage return; use LF line endings")
        return None
    if text and not text.endswith("\n"):
        err(path, "does not end with a line feed")
    return text


def unescape(text, where, err):
    """Decode the escapes \\n, \\t and \\\\; report any other backslash use."""
    out = []
    i = 0
    while i < len(text):
        ch = text[i]
        if ch == "\\":
            nxt = text[i + 1] if i + 1 < len(text) else ""
            if nxt == "n":
                out.append("\n")
            elif nxt == "t":
                out.append("\t")
            elif nxt == "\\":
                out.append("\\")
            else:
                err(where, f"invalid escape '\\{nxt}' (only \\n, \\t and \\\\ are allowed;"
                           " write a backslash as \\\\)")
                return None
            i += 2
            continue
        if unicodedata.category(ch) == "Cc":
            err(where, f"raw control character U+{ord(ch):04X} in text")
            return None
        out.append(ch)
        i += 1
    return "".join(out)


def check_text(text, where, err):
    if not text.strip():
        err(where, "empty text")
        return False
    if text != text.strip(" "):
        err(where, "text begins or ends with a blank")
        return False
    if text.replace("&&", "").count("&") > 1:
        err(where, "more than one mnemonic '&' (write a literal ampersand as &&)")
        return False
    return True


def read_table(path, ncols, err):
    """Rows of a tab-separated table with '#' comments; fields unescaped."""
    text = read_utf8(path, err)
    if text is None:
        return None
    rows = []
    for number, line in enumerate(text.split("\n")[:-1], 1):
        where = f"{path}:{number}"
        if line.startswith("#"):
            continue
        if not line:
            err(where, "empty line (use '#' for comments)")
            continue
        fields = line.split("\t")
        if len(fields) != ncols:
            err(where, f"expected {ncols} tab-separated fields, found {len(fields)}")
            continue
        value = unescape(fields[-1], where, err)
        if value is None or not check_text(value, where, err):
            continue
        rows.append((number, fields[:-1], value))
    return rows


def languages(root, err):
    path = root / "setup/resources/languages.tsv"
    text = read_utf8(path, err)
    if text is None:
        return []
    keys = [line.split("\t")[1] for line in text.split("\n")
            if line and not line.startswith("#")]
    if len(keys) != 22:
        err(path, f"expected 22 language rows, found {len(keys)}")
    return keys


def check_folder_files(folder, langs, suffix, err, skip=()):
    expected = {f"{k}{suffix}" for k in langs if k not in skip}
    present = {p.name for p in folder.glob(f"*{suffix}")} if folder.is_dir() else set()
    for name in sorted(expected - present):
        err(folder / name, "missing")
    for name in sorted(present - expected):
        err(folder / name, "no language of that name")


# ---------------------------------------------------------------------------
# Strings
# ---------------------------------------------------------------------------

def check_shortcut(text, sid, where, err):
    parts = text.split("\\")
    if sid == 118:
        ok = len(parts) == 3 and parts[0] == "" and parts[1] == "Tavrin"
        shape = "\\Tavrin\\NAME.lnk (the setup program creates the folder \\Tavrin)"
    else:
        ok = len(parts) == 2 and parts[0] == ""
        shape = "\\NAME.lnk"
    if not ok:
        err(where, f"shortcut path must have the form {shape}")
        return
    name = parts[-1]
    if not name.endswith(".lnk") or len(name) <= 4:
        err(where, "shortcut file name must end in .lnk")
    bad = sorted({c for c in name if c in FORBIDDEN_NAME_CHARS or ord(c) < 32})
    if bad:
        err(where, f"shortcut file name contains {''.join(bad)!r}, not allowed in Windows file names")
    if name.endswith((" ", ".")) or name[:-4].endswith((" ", ".")):
        err(where, "shortcut file name must not end in a blank or a dot")
    if name[:-4].split(".")[0].upper() in RESERVED_NAMES:
        err(where, "shortcut file name is a reserved device name")


def check_strings(root, langs, err):
    folder = root / "setup/resources/strings"
    check_folder_files(folder, langs, ".tsv", err)
    tables = {}
    for lang in langs:
        path = folder / f"{lang}.tsv"
        if not path.exists():
            continue
        rows = read_table(path, 2, err)
        if rows is None:
            continue
        table = {}
        last = -1
        for number, (sid,), text in rows:
            where = f"{path}:{number}"
            if not re.fullmatch(r"[1-9][0-9]*", sid):
                err(where, f"string id {sid!r} is not a decimal number")
                continue
            sid = int(sid)
            if sid in table:
                err(where, f"string id {sid} appears twice")
                continue
            if sid < last:
                err(where, f"string id {sid} is out of order (lines are sorted by id)")
            last = sid
            table[sid] = (number, text)
        ids = set(table)
        for sid in sorted(set(STRING_IDS) - ids):
            err(path, f"string id {sid} is missing")
        for sid in sorted(ids - set(STRING_IDS)):
            err(path, f"string id {sid} is not one of the setup program's string ids")
        for sid in (118, 126):
            if sid in table:
                check_shortcut(table[sid][1], sid, f"{path}:{table[sid][0]}", err)
        tables[lang] = table

    english = tables.get("English", {})
    for sid, expected in ENGLISH_STRINGS:
        if sid in english and english[sid][1] != expected:
            err(f"{folder / 'English.tsv'}:{english[sid][0]}",
                f"string {sid} reads {english[sid][1]!r}, must read {expected!r}")
    for lang, table in tables.items():
        path = folder / f"{lang}.tsv"
        for sid, (number, text) in table.items():
            if sid not in english:
                continue
            for name in ("Tavrin", "Glimmora"):
                if name in english[sid][1] and name not in text:
                    err(f"{path}:{number}", f"string {sid} must keep the name {name!r}")
        if 116 in table and 129 in table and table[116][1] == table[129][1]:
            err(path, "strings 116 (Finish) and 129 (Next) must differ: the wizard "
                      "tells them apart by text")
    return tables


# ---------------------------------------------------------------------------
# Dialogs
# ---------------------------------------------------------------------------

def dialog_sort_key(key):
    template, control = key
    return (template, -1 if control == "caption" else int(control))


def check_dialogs(root, langs, strings, err):
    folder = root / "setup/resources/dialogs"
    check_folder_files(folder, langs, ".tsv", err)
    if not (folder / "templates.md").is_file():
        err(folder / "templates.md", "missing")
    tables = {}
    for lang in langs:
        path = folder / f"{lang}.tsv"
        if not path.exists():
            continue
        rows = read_table(path, 3, err)
        if rows is None:
            continue
        table = {}
        last = None
        for number, (template, control), text in rows:
            where = f"{path}:{number}"
            if not re.fullmatch(r"[1-9][0-9]*", template) or \
                    int(template) not in DIALOG_TEMPLATES:
                err(where, f"{template!r} is not a dialog template of the setup program")
                continue
            if control != "caption" and not re.fullmatch(r"[1-9][0-9]*", control):
                err(where, f"control id {control!r} is neither a number nor 'caption'")
                continue
            key = (int(template), control)
            if key in table:
                err(where, f"{template}/{control} appears twice")
                continue
            if last is not None and dialog_sort_key(key) < dialog_sort_key(last):
                err(where, f"{template}/{control} is out of order (sorted by template, "
                           "then caption, then control id)")
            last = key
            table[key] = (number, text)
        tables[lang] = table

    english = tables.get("English", {})
    for lang, table in tables.items():
        path = folder / f"{lang}.tsv"
        for key in sorted(set(english) - set(table), key=dialog_sort_key):
            err(path, f"dialog text {key[0]}/{key[1]} is missing")
        for key in sorted(set(table) - set(english), key=dialog_sort_key):
            err(path, f"dialog text {key[0]}/{key[1]} is not in English.tsv")
        for key, (number, text) in table.items():
            if key not in english:
                continue
            where = f"{path}:{number}"
            if key in SYMBOL_CONTROLS and text != english[key][1]:
                err(where, f"{key[0]}/{key[1]} is a graphic button's symbol and stays "
                           f"{english[key][1]!r}")
            for name in ("Tavrin", "Glimmora"):
                if name in english[key][1] and name not in text:
                    err(where, f"{key[0]}/{key[1]} must keep the name {name!r}")
        st = strings.get(lang, {})
        for template, control, sid in BUTTON_STRINGS:
            if (template, control) in table and sid in st and \
                    table[(template, control)][1] != st[sid][1]:
                err(f"{path}:{table[(template, control)][0]}",
                    f"{template}/{control} must read like string {sid} ({st[sid][1]!r})")
    for template, control, expected in ENGLISH_DIALOG_TEXTS:
        key = (template, control)
        if key not in english:
            err(folder / "English.tsv", f"dialog text {template}/{control} is missing")
        elif english[key][1] != expected:
            err(f"{folder / 'English.tsv'}:{english[key][0]}",
                f"{template}/{control} reads {english[key][1]!r}, must read {expected!r}")
    return tables


# ---------------------------------------------------------------------------
# Licence texts
# ---------------------------------------------------------------------------

def check_licences(root, langs, dialogs, err):
    folder = root / "setup/resources/licence"
    check_folder_files(folder, langs, ".txt", err)
    shapes = {}
    for lang in langs:
        path = folder / f"{lang}.txt"
        if not path.exists():
            continue
        text = read_utf8(path, err)
        if text is None:
            continue
        if not text.endswith("\n") or text.endswith("\n\n"):
            err(path, "must end in exactly one line feed")
            continue
        lines = text[:-1].split("\n")
        if not LICENCE_LINES[0] <= len(lines) <= LICENCE_LINES[1]:
            err(path, f"has {len(lines)} lines, expected {LICENCE_LINES[0]} to {LICENCE_LINES[1]}")
        for number, line in enumerate(lines, 1):
            if line != line.rstrip():
                err(f"{path}:{number}", "trailing white space")
            if any(unicodedata.category(c) == "Cc" for c in line):
                err(f"{path}:{number}", "control character (tabs included) in the text")
        if "Tavrin Glimmora" not in text:
            err(path, "does not name Tavrin Glimmora")
        texts = dialogs.get(lang, {})
        for control, role in (("5", "Accept"), ("6", "Decline")):
            button = texts.get((137, control), (0, None))[1]
            if button is not None and button not in text:
                err(path, f"does not name the {role} button as the wizard shows it ({button!r})")
        shapes[lang] = [bool(line) for line in lines]
    english = shapes.get("English")
    if english is not None:
        for lang, shape in shapes.items():
            if shape != english:
                err(folder / f"{lang}.txt", "paragraph layout (line count, blank lines) "
                                            "differs from English.txt")


# ---------------------------------------------------------------------------
# Skin descriptions
# ---------------------------------------------------------------------------

def columns(value):
    """Split a skin value at commas the way the skin library does."""
    cols = value.split(",")
    if value.endswith(","):
        cols.pop()
    return cols


def parse_ini(path, err):
    text = read_utf8(path, err)
    if text is None:
        return None
    digest = hashlib.sha256(text.encode("utf-8")).hexdigest()
    if digest != ENGLISH_INI_SHA256:
        err(path, "differs from the English skin description the setup program ships "
                  f"(sha256 {digest})")
    sections = {}
    current = None
    for number, line in enumerate(text.split("\n")[:-1], 1):
        where = f"{path}:{number}"
        if not line:
            continue
        m = re.fullmatch(r"\[([^\]]+)\]", line)
        if m:
            current = m.group(1)
            if current in sections:
                err(where, f"section [{current}] appears twice")
            sections[current] = {}
            continue
        if current is None or "=" not in line:
            err(where, "expected a section header or a key=value line")
            continue
        key, value = line.split("=", 1)
        if key in sections[current]:
            err(where, f"key {key} appears twice in [{current}]")
        sections[current][key] = value
    if set(sections) != set(SKIN_SECTIONS):
        err(path, f"sections {sorted(sections)} differ from {sorted(SKIN_SECTIONS)}")
    return sections


def caption_px(text):
    """Rough pixel width of a caption in bold Segoe UI at 11 px (upper bound)."""
    narrow = set("iljI.,:;!|'`()[] ") | set("íìïîĭ")
    semi = set("frtJ-\"«»“”„")
    wide = set("mwMWŒœæÆ%@")
    em = 0.0
    for ch in text:
        base = unicodedata.normalize("NFD", ch)[0]
        if ch == "&":
            continue
        if unicodedata.east_asian_width(ch) in ("W", "F"):
            em += 1.0
        elif base in narrow:
            em += 0.30
        elif base in semi:
            em += 0.40
        elif base in wide:
            em += 0.90
        elif base.isupper():
            em += 0.68
        else:
            em += 0.58
    return int(em * CAPTION_PX) + 2


def button_width(kind, caption):
    if kind == "char":
        return max(caption_px(caption), 50) + 48
    if kind == "check":
        return max(caption_px(caption) + 17, 50) + 17
    return 0


def check_layout(lang, sections, texts, where, err):
    for section, rows in BUTTON_ROWS.items():
        left_limit, right_limit = ROW_LIMITS[section]
        for row in rows:
            spans = []
            for key in row:
                template, control = SKIN_CAPTIONS[section][key]
                caption = texts.get((template, control))
                if caption is None:
                    continue
                cols = columns(sections[section][key])
                x = int(cols[X_COLUMN["char"]])
                spans.append((key, x, x + button_width("char", caption)))
            for key, x0, x1 in spans:
                if x0 < left_limit or x1 > right_limit:
                    err(where, f"[{section}] button {key} spans x {x0}..{x1}, outside "
                               f"{left_limit}..{right_limit}; move it or shorten its caption")
            for (ka, _, a1), (kb, b0, _) in zip(spans, spans[1:]):
                if a1 + MIN_GAP > b0:
                    err(where, f"[{section}] buttons {ka} and {kb} overlap or touch "
                               f"({a1} + {MIN_GAP} > {b0}); move them or shorten a caption")
    for section, right_limit in CHECK_LIMITS.items():
        xs = {}
        for key in ("1004", "1005"):
            caption = texts.get(SKIN_CAPTIONS[section][key])
            if caption is None:
                continue
            x = xs[key] = int(columns(sections[section][key])[X_COLUMN["check"]])
            x1 = x + button_width("check", caption)
            if x < CHECK_MIN_X or x1 > right_limit:
                err(where, f"[{section}] option {key} spans x {x}..{x1}, outside "
                           f"{CHECK_MIN_X}..{right_limit}; move it or shorten its caption")
        if len(set(xs.values())) > 1:
            err(where, f"[{section}] options 1004 and 1005 must share one x ({xs})")


def check_skins(root, langs, dialogs, err):
    folder = root / "setup/resources/skin"
    ini_path = folder / "English.ini"
    check_folder_files(folder, langs, ".overrides", err, skip=("English",))
    extra = {p.name for p in folder.glob("*.ini")} - {"English.ini"} if folder.is_dir() else set()
    for name in sorted(extra):
        err(folder / name, "only English.ini is kept whole; other languages use .overrides")
    english = parse_ini(ini_path, err) if ini_path.exists() else None
    if english is None:
        if not ini_path.exists():
            err(ini_path, "missing")
        return
    check_layout("English", english, {k: v[1] for k, v in dialogs.get("English", {}).items()},
                 ini_path, err)
    for lang in langs:
        if lang == "English":
            continue
        path = folder / f"{lang}.overrides"
        if not path.exists():
            continue
        rows = read_table(path, 3, err)
        if rows is None:
            continue
        merged = {s: dict(v) for s, v in english.items()}
        seen = {}
        for number, (section, key), value in rows:
            where = f"{path}:{number}"
            if section not in english:
                err(where, f"no section [{section}] in English.ini")
                continue
            if key not in english[section]:
                err(where, f"no key {key} in section [{section}] of English.ini")
                continue
            if (section, key) in seen:
                err(where, f"[{section}] {key} is overridden twice")
                continue
            seen[(section, key)] = value
            old = columns(english[section][key])
            new = columns(value)
            if value == english[section][key]:
                err(where, f"[{section}] {key} repeats the English value; leave it out")
                continue
            if len(new) != len(old) or value.endswith(",") != english[section][key].endswith(","):
                err(where, f"[{section}] {key} must keep the English line's columns "
                           f"({len(old)}) and trailing commas; a tooltip holds no comma")
                continue
            kind = old[0] if old[0] in ("char", "check") else "graphics"
            allowed = set(TOOLTIP_COLUMNS[kind]) | {X_COLUMN[kind]}
            for i, (a, b) in enumerate(zip(old, new)):
                if a != b and i not in allowed:
                    err(where, f"[{section}] {key} changes column {i} ({a!r} -> {b!r}); "
                               "only tooltips and x coordinates differ between languages")
            xi = X_COLUMN[kind]
            if xi < len(new) and not re.fullmatch(r"[0-9]+", new[xi]):
                err(where, f"[{section}] {key}: x {new[xi]!r} is not a number")
                continue
            for ti in TOOLTIP_COLUMNS[kind]:
                if ti < len(new) and old[ti] and not new[ti].strip():
                    err(where, f"[{section}] {key}: empty tooltip")
            merged[section][key] = value
        for section, key in TOOLTIP_KEYS:
            if (section, key) not in seen:
                err(path, f"[{section}] {key}: the tooltip is not translated")
            elif lang == "China":
                tip = columns(seen[(section, key)])[6]
                if tip != CHINESE_TOOLTIPS[key]:
                    err(path, f"[{section}] {key}: the Chinese tooltip must read "
                              f"{CHINESE_TOOLTIPS[key]!r}")
        texts = {k: v[1] for k, v in dialogs.get(lang, {}).items()}
        if all(re.fullmatch(r"[0-9]+", columns(merged[s][k])[X_COLUMN["char"]] or "x")
               for s, rows_ in BUTTON_ROWS.items() for row in rows_ for k in row):
            check_layout(lang, merged, texts, path, err)


# ---------------------------------------------------------------------------

def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--root", type=Path,
                        default=Path(__file__).resolve().parents[2],
                        help="repository root (default: two levels above this script)")
    args = parser.parse_args()
    root = args.root.resolve()
    err = Report()
    langs = languages(root, err)
    strings = check_strings(root, langs, err)
    dialogs = check_dialogs(root, langs, strings, err)
    check_licences(root, langs, dialogs, err)
    check_skins(root, langs, dialogs, err)
    if err.errors:
        for line in err.errors:
            print(f"error: {line}", file=sys.stderr)
        print(f"check_resources: {len(err.errors)} problem(s) found", file=sys.stderr)
        return 1
    print(f"check_resources: OK: {len(langs)} languages, {len(STRING_IDS)} string ids, "
          f"{len(dialogs.get('English', {}))} dialog texts, licences and skins consistent")
    return 0


if __name__ == "__main__":
    sys.exit(main())
