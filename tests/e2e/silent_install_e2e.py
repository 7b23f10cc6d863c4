#!/usr/bin/env python3
"""End-to-end runs of GlimmoraInstall.exe under Wine, one fresh copy of the
template prefix per scenario: a package is built with glimmora-pack from a
small payload that carries the file names the installation actions expect,
the setup program runs with a command line, and the scenario reads what it
left on the machine (files, the registry files of the prefix, the shortcuts
through lnkinfo, the result file).

Usage: silent_install_e2e.py --root REPO --host OUT_HOST --win32 OUT_WIN32 [--only NAME]
"""
import argparse
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

ARGS = None
FAILURES = []


def fail(scenario, message):
    FAILURES.append(f"{scenario}: {message}")
    print(f"  FAIL {message}", flush=True)


def check(scenario, condition, message):
    if not condition:
        fail(scenario, message)


# ---------------------------------------------------------------- the package

PAYLOAD = {
    # name: (where, bytes)
    "Glimmora.exe": ("product", b"MZ glimmora program\n" * 50),
    "Remove.exe": ("product", b"MZ remove program\n" * 40),
    "Notes.txt": ("product", b"Notes for Glimmora\r\n"),
    "glimmora.ico": ("product", b"\0\0\1\0icon"),
    "kvfilt.xp": ("product", b"driver for XP\n" * 10),
    "kvfilt.vst": ("product", b"driver for Vista and 7, 32-bit\n" * 10),
    "kvfilt.x64": ("product", b"driver for 64-bit systems\n" * 10),
    "Nuvel.dll": ("product", b"nuvel library\n" * 20),
    "GlimmoraSrcSaver.scr": ("product", b"screen saver\n" * 20),
}


def damage_index(package, out):
    """A copy of the package whose index stream is cut short inside: the
    trailer still finds it, but it does not inflate to its end."""
    data = bytearray(open(package, "rb").read())
    count = int.from_bytes(data[-34:-30], "little")
    assert count == 1
    length = int.from_bytes(data[-38:-34], "little")
    row = len(data) - 38 - length - 12
    offset = int.from_bytes(data[row:row + 4], "little")
    packed = int.from_bytes(data[row + 8:row + 12], "little")
    data[row + 8:row + 12] = (packed // 2).to_bytes(4, "little")
    for i in range(offset + packed // 2, offset + packed):
        data[i] = 0
    open(out, "wb").write(bytes(data))
    return out


def build_package(work, damaged_stream=False):
    files = os.path.join(work, "payload")
    os.makedirs(files, exist_ok=True)
    for name, (_, data) in PAYLOAD.items():
        with open(os.path.join(files, name), "wb") as f:
            f.write(data)
    shutil.copy(ARGS.harrow, os.path.join(files, "Harrow.dll"))
    with open(os.path.join(files, "readme_en.txt"), "wb") as f:
        f.write(b"English readme\r\n")
    product = [{"file": "payload/" + name} for name, (where, _) in PAYLOAD.items() if where == "product"]
    project = {
        "product": {"name": "Glimmora", "version": "3.5.0.9", "company": "Tavrin",
                    "installFolderToken": "[ProgramFilesFolder]", "engine": ARGS.exe},
        "lists": [
            {"name": "Common", "entries": [
                {"predefined": "[ProgramFilesFolder]", "entries": [
                    {"folder": "Tavrin", "entries": [
                        {"folder": "Glimmora", "destinationRoot": True, "entries": product}]}]},
                {"predefined": "[SystemFolder]", "entries": [{"file": "payload/Harrow.dll"}]}]},
            {"name": "English", "entries": [
                {"predefined": "[ProgramFilesFolder]", "entries": [
                    {"folder": "Tavrin", "entries": [
                        {"folder": "Glimmora", "destinationRoot": True, "entries": [
                            {"file": "payload/readme_en.txt"}]}]}]}]},
        ],
    }
    import json
    path = os.path.join(work, "project.json")
    with open(path, "w") as f:
        json.dump(project, f, indent=1)
    out = os.path.join(work, "setup.exe")
    subprocess.run([ARGS.pack, "build", path, "-o", out], check=True, stdout=subprocess.DEVNULL)
    if damaged_stream:
        data = bytearray(open(out, "rb").read())
        image = os.path.getsize(ARGS.exe)
        data[image + 30] ^= 0x5A  # inside the first payload stream
        open(out, "wb").write(bytes(data))
    return out


# ---------------------------------------------------------------- Wine

class Machine:
    """A fresh copy of the template prefix with its own wineserver."""

    def __init__(self, name, env=None, version=None):
        self.name = name
        self.prefix = os.path.join(ARGS.work, "prefix-" + name)
        shutil.rmtree(self.prefix, ignore_errors=True)
        shutil.copytree(ARGS.template, self.prefix, symlinks=True)
        self.env = dict(os.environ, GLIMMORA_WINEPREFIX=self.prefix, GLIMMORA_NO_DEBUG_OUTPUT="1")
        self.env.update(env or {})
        if version:
            self.run(["reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", version, "/f"])

    def warm_up(self):
        """Starts the prefix's server and desktop before two programs start
        side by side: started at the same moment in a fresh prefix, each may
        come up on a desktop of its own and not see the other's windows."""
        self.run(["cmd", "/c", "exit"])

    def drive_c(self, *parts):
        return os.path.join(self.prefix, "drive_c", *parts)

    def run(self, argv, background=False, timeout=300):
        command = [ARGS.wine_run] + argv
        if background:
            return subprocess.Popen(command, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        return subprocess.run(command, env=self.env, capture_output=True, timeout=timeout)

    def settle(self):
        """Waits for the registration tool the setup program started without
        waiting, then stops the prefix's server, which writes the registry
        to disk. (The server is kept alive between runs, so waiting for it
        to end by itself would wait for ever.)"""
        env = dict(self.env, WINEPREFIX=self.prefix)
        deadline = time.time() + 120
        while time.time() < deadline:
            busy = subprocess.run(["pgrep", "-f", "-i", "regsvr32"], capture_output=True).returncode == 0
            if not busy:
                break
            time.sleep(0.5)
        subprocess.run(["wineserver", "-k"], env=env)
        for _ in range(40):  # until the server is gone and the files are written
            if subprocess.run(["pgrep", "-f", "wineserver.*"], capture_output=True).returncode != 0:
                break
            if not os.path.exists(os.path.join(self.prefix, ".update-timestamp")):
                break
            time.sleep(0.25)
            if subprocess.run(["wineserver", "-k"], env=env, capture_output=True).returncode != 0:
                break

    def registry(self, hive="system.reg"):
        return Registry(os.path.join(self.prefix, hive))

    def remove(self):
        if os.environ.get("GLIMMORA_E2E_KEEP"):  # for looking at a failed scenario
            return
        shutil.rmtree(self.prefix, ignore_errors=True)


class Registry:
    """Reads a Wine registry file: keys and their values as bytes and type."""

    def __init__(self, path):
        self.keys = {}
        key = None
        pending = ""
        with open(path, encoding="utf-8", errors="replace") as f:
            for raw in f:
                line = raw.rstrip("\n")
                if pending:
                    line = pending + line.strip()
                    pending = ""
                if line.endswith("\\") and not line.startswith("["):
                    pending = line[:-1]
                    continue
                if line.startswith("["):
                    key = line[1:line.index("]")].replace("\\\\", "\\").lower()
                    self.keys[key] = {}
                elif key and line.startswith('"'):
                    name, value = self._split(line)
                    self.keys[key][name.lower()] = value

    @staticmethod
    def _unescape(text):
        r"""Wine's escapes: \\, \", \n, \r, \t, \0 and \xHHHH (a UTF-16 unit)."""
        out, i = [], 0
        while i < len(text):
            c = text[i]
            if c != "\\" or i + 1 == len(text):
                out.append(c)
                i += 1
                continue
            n = text[i + 1]
            if n == "x":
                m = re.match(r"[0-9a-fA-F]{1,4}", text[i + 2:])
                out.append(chr(int(m.group(0), 16)))
                i += 2 + len(m.group(0))
                continue
            out.append({"n": "\n", "r": "\r", "t": "\t", "0": "\0"}.get(n, n))
            i += 2
        return "".join(out).encode("utf-16-le", "surrogatepass").decode("utf-16-le", "replace")

    def _split(self, line):
        m = re.match(r'"((?:[^"\\]|\\.)*)"=(.*)$', line)
        name, value = self._unescape(m.group(1)), m.group(2)
        if value.startswith('"'):
            text = self._unescape(value[1:-1])
            return name, ("sz", (text + "\0").encode("utf-16-le"))
        m = re.match(r'str\((\d+)\):"(.*)"$', value)
        if m:  # a string whose stored data has no terminating zero
            kind = {"1": "sz", "2": "expand"}.get(m.group(1), m.group(1))
            return name, (kind, self._unescape(m.group(2)).encode("utf-16-le"))
        if value.startswith("dword:"):
            return name, ("dword", int(value[6:], 16).to_bytes(4, "little"))
        m = re.match(r"hex(?:\((\w+)\))?:(.*)$", value)
        if m:
            kind = {None: "binary", "1": "sz", "2": "expand", "4": "dword", "7": "multi"}.get(m.group(1), m.group(1))
            data = bytes(int(b, 16) for b in m.group(2).split(",") if b)
            return name, (kind, data)
        return name, ("unknown", value.encode())

    def value(self, key, name):
        return self.keys.get(key.lower(), {}).get(name.lower())


def lnk_fields(path):
    out = subprocess.run(["lnkinfo", path], capture_output=True, text=True).stdout
    fields = {}
    for line in out.splitlines():
        if ":" in line:
            k, _, v = line.partition(":")
            fields[k.strip()] = v.strip()
    return fields


def make_template(path):
    """A prefix that only these scenarios use, made once: the shared prefix
    of the test suite collects keys and files from other tests."""
    marker = os.path.join(path, ".glimmora-e2e-template")
    if os.path.isfile(marker):
        # The pinned font, so windows draw the same on every machine (a few
        # milliseconds when the template has it already).
        subprocess.run([os.path.join(ARGS.root, "tools", "wine", "setup"), "--fonts", path], check=True)
        return path
    subprocess.run([os.path.join(ARGS.root, "tools", "wine", "setup")], check=True)  # binfmt and the shim
    shutil.rmtree(path, ignore_errors=True)
    env = dict(os.environ, GLIMMORA_WINEPREFIX=path)
    subprocess.run([ARGS.wine_run, "wineboot", "-i"], env=env, capture_output=True, timeout=900)
    subprocess.run(["wineserver", "-k"], env=dict(env, WINEPREFIX=path), timeout=120)  # writes the registry out
    if not os.path.isfile(os.path.join(path, "system.reg")):
        raise SystemExit("could not create the scenario template prefix")
    subprocess.run([os.path.join(ARGS.root, "tools", "wine", "setup"), "--fonts", path], check=True)
    open(marker, "w").close()
    return path


# ---------------------------------------------------------------- expectations

INSTALL = r"C:\Program Files (x86)\Tavrin\Glimmora" + "\\"


def text_value(reg, key, name):
    v = reg.value(key, name)
    if v is None:
        return None, None
    kind, data = v
    return kind, data


def expect_strings(scenario, reg, key, expected):
    for name, text in expected.items():
        kind, data = text_value(reg, key, name)
        if data is None:
            fail(scenario, f"{key}\\{name} missing")
            continue
        check(scenario, kind == "sz", f"{name}: type {kind}, expected REG_SZ")
        check(scenario, data == text.encode("utf-16-le"),
              f"{name}: stored {data!r}, expected {text!r} without a terminating zero")


def expect_installed(scenario, machine, lang_row, driver=None):
    for name, (where, data) in PAYLOAD.items():
        path = machine.drive_c("Program Files (x86)", "Tavrin", "Glimmora", name)
        check(scenario, os.path.isfile(path) and open(path, "rb").read() == data, f"{name} not installed intact")
    check(scenario, os.path.isfile(machine.drive_c("Program Files (x86)", "Tavrin", "Glimmora", "readme_en.txt")),
          "the English list's file is missing (the silent run installs every language)")
    check(scenario, os.path.isfile(machine.drive_c("windows", "syswow64", "Harrow.dll")),
          "Harrow.dll not in the 32-bit system folder")
    for name in ("Nuvel.dll", "GlimmoraSrcSaver.scr"):
        check(scenario, os.path.isfile(machine.drive_c("windows", name)), f"{name} not copied to the Windows folder")
    check(scenario, not os.path.exists(machine.drive_c("windows", "MFC71.dll")), "a file the package lacks appeared")
    check(scenario, os.path.isdir(machine.drive_c("ProgramData", "Glimmora")), "shared data folder missing")
    if driver:
        where, source = driver
        path = machine.drive_c("windows", where, "drivers", "kvfilt.sys")
        check(scenario, os.path.isfile(path) and open(path, "rb").read() == PAYLOAD[source][1],
              f"kvfilt.sys in {where} should be {source}")

    reg = machine.registry()
    product = r"Software\Wow6432Node\Tavrin\Glimmora"
    expect_strings(scenario, reg, product, {"Name": "Glimmora", "Version": "3.5.0.9",
                                            "InstallPath": INSTALL + "Glimmora.exe", "InstallDir": INSTALL,
                                            "company": "Corvanel"})
    lang = reg.value(product, "Lang")
    check(scenario, lang == ("dword", lang_row.to_bytes(4, "little")), f"Lang is {lang}, expected row {lang_row}")
    uninstall = r"Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Glimmora3.5"
    expect_strings(scenario, reg, uninstall, {
        "DisplayName": "Glimmora", "UninstallString": INSTALL + "Remove.exe", "Publisher": "Tavrin",
        "DisplayVersion": "3.5.0.9", "InstallLocation": INSTALL,
        "Comments": "Thanks for using Tavrin artificial intelligence product.",
        "ReadMe": INSTALL + "Notes.txt", "DisplayIcon": INSTALL + "glimmora.exe,0"})
    service = r"System\CurrentControlSet\Services\kvfilt"
    for name, value in (("Start", 1), ("Type", 1), ("ErrorControl", 0)):
        check(scenario, reg.value(service, name) == ("dword", value.to_bytes(4, "little")), f"service {name}")
    expect_strings(scenario, reg, service, {"Group": "Extended base"})
    registered = reg.value(r"Software\Wow6432Node\GlimmoraTest", "RegisteredFrom")
    check(scenario, registered is not None and
          registered[1].decode("utf-16-le").rstrip("\0").lower() == r"c:\windows\system32\harrow.dll",
          f"the registration tool did not register the server from its quoted path ({registered})")

    links = [machine.drive_c("ProgramData", "Microsoft", "Windows", "Start Menu", "Programs", "Tavrin",
                             "Tavrin Glimmora.lnk"),
             machine.drive_c("users", "Public", "Desktop", "Tavrin Glimmora.lnk")]
    for link in links:
        if not os.path.isfile(link):
            fail(scenario, f"shortcut missing: {link}")
            continue
        fields = lnk_fields(link)
        # The program hands the shell "...Glimmora\\\\Glimmora.exe"; this shell
        # stores the target normalised, so either form is the right file.
        target = fields.get("Local path", "").lower()
        check(scenario, target in ((INSTALL + "\\Glimmora.exe").lower(), (INSTALL + "Glimmora.exe").lower()),
              f"shortcut target: {fields}")
        check(scenario, any(v.rstrip("\\").lower() == INSTALL.rstrip("\\").lower() for v in fields.values()),
              f"shortcut working folder: {fields}")
        check(scenario, any("glimmora.ico" in v.lower() for v in fields.values()), f"shortcut icon: {fields}")


def run_watched(machine, package, arguments, seconds=60):
    """Runs the setup program in the background while the message-box driver
    watches for any window it shows. Returns (exit code or None when it did
    not end within `seconds`, the watcher's "window ..." line or None)."""
    machine.warm_up()
    setup = machine.run([package] + arguments, background=True)
    watcher = machine.run([ARGS.driver, "--watch", os.path.basename(package), str(seconds)], background=True)
    try:
        code = setup.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        setup.kill()
        code = None
    try:  # a window shown at the very end still counts
        out, _ = watcher.communicate(timeout=2)
    except subprocess.TimeoutExpired:
        watcher.kill()
        out, _ = watcher.communicate()
    line = out.decode("utf-8", "replace").strip()
    return code, (line or None)


# What any run may leave that is not the installation's (paths below drive_c,
# lower case): the result file, and the setup program's own temporary files.
RUN_TRACES = ["*result.txt", "r.txt", "users/*/temp/"]
# Keys Wine itself rewrites at every start (the display adapter's class key).
WINE_KEYS = ["system\\currentcontrolset\\control\\class\\{4d36e968-e325-11ce-bfc1-08002be10318}"]


def machine_snapshot(machine):
    """Every file below drive_c with a digest of its bytes, and every value
    of the machine's registry (both views), after the prefix's server has
    written the registry out."""
    import hashlib
    root = machine.drive_c()
    files = {}
    for folder, dirs, names in os.walk(root):
        rel_folder = os.path.relpath(folder, root).replace(os.sep, "/").lower()
        if not dirs and not names:
            files[rel_folder + "/"] = "folder"
        for name in names:
            path = os.path.join(folder, name)
            rel = os.path.relpath(path, root).replace(os.sep, "/").lower()
            if os.path.islink(path):
                files[rel] = "link"
                continue
            with open(path, "rb") as f:
                files[rel] = hashlib.sha1(f.read()).hexdigest()
    values = {}
    for key, entries in machine.registry().keys.items():
        values[key] = dict(entries)
    return files, values


def snapshot_changes(before, after, allowed=()):
    """The differences between two snapshots, apart from `allowed` paths."""
    import fnmatch
    patterns = list(RUN_TRACES) + list(allowed)
    changes = []
    for path in sorted(set(before[0]) | set(after[0])):
        if before[0].get(path) != after[0].get(path) and not any(fnmatch.fnmatch(path, p) for p in patterns):
            changes.append(f"file {path}: {before[0].get(path, 'absent')} -> {after[0].get(path, 'absent')}")
    for key in sorted(set(before[1]) | set(after[1])):
        if any(key.startswith(k) for k in WINE_KEYS):
            continue
        if before[1].get(key) != after[1].get(key):
            changes.append(f"key {key}")
    return changes


def result_lines(machine, windows_path):
    path = machine.drive_c(*windows_path[3:].split("\\"))
    return open(path, "rb").read() if os.path.isfile(path) else None


# ---------------------------------------------------------------- scenarios

def scenario_silent(package):
    name = "silent"
    m = Machine(name)
    with open(m.drive_c("result.txt"), "wb") as f:
        f.write(b"earlier run\r\n")
    r = m.run([package, "/S", r"-f2C:\result.txt"])
    m.settle()
    check(name, r.returncode == 0, f"exit code {r.returncode}")
    expect_installed(name, m, lang_row=1, driver=("system32", "kvfilt.x64"))
    check(name, result_lines(m, r"C:\result.txt") == b"earlier run\r\n[ResponseResult]\r\nResultCode=0\r\n",
          f"result file: {result_lines(m, r'C:/result.txt')!r}")
    m.remove()


def scenario_command_lines(package):
    cases = [
        ("a switch after the path ends the path", r"-f2C:\out2.txt /S", r"C:\out2.txt", b"ResultCode=0"),
        ("switch before -f2", r"/S -f2C:\out.txt", r"C:\out.txt", b"ResultCode=0"),
        ("a path holding \\s and blanks", r"/S -f2C:\setup\My Results\r.log", r"C:\setup\My Results\r.log",
         b"ResultCode=0"),
        ("-f2 at the end: no result file", r"/S -f2", r"C:\Glimmora.log", None),
        ("no -f2: the default result file", r"/S", r"C:\Glimmora.log", b"ResultCode=0"),
    ]
    for i, (label, line, result, expected) in enumerate(cases):
        name = f"cmdline-{i}"
        m = Machine(name)
        os.makedirs(m.drive_c("setup", "My Results"), exist_ok=True)
        r = m.run([package] + line.split(" "))
        m.settle()
        check(name, r.returncode == 0, f"{label}: exit code {r.returncode}")
        got = result_lines(m, result)
        if expected is None:
            check(name, got is None, f"{label}: {result} should not be written, holds {got!r}")
        else:
            check(name, got == b"[ResponseResult]\r\n" + expected + b"\r\n", f"{label}: {result} holds {got!r}")
        m.remove()


def expected_text(key, string_id):
    for line in open(os.path.join(ARGS.root, "setup", "resources", "strings", key + ".tsv"), encoding="utf-8"):
        if line.startswith(f"{string_id}\t"):
            return line.split("\t", 1)[1].rstrip("\n").replace("\\\\", "\\")
    return None


def answer_message(m, seconds=120):
    """Answers the message box the setup program shows (with its built-in
    caption 102) and returns the driver's result, whose output is the text."""
    caption = expected_text("China", 102)
    return m.run([ARGS.driver, caption, str(seconds)], timeout=seconds + 60)


def scenario_damaged(package_damaged_stream):
    """A silent run of a damaged package never shows a window and never
    waits: it reports "-1" and ends with exit code 1. Only the interactive
    run shows message 104."""
    with tempfile.TemporaryDirectory() as tmp:
        no_trailer = os.path.join(tmp, "bare.exe")
        shutil.copy(ARGS.exe, no_trailer)
        truncated_index = damage_index(ARGS.good_package, os.path.join(tmp, "cut_index.exe"))
        for label, package in (("no trailer", no_trailer), ("truncated index", truncated_index),
                               ("damaged stream", package_damaged_stream)):
            name = "damaged-" + label.replace(" ", "-")
            m = Machine(name)
            code, window = run_watched(m, package, ["/S", r"-f2C:\r.txt"])
            m.settle()
            check(name, code == 1, f"exit code {code} (None: still running after 60 s)")
            check(name, window is None, f"a silent run showed a window: {window}")
            check(name, result_lines(m, r"C:\r.txt") == b"[ResponseResult]\r\nResultCode = -1\r\n",
                  f"result {result_lines(m, r'C:/r.txt')!r}")
            if label == "damaged stream":
                check(name, not os.path.exists(m.drive_c("Program Files (x86)", "Tavrin")),
                      "a failed installation left the product's folder")
            m.remove()

        # A failed installation is undone: the machine is what it was.
        name = "damaged-stream-undone"
        m = Machine(name)
        m.warm_up()
        m.settle()
        before = machine_snapshot(m)
        r = m.run([package_damaged_stream, "/S", r"-f2C:\r.txt"])
        m.settle()
        check(name, r.returncode == 1, f"exit code {r.returncode}")
        changes = snapshot_changes(before, machine_snapshot(m))
        check(name, not changes, f"the failed run changed the machine: {changes[:10]}")
        m.remove()

        name = "damaged-interactive"
        m = Machine(name)
        m.warm_up()
        setup = m.run([no_trailer, r"-f2C:\r.txt"], background=True)
        # The watcher the silent cases rely on does see a window when there is one.
        seen = m.run([ARGS.driver, "--watch", os.path.basename(no_trailer), "60"], timeout=120)
        check(name, seen.returncode == 0 and seen.stdout.startswith(b"window "),
              f"the window watcher missed the message box: {seen.stdout!r}")
        answered = answer_message(m)
        setup.wait(timeout=120)
        m.settle()
        check(name, answered.returncode == 0, "no message box appeared")
        check(name, answered.stdout.decode("utf-8").strip() == expected_text("China", 104),
              f"message text {answered.stdout!r}")
        check(name, setup.returncode == 0, f"the interactive run keeps exit code 0, got {setup.returncode}")
        check(name, result_lines(m, r"C:\r.txt") == b"[ResponseResult]\r\nResultCode = -1\r\n",
              f"result {result_lines(m, r'C:/r.txt')!r}")
        m.remove()


def scenario_languages(package):
    for locale, row in (("en_US.UTF-8", 1), ("de_DE.UTF-8", 3), ("zh_TW.UTF-8", 5), ("es_ES.UTF-8", 10),
                        ("pt_BR.UTF-8", 19)):
        name = "lang-" + locale.split(".")[0]
        m = Machine(name, env={"LC_ALL": locale})
        m.run([package, "/S"])
        m.settle()
        lang = m.registry().value(r"Software\Wow6432Node\Tavrin\Glimmora", "Lang")
        check(name, lang == ("dword", row.to_bytes(4, "little")), f"Lang {lang}, expected {row}")
        check(name, os.path.isfile(m.drive_c("users", "Public", "Desktop", "Tavrin Glimmora.lnk")),
              "the desktop shortcut name")
        m.remove()


def scenario_versions(package):
    name = "winxp"
    m = Machine(name, version="winxp")
    # A 32-bit XP has its driver folder; the 64-bit prefix standing in for it
    # lacks the 32-bit twin of that folder, so it is made as XP would have it.
    os.makedirs(m.drive_c("windows", "syswow64", "drivers"), exist_ok=True)
    m.run([package, "/S"])
    m.settle()
    check(name, os.path.isfile(m.drive_c("windows", "syswow64", "drivers", "kvfilt.sys")) and
          open(m.drive_c("windows", "syswow64", "drivers", "kvfilt.sys"), "rb").read() == PAYLOAD["kvfilt.xp"][1],
          "XP installs kvfilt.xp")
    m.remove()
    # The manifest declares no system after Windows 7, so a newer system still
    # reports 6.x to the program, and the start-up check lets it install.
    name = "win10"
    m = Machine(name, version="win10")
    m.run([package, "/S", r"-f2C:\r.txt"])
    m.settle()
    check(name, result_lines(m, r"C:\r.txt") == b"[ResponseResult]\r\nResultCode=0\r\n",
          f"Windows 10 should install through the manifest: {result_lines(m, r'C:/r.txt')!r}")
    m.remove()
    for version in ("win2k", "win2003"):
        name = version
        m = Machine(name, version=version)
        code, window = run_watched(m, package, ["/S", r"-f2C:\r.txt"])
        m.settle()
        check(name, code == 1, f"exit code {code}")
        check(name, window is None, f"a silent run showed a window: {window}")
        check(name, result_lines(m, r"C:\r.txt") == b"[ResponseResult]\r\nResultCode = -1\r\n",
              f"an unsupported system is a failure in the result file: {result_lines(m, r'C:/r.txt')!r}")
        check(name, not os.path.exists(m.drive_c("Program Files (x86)", "Tavrin")), "nothing installed")
        m.remove()
    # The interactive run still explains itself with message 105.
    name = "win2k-interactive"
    m = Machine(name, version="win2k")
    m.warm_up()
    setup = m.run([package, r"-f2C:\r.txt"], background=True)
    answered = answer_message(m)
    setup.wait(timeout=120)
    m.settle()
    check(name, answered.stdout.decode("utf-8").strip() == expected_text("China", 105),
          f"message {answered.stdout!r}")
    check(name, result_lines(m, r"C:\r.txt") is None, "an interactive refusal writes no result")
    m.remove()


def scenario_second_instance(package):
    name = "second-instance"
    m = Machine(name)
    with tempfile.TemporaryDirectory() as tmp:
        bare = os.path.join(tmp, "bare.exe")
        shutil.copy(ARGS.exe, bare)
        m.warm_up()
        first = m.run([bare], background=True)  # waits at its damaged-package message
        time.sleep(5)
        second = m.run([package, "/S", r"-f2C:\second.txt"])
        check(name, second.returncode == 1, f"the second instance installed nothing: exit code "
              f"{second.returncode}, expected 1")
        check(name, result_lines(m, r"C:\second.txt") is None, "the second instance wrote a result")
        check(name, not os.path.exists(m.drive_c("Program Files (x86)", "Tavrin")), "the second instance installed")
        answer_message(m)
        first.wait(timeout=120)
    m.settle()
    m.remove()


def run_folders(machine):
    """The setup program's own folders left in the temporary folder."""
    return [f for pattern in ("*/AppData/Local/Temp", "*/Temp")
            for f in glob.glob(os.path.join(machine.drive_c("users"), pattern, "GlimmoraSetup-*"))]


def scenario_splash_libraries(package):
    """The wizard's start-up writes the splash renderer's libraries into the
    32-bit system folder, except that a file of one of those names that is
    not ours is left alone; its own run folder is gone when it ends. A silent
    run prepares nothing visual at all."""
    name = "splash-silent"
    m = Machine(name)
    system = m.drive_c("windows", "syswow64")
    r = m.run([package, "/S", r"-f2C:\r.txt"])
    m.settle()
    check(name, r.returncode == 0, f"exit code {r.returncode}")
    for library in ("DevIL.dll", "ILU.dll", "ILUT.dll", "3DImageRenderer.dll"):  # Wine has a d3dx9_35.dll
        check(name, not os.path.exists(os.path.join(system, library)), f"a silent run wrote {library}")
    check(name, not run_folders(m), f"a silent run left a folder: {run_folders(m)}")
    m.remove()

    name = "splash-libraries"
    m = Machine(name)
    system = m.drive_c("windows", "syswow64")
    foreign = open(os.path.join(system, "version.dll"), "rb").read()
    with open(os.path.join(system, "ILU.dll"), "wb") as f:
        f.write(foreign)
    with tempfile.TemporaryDirectory() as tmp:
        bare = os.path.join(tmp, "bare.exe")  # start-up runs, then stops at message 104
        shutil.copy(ARGS.exe, bare)
        m.warm_up()
        setup = m.run([bare], background=True)
        answer_message(m)
        setup.wait(timeout=120)
    m.settle()
    check(name, open(os.path.join(system, "ILU.dll"), "rb").read() == foreign, "a foreign ILU.dll was overwritten")
    for library in ("DevIL.dll", "ILUT.dll", "3DImageRenderer.dll", "d3dx9_35.dll"):
        check(name, os.path.isfile(os.path.join(system, library)), f"{library} not written")
    check(name, not run_folders(m), f"the run's folder was left behind: {run_folders(m)}")
    m.remove()


SCENARIOS = {
    "silent": lambda p: scenario_silent(p["good"]),
    "cmdline": lambda p: scenario_command_lines(p["good"]),
    "damaged": lambda p: scenario_damaged(p["stream"]),
    "languages": lambda p: scenario_languages(p["good"]),
    "versions": lambda p: scenario_versions(p["good"]),
    "second": lambda p: scenario_second_instance(p["good"]),
    "splash": lambda p: scenario_splash_libraries(p["good"]),
}


def report(success):
    """Prints the failures gathered, or `success`; the exit code."""
    if FAILURES:
        print(f"{len(FAILURES)} failure(s):")
        for f in FAILURES:
            print("  " + f)
        return 1
    print(success)
    return 0


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--pack", required=True)
    parser.add_argument("--harrow", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--only", action="append")
    ARGS = parser.parse_args()
    ARGS.wine_run = os.path.join(ARGS.root, "tools", "wine", "run")
    os.makedirs(ARGS.work, exist_ok=True)
    ARGS.template = make_template(os.path.join(ARGS.work, "template"))
    ARGS.good_package = build_package(os.path.join(ARGS.work, "good"))
    packages = {"good": ARGS.good_package,
                "stream": build_package(os.path.join(ARGS.work, "stream"), damaged_stream=True)}
    for name, run in SCENARIOS.items():
        if ARGS.only and name not in ARGS.only:
            continue
        print(f"scenario {name}", flush=True)
        run(packages)
    return report("all scenarios passed")


if __name__ == "__main__":
    sys.exit(main())
