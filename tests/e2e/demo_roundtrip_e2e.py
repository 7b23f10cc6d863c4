#!/usr/bin/env python3
"""Install the demo package silently, install it again over itself, then
remove it with the product's own uninstaller, in a fresh prefix; compare what
the machine holds of the product before and after. The only differences
allowed are the ones kept on purpose, listed in KEPT below.

Usage: demo_roundtrip_e2e.py --root REPO --work DIR
"""
import argparse
import fnmatch
import json
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import silent_install_e2e as e2e  # noqa: E402  (shares the prefix and registry helpers)

# What stays after removal on purpose (paths below drive_c, lower case).
KEPT = [
    "users/*/temp/*",                           # the uninstaller's own temporary copy
    "windows/glimmorasrcsaver.scr", "windows/nuvel.dll", "windows/tessel.dll",
    "windows/morrow.dll", "windows/quillon.dll",                                # shared files
    "programdata/glimmora",                                                    # shared data folder
    "result.txt",                                                              # the result file
]
# Registry keys of the product, in both views (lower case, single backslashes).
PRODUCT_KEYS = ["software\\tavrin", "software\\wow6432node\\tavrin",
                "software\\microsoft\\windows\\currentversion\\uninstall\\glimmora3.5",
                "software\\wow6432node\\microsoft\\windows\\currentversion\\uninstall\\glimmora3.5",
                "system\\currentcontrolset\\services\\kvfilt"]


def file_snapshot(machine):
    root = machine.drive_c()
    files = set()
    for folder, _, names in os.walk(root):
        for name in names:
            rel = os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/").lower()
            files.add(rel)
        if not names and folder != root:
            files.add(os.path.relpath(folder, root).replace(os.sep, "/").lower() + "/")
    return files


def registry_snapshot(machine, clsid):
    reg = machine.registry()
    keys = set()
    for key in reg.keys:
        if any(key == k or key.startswith(k + "\\") for k in PRODUCT_KEYS):
            keys.add(key)
        if clsid and clsid.lower() in key:
            keys.add(key)
    return keys


def kept(path):
    return any(fnmatch.fnmatch(path, pattern) or path.startswith(pattern.rstrip("*") + "/")
               or path == pattern + "/" for pattern in KEPT)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--clsid", default="", help="the COM class Harrow.dll registers")
    parser.add_argument("--template", help="the template prefix (made when missing)")
    args = parser.parse_args()
    e2e.ARGS = argparse.Namespace(root=args.root, work=args.work,
                                  wine_run=os.path.join(args.root, "tools", "wine", "run"))
    os.makedirs(args.work, exist_ok=True)
    e2e.ARGS.template = e2e.make_template(args.template or os.path.join(args.work, "template"))

    package = os.path.join(args.work, "GlimmoraSetup.exe")
    subprocess.run([os.path.join(args.root, "out", "host", "glimmora-pack"), "build",
                    os.path.join(args.root, "demo", "glimmora-demo.json"), "-o", package],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    m = e2e.Machine("demo-roundtrip")
    m.warm_up()
    m.settle()
    files_before = file_snapshot(m)
    keys_before = registry_snapshot(m, args.clsid)

    for attempt in ("install", "reinstall"):
        r = m.run([package, "/S", r"-f2C:\result.txt"])
        m.settle()
        e2e.check(attempt, r.returncode == 0, f"exit code {r.returncode}")
    reg = m.registry()
    entries = [k for k in reg.keys if k.endswith("uninstall\\glimmora3.5")]
    e2e.check("reinstall", len(entries) == 1, f"uninstall entries: {entries}")
    if args.clsid:
        e2e.check("install", any(args.clsid.lower() in k for k in reg.keys), "the COM class key is missing")
    result = e2e.result_lines(m, r"C:\result.txt")
    e2e.check("install", result == b"[ResponseResult]\r\nResultCode=0\r\n" * 2, f"result {result!r}")

    remove = m.drive_c("Program Files (x86)", "Tavrin", "Glimmora", "Remove.exe")
    r = m.run([remove, "/S"])
    deadline = time.time() + 120
    while time.time() < deadline and os.path.exists(m.drive_c("Program Files (x86)", "Tavrin", "Glimmora")):
        time.sleep(1)
    m.settle()
    if args.clsid:
        e2e.check("remove", not any(args.clsid.lower() in k for k in m.registry().keys),
                  "the COM class key is still registered")

    # A driver the device host has loaded cannot be deleted while the machine
    # runs: the uninstaller schedules it for the next start. Restart, then look.
    m.run(["wineboot", "-r"])
    time.sleep(2)
    m.settle()
    pending = m.registry().value("system\\currentcontrolset\\control\\session manager",
                                 "pendingfilerenameoperations")
    e2e.check("restart", not pending, f"renames still pending after the restart: {pending!r}")

    files_after = file_snapshot(m)
    keys_after = registry_snapshot(m, args.clsid)
    for path in sorted(files_after - files_before):
        if not kept(path):
            e2e.fail("remove", f"left behind: C:/{path}")
    for path in sorted(files_before - files_after):
        if path.endswith("/") and any(p.startswith(path) for p in files_after):
            continue  # an empty folder that now holds something kept
        e2e.fail("remove", f"removed what was there before: C:/{path}")
    for key in sorted(keys_after - keys_before):
        e2e.fail("remove", f"registry key left behind: {key}")
    m.remove()

    return e2e.report("installed twice and removed cleanly")


if __name__ == "__main__":
    sys.exit(main())
