#!/usr/bin/env python3
"""Libraries planted beside our programs are never loaded.

A program started from a folder anybody can write to must not load a
library put there under the name of a system library. This test:

1. reads the import tables of GlimmoraInstall.exe, Glimmora.exe and
   Remove.exe (objdump): each holds only known DLLs, which Windows always
   takes from the system folder (Glimmora.exe also its own libraries, which
   it takes from its install folder);
2. in one fresh prefix, with native-first overrides for the planted names
   (Windows' search order for a library that is not a known DLL), runs each
   program from a folder holding a stand-in for every library in PLANTED,
   each of which leaves a marker in C:\\planted-markers when it is loaded:
   the packed setup program from a Downloads folder (its first wizard page,
   then a silent installation), then Glimmora.exe and Remove.exe from the
   install folder (a capture, then the silent removal);
3. checks that no marker was written and that no library was loaded from
   the program's folder (the loader's trace), that each program did its job,
   and that the uninstaller's copy ran from a folder of its own, made for the
   run, that is gone afterwards.

Usage: planting_e2e.py --root REPO --exe GlimmoraInstall.exe --product DIR
         --pack glimmora-pack --driver wizard_driver.exe --cc MINGW_GCC
         --nm MINGW_NM --objdump MINGW_OBJDUMP --work DIR [--template DIR]
"""
import argparse
import glob
import json
import os
import re
import shutil
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no cache folder beside the sources
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import silent_install_e2e as e2e  # noqa: E402  (shares the prefix and registry helpers)

# The libraries planted, and why each: loaded by name while our programs run
# (from a trace of normal runs, WINEDEBUG=+loaddll), none of them a known DLL.
PLANTED = {
    "gdiplus.dll": "imported by the setup program and Glimmora.exe",
    "comctl32.dll": "imported by the setup program and Glimmora.exe (the manifest's version 6)",
    "uxtheme.dll": "loaded by name when the first window of a process is made",
    "winspool.drv": "imported by the print dialog's library",
    "compstui.dll": "imported by the print spooler's library",
}
# Not planted, because under Wine they are loaded beside the program whatever
# the program does, where Windows would not (Wine has no known DLLs, and
# resolves the imports of its own system libraries, known DLLs on Windows,
# with the program's folder first):
#   version.dll        Wine's user32 imports it, before the program's first
#                      instruction; step 1 checks that our programs do not;
#   windowscodecs.dll  Wine's GDI+ loads it (and with it propsys.dll) at its
#                      first use with the search order of the process's
#                      start, ignoring the restriction (measured: restricted,
#                      GDI+ loaded by full path, a picture loaded, the codecs
#                      came from the program's folder); on Windows the
#                      restriction covers what system libraries load;
#   win32u, ucrtbase, zlib1, winex11.drv, kernelbase: Wine's own start-up.

# The known DLLs of Windows 7 that every later version keeps, lower case.
KNOWN_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "shlwapi.dll",
              "ole32.dll", "oleaut32.dll", "comdlg32.dll", "msvcrt.dll", "rpcrt4.dll", "imm32.dll",
              "ws2_32.dll", "setupapi.dll", "wldap32.dll", "psapi.dll", "normaliz.dll", "nsi.dll",
              "imagehlp.dll", "difxapi.dll", "clbcatq.dll", "sechost.dll", "msctf.dll"}
# The product's own libraries, which Glimmora.exe imports from its install folder.
PRODUCT_LIBRARIES = {"nuvel.dll", "tessel.dll", "morrow.dll"}
PRODUCT_FILES = ["Glimmora.exe", "Remove.exe", "glimmora.ico", "Notes.txt", "GlimmoraSrcSaver.scr",
                 "Nuvel.dll", "Tessel.dll", "Morrow.dll", "Quillon.dll"]
RESULT = r"C:\result.txt"
INSTALL = ("Program Files (x86)", "Tavrin", "Glimmora")
MARKERS = "planted-markers"  # in C:\, where the stand-ins write
SCENARIO = "planting"


def check(condition, message):
    e2e.check(SCENARIO, condition, message)


# ---------------------------------------------------------------- import tables

def imported_libraries(exe):
    dump = subprocess.run([ARGS.objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    return {name.lower() for name in re.findall(r"^\s*DLL Name: (\S+)", dump, re.M)}


def check_import_tables():
    programs = [(ARGS.exe, set()),
                (os.path.join(ARGS.product, "Glimmora.exe"), PRODUCT_LIBRARIES),
                (os.path.join(ARGS.product, "Remove.exe"), set())]
    for exe, own in programs:
        imported = imported_libraries(exe)
        check(imported, f"{os.path.basename(exe)}: objdump found no import table")
        for name in sorted(imported - KNOWN_DLLS - own):
            e2e.fail(SCENARIO, f"{os.path.basename(exe)} imports {name}, which is not a known DLL: "
                               "Windows looks for it in the program's folder first")


# ---------------------------------------------------------------- planted libraries

def build_stand_ins(folder):
    """One stand-in per planted name, exporting stubs of what the system
    library exports (so that a program importing it still starts)."""
    os.makedirs(folder, exist_ok=True)
    source = os.path.join(ARGS.root, "tests", "e2e", "planted_library.c")
    for name in PLANTED:
        stem = os.path.splitext(name)[0]
        sources = [source]
        import_library = subprocess.run([ARGS.cc, f"-print-file-name=lib{stem}.a"], check=True,
                                        capture_output=True, text=True).stdout.strip()
        if os.path.isabs(import_library) and os.path.isfile(import_library):
            sources += [os.path.join(folder, stem + ".def"), os.path.join(folder, stem + ".S")]
            subprocess.run([sys.executable, os.path.join(ARGS.root, "cmake", "importlib.py"), "stand-in",
                            ARGS.nm, import_library, name] + sources[1:], check=True)
        subprocess.run([ARGS.cc, "-O2", "-shared", "-nostdlib", "-nostartfiles", "-Wl,-e,_DllMain@12",
                        "-o", os.path.join(folder, name)] + sources + ["-lkernel32"], check=True)
    return folder


def plant(stand_ins, folder):
    for name in PLANTED:
        shutil.copy(os.path.join(stand_ins, name), os.path.join(folder, name))


def overrides():
    """Native first for every planted name: the search order Windows uses
    for a library that is not a known DLL."""
    names = [name[:-4] if name.endswith(".dll") else name for name in PLANTED]
    return ",".join(names) + "=n,b"


# ---------------------------------------------------------------- the package

def build_package(work):
    """The product's real programs and libraries; stand-ins for the driver
    images, so that no driver is started (and none waits for a restart to
    be removed)."""
    payload = os.path.join(work, "payload")
    os.makedirs(payload, exist_ok=True)
    entries = [{"file": os.path.join(ARGS.product, name)} for name in PRODUCT_FILES]
    for driver in ("kvfilt.xp", "kvfilt.vst", "kvfilt.x64"):
        with open(os.path.join(payload, driver), "wb") as f:
            f.write(b"not a driver\n")
        entries.append({"file": os.path.join(payload, driver)})
    project = {
        "product": {"name": "Glimmora", "version": "3.5.0.1", "company": "Tavrin",
                    "installFolderToken": "[ProgramFilesFolder]",
                    "defaultInstallFolder": "[ProgramFilesFolder]\\Tavrin\\Glimmora", "engine": ARGS.exe},
        "lists": [{"name": "Common", "entries": [
            {"predefined": "[ProgramFilesFolder]", "entries": [
                {"folder": "Tavrin", "entries": [
                    {"folder": "Glimmora", "destinationRoot": True, "entries": entries}]}]},
            {"predefined": "[SystemFolder]", "entries": [
                {"file": os.path.join(ARGS.product, "Harrow.dll")}]}]}],
    }
    path = os.path.join(work, "project.json")
    with open(path, "w") as f:
        json.dump(project, f, indent=1)
    package = os.path.join(work, "GlimmoraSetup.exe")
    subprocess.run([ARGS.pack, "build", path, "-o", package], check=True, stdout=subprocess.DEVNULL)
    return package


# ---------------------------------------------------------------- what a run left

def loaded_from(trace, folder):
    """The libraries the loader's trace shows loaded from `folder`."""
    prefix = folder.rstrip("\\").lower() + "\\"
    paths = (path.replace("\\\\", "\\") for path in re.findall(r'Loaded L"([^"]+)"', trace))
    return sorted({path for path in paths if path.lower().startswith(prefix)})


def expect_nothing_planted_loaded(step, machine, trace, folder, programs):
    """No marker, and nothing loaded from the program's folder but the
    program (and the product's own libraries)."""
    markers = machine.drive_c(MARKERS)
    for name in sorted(os.listdir(markers)) if os.path.isdir(markers) else []:
        with open(os.path.join(markers, name), "rb") as f:
            loads = f.read().decode("utf-16-le", "replace").strip().replace("\r\n", "; ")
        e2e.fail(SCENARIO, f"{step}: the planted {name[:-4]} was loaded: {loads}")
    shutil.rmtree(markers, ignore_errors=True)  # each step reports its own
    allowed = {p.lower() for p in programs} | PRODUCT_LIBRARIES
    for path in loaded_from(trace, folder):
        check(path.rsplit("\\", 1)[-1].lower() in allowed, f"{step}: {path} was loaded from the program's folder")


def run(machine, argv, **kwargs):
    r = machine.run(argv, **kwargs)
    return r, r.stderr.decode("utf-8", "replace")


def removal_folders(machine):
    """The uninstaller's folders and files in the user's temporary folders."""
    return set(glob.glob(machine.drive_c("users", "*", "Temp", "GlimmoraRemove*")))


# ---------------------------------------------------------------- the scenario

def main():
    parser = argparse.ArgumentParser()
    for option in ("--root", "--exe", "--product", "--pack", "--driver", "--cc", "--nm", "--objdump", "--work"):
        parser.add_argument(option, required=True)
    parser.add_argument("--template", help="the template prefix (made when missing)")
    global ARGS
    ARGS = parser.parse_args()
    for name in ("root", "exe", "product", "pack", "driver", "work"):  # the project file names them
        setattr(ARGS, name, os.path.abspath(getattr(ARGS, name)))
    ARGS.wine_run = os.path.join(ARGS.root, "tools", "wine", "run")
    e2e.ARGS = argparse.Namespace(root=ARGS.root, work=ARGS.work, wine_run=ARGS.wine_run)
    os.makedirs(ARGS.work, exist_ok=True)

    check_import_tables()
    stand_ins = build_stand_ins(os.path.join(ARGS.work, "stand-ins"))
    package = build_package(ARGS.work)
    e2e.ARGS.template = e2e.make_template(ARGS.template or os.path.join(ARGS.work, "template"))

    m = e2e.Machine(SCENARIO, env={"WINEDLLOVERRIDES": overrides(), "WINEDEBUG": "+loaddll"})
    try:
        # A crash of a program that loaded a stand-in ends the run instead
        # of waiting in the crash dialog.
        m.run(["reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog", "/t", "REG_DWORD", "/d",
               "0", "/f"])
        m.warm_up()
        if run_setup(m, package, stand_ins):
            run_product(m, stand_ins)
    finally:
        m.remove()
    return e2e.report("no planted library was loaded; installation, capture and removal worked")


def run_setup(m, package, stand_ins):
    """The setup program, downloaded next to the planted libraries: its
    first wizard page, then a silent installation. True once installed."""
    downloads = m.drive_c("users", "Public", "Downloads")
    os.makedirs(downloads, exist_ok=True)
    setup = os.path.join(downloads, "GlimmoraSetup.exe")
    shutil.copy(package, setup)
    plant(stand_ins, downloads)
    downloads_win = r"C:\users\Public\Downloads"

    print("the setup program's first wizard page", flush=True)
    wizard = m.run([setup, r"-f2C:\wizard-result.txt"], background=True)
    driven = m.run([ARGS.driver, "wait:120", "click:1022", "gone:30"], timeout=300)  # the frame's close button
    lines = driven.stdout.decode("utf-8", "replace").splitlines()
    try:
        _, wizard_trace = wizard.communicate(timeout=120)
    except subprocess.TimeoutExpired:
        wizard.kill()
        _, wizard_trace = wizard.communicate()
    check(driven.returncode == 0 and "gone" in lines, f"the wizard's first page did not come and go: {lines}")
    expect_nothing_planted_loaded("wizard", m, wizard_trace.decode("utf-8", "replace"), downloads_win,
                                  ["GlimmoraSetup.exe"])

    print("a silent installation", flush=True)
    r, trace = run(m, [setup, "/S", "-f2" + RESULT])
    check(r.returncode == 0, f"silent installation: exit code {r.returncode}")
    check(e2e.result_lines(m, RESULT) == b"[ResponseResult]\r\nResultCode=0\r\n",
          f"silent installation: result {e2e.result_lines(m, RESULT)!r}")
    expect_nothing_planted_loaded("silent installation", m, trace, downloads_win, ["GlimmoraSetup.exe"])
    installed = os.path.isfile(m.drive_c(*INSTALL, "Glimmora.exe"))
    check(installed, "nothing installed: Glimmora.exe and Remove.exe cannot be tried")
    return installed


def run_product(m, stand_ins):
    """Glimmora.exe and Remove.exe in the install folder, next to the
    planted libraries: a capture, then the silent removal."""
    install = m.drive_c(*INSTALL)
    install_win = "C:\\" + "\\".join(INSTALL)
    plant(stand_ins, install)

    print("Glimmora.exe /capture", flush=True)
    r, trace = run(m, [os.path.join(install, "Glimmora.exe"), "/capture"], timeout=120)
    check(r.returncode == 0, f"Glimmora.exe /capture: exit code {r.returncode} (no picture saved)")
    expect_nothing_planted_loaded("Glimmora.exe", m, trace, install_win, ["Glimmora.exe"])

    print("Remove.exe /S", flush=True)
    before = removal_folders(m)
    r, trace = run(m, [os.path.join(install, "Remove.exe"), "/S"])
    check(r.returncode == 0, f"Remove.exe /S: exit code {r.returncode}")
    # The copy goes on after the original has ended: watch its folder come
    # and go while the install folder goes.
    seen = set()
    deadline = time.time() + 120
    while time.time() < deadline and (os.path.exists(install) or removal_folders(m) - before):
        for path in removal_folders(m) - before:
            if os.path.isdir(path):
                seen.add((path, os.path.isfile(os.path.join(path, "Remove.exe"))))
        time.sleep(0.05)
    if os.path.exists(install):
        e2e.fail(SCENARIO, f"the install folder is still there, holding {sorted(os.listdir(install))}")
    check(any(holds_copy for _, holds_copy in seen),
          "the uninstaller's copy was not seen in a folder of its own below the temporary folder")
    check(not removal_folders(m) - before, f"left in the temporary folder: {sorted(removal_folders(m) - before)}")
    expect_nothing_planted_loaded("Remove.exe", m, trace, install_win, ["Remove.exe"])
    m.settle()
    entries = [k for k in m.registry().keys if k.endswith("uninstall\\glimmora3.5")]
    check(not entries, f"the uninstall entry is still there: {entries}")


if __name__ == "__main__":
    sys.exit(main())
