#!/usr/bin/env python3
"""The interactive installation under Wine, driven the way a user drives it:
a Windows-side driver (wizard_driver.exe) clicks the wizard's real buttons,
types into its fields and reads what the windows show, while this script
checks what the setup program left on the machine. Each scenario runs in a
fresh copy of the template prefix.

Usage: wizard_e2e.py --root REPO --driver wizard_driver.exe --work DIR [--only NAME]
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import silent_install_e2e as e2e  # noqa: E402  (machines, registry files, failure report)

CHECK = e2e.check
FAIL = e2e.fail
PRODUCT_KEY = r"Software\Wow6432Node\Tavrin\Glimmora"
RESULT = r"C:\result.txt"
SAMPLES = 110  # more files than the bar has steps, so it must reach its end
STATUS = ["Copying files to destination folders...", "Creating shortcuts", "Installing drivers",
          "Registering uninstallation program", "Registering software information"]


def build_package(work):
    """The demo product, with a folder of samples added to its common files."""
    os.makedirs(work, exist_ok=True)
    demo = os.path.join(ARGS.root, "demo")
    project = json.load(open(os.path.join(demo, "glimmora-demo.json")))
    project["product"]["engine"] = os.path.join(ARGS.root, "out", "win32", "GlimmoraInstall.exe")

    def absolute(entries):
        for entry in entries:
            if "file" in entry:
                entry["file"] = os.path.normpath(os.path.join(demo, entry["file"]))
            absolute(entry.get("entries", []))
    for listing in project["lists"]:
        absolute(listing["entries"])
    samples = os.path.abspath(os.path.join(work, "samples"))
    os.makedirs(samples, exist_ok=True)
    entries = []
    for i in range(SAMPLES):
        path = os.path.join(samples, f"sample{i:03}.txt")
        with open(path, "w") as f:
            f.write(f"sample {i}\n")
        entries.append({"file": path})
    root = project["lists"][0]["entries"][0]["entries"][0]["entries"][0]
    assert root.get("destinationRoot")
    root["entries"].append({"folder": "samples", "entries": entries})
    path = os.path.join(work, "project.json")
    json.dump(project, open(path, "w"), indent=1)
    out = os.path.join(work, "GlimmoraSetup.exe")
    subprocess.run([os.path.join(ARGS.root, "out", "host", "glimmora-pack"), "build", path, "-o", out],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return out


class Session:
    """The setup program running in the background of a machine."""

    def __init__(self, machine, package, arguments=(RESULT,), hold_ms=300):
        self.machine = machine
        # Each status line stands long enough to be read from outside (and
        # to be interrupted).
        machine.env["GLIMMORA_STATUS_HOLD_MS"] = str(hold_ms)
        args = [package] + [r"-f2" + a for a in arguments]
        self.process = machine.run(args, background=True)

    def drive(self, *steps, timeout=600):
        r = self.machine.run([ARGS.driver] + list(steps), timeout=timeout)
        return r.stdout.decode("utf-8", "replace").splitlines()

    def finish(self, seconds=60):
        try:
            self.process.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            self.process.kill()
            return False
        return True


def shown_licence(language):
    """The licence as the page shows it: the stored text (UTF-16 with a
    byte-order mark, CR LF, ending in a line feed) without its last code
    unit, CR and LF written as the driver writes them."""
    text = open(os.path.join(ARGS.root, "setup", "resources", "licence", language + ".txt"), encoding="utf-8").read()
    stored = "\ufeff" + text.replace("\n", "\r\n")
    return stored[:-1].replace("\r", "\\r").replace("\n", "\\n")


def buttons(lines):
    return [line for line in lines if line.startswith("buttons")]


def expect_buttons(scenario, line, expected):
    """`expected` maps a button id to "V"/"H" (and optionally "E"/"D")."""
    states = dict(part.split("=") for part in line.split()[1:])
    for button, want in expected.items():
        got = states.get(str(button), "??")
        CHECK(scenario, got.startswith(want), f"button {button} is {got}, expected {want} ({line})")


PAGE1 = {1: "VE", 2: "VE", 3: "VD", 4: "H", 5: "H", 6: "H", 7: "H"}
PAGE2 = {1: "H", 2: "H", 3: "VE", 4: "V", 5: "V", 6: "V", 7: "H"}
PAGE3 = {1: "VE", 2: "VE", 3: "VE", 4: "H", 5: "H", 6: "H", 7: "H"}
PAGE5 = {1: "H", 2: "H", 3: "H", 7: "VE"}


def text(reg, key, name):
    value = reg.value(key, name)
    return value[1].decode("utf-16-le").rstrip("\0") if value else None


def result(machine):
    return e2e.result_lines(machine, RESULT)


def scenario_new_installation(package):
    name = "wizard"
    m = e2e.Machine(name)
    m.warm_up()
    s = Session(m, package)
    lines = s.drive("wait:120", "buttons", "text:1005",
                    "click:1", "sleep:1500", "buttons", "text:1003",
                    "select:1007:3", "sleep:800", "text:1003",  # another licence language
                    "key:13", "sleep:1000", "buttons",          # Enter does not accept the licence
                    "click:5", "sleep:1500", "buttons", "text:1005",
                    "click:3", "sleep:1500", "buttons",         # Back from the destination page
                    "click:5", "sleep:1500",
                    "type:1005:C:Tools", "click:1", "msgbox:30", "sleep:500", "buttons",
                    "type:1005:C:/Tools", "click:1", "status:600", "buttons",
                    "altf4", "sleep:500", "buttons",            # no longer busy, but Alt+F4 on page 5 cancels
                    "gone:30")
    print("\n".join("    " + l for l in lines), flush=True)
    b = buttons(lines)
    if len(b) < 7:
        FAIL(name, f"the wizard did not get through its pages: {lines}")
        return m
    expect_buttons(name, b[0], PAGE1)
    expect_buttons(name, b[1], PAGE2)
    expect_buttons(name, b[2], PAGE2)
    expect_buttons(name, b[3], PAGE3)
    expect_buttons(name, b[4], PAGE2)
    expect_buttons(name, b[5], PAGE3)
    expect_buttons(name, b[6], PAGE5)
    licences = [l[len("text 1003="):] for l in lines if l.startswith("text 1003=")]
    CHECK(name, licences[:1] == [shown_licence("English")], "the English licence is not shown whole: "
          + (licences[0][:80] if licences else "no text"))
    CHECK(name, licences[1:2] == [shown_licence("German")], "choosing Deutsch did not show the German licence")
    folder_texts = [l for l in lines if l.startswith("text 1005=")]
    CHECK(name, folder_texts and folder_texts[1] == "text 1005=C:\\Program Files (x86)\\Tavrin\\",
          f"default folder: {folder_texts}")
    CHECK(name, any(l.startswith("msgbox The current selected path is not valid") for l in lines),
          "a drive-relative folder was not refused with message 123")
    statuses = [l[len("status "):] for l in lines if l.startswith("status ")]
    CHECK(name, [s for s in STATUS if s in statuses] == STATUS and statuses == sorted(statuses, key=STATUS.index),
          f"status lines {statuses}")
    CHECK(name, "progress 100" in lines, f"the bar did not reach its end: {[l for l in lines if 'progress' in l]}")
    CHECK(name, "gone" in lines, "Alt+F4 on the finish page did not end the wizard")
    s.finish()
    m.settle()

    folder = m.drive_c("Tools", "Glimmora")
    for file in ("Glimmora.exe", "Remove.exe", "Notes.txt", os.path.join("samples", "sample109.txt")):
        CHECK(name, os.path.isfile(os.path.join(folder, file)), f"{file} not installed in C:\\Tools\\Glimmora")
    # Every language list, as in a silent run.
    notes = sorted(os.listdir(os.path.join(ARGS.root, "demo", "notes")))
    missing = [n for n in notes if not os.path.isfile(os.path.join(folder, n))]
    CHECK(name, len(notes) == 22 and not missing, f"language lists not installed: {missing}")
    CHECK(name, not os.path.exists(m.drive_c("Program Files (x86)", "Tavrin", "Glimmora", "Glimmora.exe")),
          "files went to the default folder")
    reg = m.registry()
    CHECK(name, text(reg, PRODUCT_KEY, "InstallDir") == "C:\\Tools\\Glimmora\\",
          f"InstallDir {text(reg, PRODUCT_KEY, 'InstallDir')!r}")
    CHECK(name, result(m) == b"[ResponseResult]\r\nResultCode = 0\r\n", f"result file {result(m)!r}")
    return m


def damaged_copy(package, work, last=False):
    """The package with one byte flipped inside its first payload stream
    (the product's program), or with `last`, in the checksum of the last
    one (written after every other file)."""
    data = bytearray(open(package, "rb").read())
    if last:
        length = int.from_bytes(data[-38:-34], "little")
        row = len(data) - 38 - length - 12
        index_offset = int.from_bytes(data[row:row + 4], "little")
        data[index_offset - 2] ^= 0x5A
    else:
        image = os.path.getsize(os.path.join(ARGS.root, "out", "win32", "GlimmoraInstall.exe"))
        data[image + 30] ^= 0x5A
    out = os.path.join(work, "GlimmoraSetup-damaged-last.exe" if last else "GlimmoraSetup-damaged.exe")
    open(out, "wb").write(bytes(data))
    return out


def scenario_damaged_stream(package):
    """A package with a damaged stream: the wizard's finish page says the
    installation did not complete and names the file; the result is "-1"."""
    name = "wizard-damaged"
    m = e2e.Machine(name)
    m.warm_up()
    s = Session(m, damaged_copy(package, os.path.dirname(package)))
    lines = s.drive("wait:120", "click:1", "sleep:1500", "click:5", "sleep:1500", "click:1",
                    "status:600", "buttons", "text:1020", "check:1005", "sleep:500", "click:7", "gone:30")
    print("\n".join("    " + l for l in lines), flush=True)
    b = buttons(lines)
    if b:
        expect_buttons(name, b[0], PAGE5)
    shown = [l for l in lines if l.startswith("text 1020=")]
    expected = ("text 1020=Tavrin Glimmora was not installed completely.\\r\\n"
                "Nothing was changed on this computer.\\r\\n"
                "This file could not be written:\\r\\n"
                "C:\\Program Files (x86)\\Tavrin\\Glimmora\\Glimmora.exe\\r\\n"
                "The result was recorded in:\\r\\nC:\\result.txt")
    CHECK(name, shown == [expected], f"finish page: {shown}")
    CHECK(name, "gone" in lines, "Finish did not close the wizard")
    s.finish()
    m.settle()
    CHECK(name, result(m) == b"[ResponseResult]\r\nResultCode = -1\r\n", f"result file {result(m)!r}")
    CHECK(name, not os.path.exists(m.drive_c("Program Files (x86)", "Tavrin", "Glimmora")),
          "the failed installation left the product's folder")
    m.remove()


# What the wizard's start-up writes whatever happens next: the splash
# renderer's libraries.
SPLASH = ["windows/syswow64/devil.dll", "windows/syswow64/ilu.dll", "windows/syswow64/ilut.dll",
          "windows/syswow64/3dimagerenderer.dll", "windows/syswow64/d3dx9_35.dll"]


def scenario_cancel(package):
    """Cancel on the progress page, confirmed: the installation stops and is
    undone; the finish page says so; the machine is what it was."""
    name = "cancel"
    m = e2e.Machine(name)
    m.warm_up()
    m.settle()
    before = e2e.machine_snapshot(m)
    s = Session(m, package, hold_ms=3000)
    lines = s.drive("wait:120", "click:1", "sleep:1500", "click:5", "sleep:1500", "click:1", "sleep:1200",
                    "click:2", "msgbox:30", "status:600", "buttons", "text:1020", "click:7", "gone:30")
    print("\n".join("    " + l for l in lines), flush=True)
    CHECK(name, any(l.startswith("msgbox Do you want to stop the installation?") for l in lines),
          f"Cancel did not ask: {lines}")
    shown = [l for l in lines if l.startswith("text 1020=")]
    CHECK(name, shown == ["text 1020=The installation was cancelled.\\r\\n"
                          "Nothing was changed on this computer.\\r\\n"
                          "The result was recorded in:\\r\\nC:\\result.txt"], f"finish page: {shown}")
    CHECK(name, "gone" in lines, "Finish after a cancel did not close the wizard")
    s.finish()
    m.settle()
    CHECK(name, result(m) == b"[ResponseResult]\r\nResultCode = -1\r\n", f"result file {result(m)!r}")
    changes = e2e.snapshot_changes(before, e2e.machine_snapshot(m), SPLASH)
    CHECK(name, not changes, f"the cancelled installation changed the machine: {changes[:10]}")
    m.remove()


def scenario_failed_repair(m, package):
    """A repair from a package with a damaged stream leaves the installed
    product as it was, byte for byte."""
    name = "failed-repair"
    # A start of the prefix first: the driver replaced by the last repair
    # was in use, and its removal waits for the next start.
    m.warm_up()
    m.settle()
    before = e2e.machine_snapshot(m)
    s = Session(m, damaged_copy(package, os.path.dirname(package), last=True))
    lines = s.drive("wait:120", "click:1", "status:600", "text:1020", "click:7", "gone:30")
    print("\n".join("    " + l for l in lines), flush=True)
    CHECK(name, any("Nothing was changed on this computer." in l for l in lines if l.startswith("text 1020=")),
          f"finish page: {lines}")
    s.finish()
    m.settle()
    changes = e2e.snapshot_changes(before, e2e.machine_snapshot(m), SPLASH)
    CHECK(name, not changes, f"the failed repair changed the installation: {changes[:10]}")


def scenario_repair_and_remove(m, package):
    name = "repair"
    s = Session(m, package)
    lines = s.drive("wait:120", "text:1004", "click:1", "status:600", "buttons",
                    "check:1005", "sleep:500", "click:7", "gone:30")
    print("\n".join("    " + l for l in lines), flush=True)
    CHECK(name, "finished" in lines, f"the repair did not run: {lines}")
    b = buttons(lines)
    if b:
        expect_buttons(name, b[0], PAGE5)
    CHECK(name, "gone" in lines, "Finish with a later restart did not close the wizard")
    s.finish()
    m.settle()
    reg = m.registry()
    CHECK(name, text(reg, PRODUCT_KEY, "InstallDir") == "C:\\Tools\\Glimmora\\",
          "the repair went to another folder")
    CHECK(name, result(m) == b"[ResponseResult]\r\nResultCode = 0\r\n" * 2, f"result file {result(m)!r}")

    scenario_failed_repair(m, package)
    three = b"[ResponseResult]\r\nResultCode = 0\r\n" * 2 + b"[ResponseResult]\r\nResultCode = -1\r\n"
    CHECK("failed-repair", result(m) == three, f"result file {result(m)!r}")

    name = "remove"
    s = Session(m, package)
    lines = s.drive("wait:120", "check:1005", "sleep:300", "click:1", "gone:30", "msgbox:60")
    print("\n".join("    " + l for l in lines), flush=True)
    CHECK(name, "gone" in lines, "the repair dialog stayed after Next")
    CHECK(name, any(l.startswith("msgbox Do you want to remove Glimmora") for l in lines),
          f"the product's uninstaller did not start: {lines}")
    deadline = time.time() + 120
    while time.time() < deadline and os.path.exists(m.drive_c("Tools", "Glimmora", "Glimmora.exe")):
        time.sleep(1)
    CHECK(name, not os.path.exists(m.drive_c("Tools", "Glimmora", "Glimmora.exe")), "the product was not removed")
    s.finish()
    m.settle()
    CHECK(name, result(m) == three, "removal wrote a result")


def scenario_decline(package):
    name = "decline"
    m = e2e.Machine(name)
    m.warm_up()
    s = Session(m, package)
    lines = s.drive("wait:120", "click:1", "sleep:1500", "click:6", "gone:30")
    CHECK(name, "gone" in lines, f"Decline did not end the wizard: {lines}")
    s.finish()
    m.settle()
    CHECK(name, not os.path.exists(m.drive_c("Program Files (x86)", "Tavrin", "Glimmora")), "something was installed")
    CHECK(name, result(m) is None, f"a result was written: {result(m)!r}")
    m.remove()


def scenario_busy(package):
    """Close, Cancel and Alt+F4 while the files are written ask first; a No
    lets the installation go on to its end."""
    name = "busy"
    m = e2e.Machine(name)
    m.warm_up()
    s = Session(m, package, hold_ms=1500)
    lines = s.drive("wait:120", "click:1", "sleep:1500", "click:5", "sleep:1500", "click:1",
                    "sleep:600", "click:1022", "msgbox-no:30", "altf4", "msgbox-no:30", "click:2", "msgbox-no:30",
                    "status:600", "buttons", "click:7", "sleep:1000", "buttons")
    print("\n".join("    " + l for l in lines), flush=True)
    CHECK(name, len([l for l in lines if l.startswith("msgbox Do you want to stop")]) == 3,
          f"each of Close, Alt+F4 and Cancel should ask once: {lines}")
    CHECK(name, "finished" in lines, f"the installation was ended under its feet: {lines}")
    s.process.kill()
    m.settle()
    CHECK(name, result(m) == b"[ResponseResult]\r\nResultCode = 0\r\n", f"result file {result(m)!r}")
    m.remove()


def scenario_repair_unusable_folder(package):
    """A repair whose installed folder cannot be made ends with message 123
    instead of going back to a destination page it does not have."""
    name = "repair-folder"
    m = e2e.Machine(name)
    m.warm_up()
    m.run(["reg", "add", r"HKLM\Software\Tavrin\Glimmora", "/v", "InstallDir", "/d", "Q:\\Missing\\",
           "/f", "/reg:32"])
    s = Session(m, package)
    lines = s.drive("wait:120", "click:1", "msgbox:60", "gone:30")
    print("\n".join("    " + l for l in lines), flush=True)
    CHECK(name, any(l.startswith("msgbox The current selected path is not valid") for l in lines),
          f"no message 123: {lines}")
    CHECK(name, "gone" in lines, "the repair wizard stayed open")
    CHECK(name, s.finish(), "the setup program did not end")
    m.settle()
    CHECK(name, result(m) is None, f"a result was written: {result(m)!r}")
    m.remove()


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--template", help="the template prefix (made when missing)")
    parser.add_argument("--only", action="append")
    ARGS = parser.parse_args()
    e2e.ARGS = argparse.Namespace(root=ARGS.root, work=ARGS.work,
                                  wine_run=os.path.join(ARGS.root, "tools", "wine", "run"))
    os.makedirs(ARGS.work, exist_ok=True)
    e2e.ARGS.template = e2e.make_template(ARGS.template or os.path.join(ARGS.work, "template"))
    package = build_package(os.path.join(ARGS.work, "package"))
    wanted = lambda n: not ARGS.only or n in ARGS.only  # noqa: E731
    if wanted("wizard"):
        print("scenario wizard", flush=True)
        m = scenario_new_installation(package)
        if wanted("repair"):
            print("scenario repair and remove", flush=True)
            scenario_repair_and_remove(m, package)
        m.remove()
    if wanted("damaged"):
        print("scenario damaged", flush=True)
        scenario_damaged_stream(package)
    if wanted("cancel"):
        print("scenario cancel", flush=True)
        scenario_cancel(package)
    if wanted("decline"):
        print("scenario decline", flush=True)
        scenario_decline(package)
    if wanted("repair-folder"):
        print("scenario repair-folder", flush=True)
        scenario_repair_unusable_folder(package)
    if wanted("busy"):
        print("scenario busy", flush=True)
        scenario_busy(package)
    return e2e.report("all wizard scenarios passed")


if __name__ == "__main__":
    sys.exit(main())
