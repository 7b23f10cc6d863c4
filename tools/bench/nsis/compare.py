#!/usr/bin/env python3
"""Glimmora against NSIS on one payload: package size, build time and silent
install time under Wine. A benchmark, not a test: it reports and exits 0
whether ours wins or not; only a failed build or install is an error.

Usage: compare.py --root REPO --pack GLIMMORA_PACK --engine GlimmoraInstall.exe
                  [--size MB] [--runs N] [--build-runs N] [--dir FOLDER] [--keep]

The payload is the benchmark's mix (tools/bench/payload.cpp), generated
again here with the same plan: the same file names, sizes and kinds, spread
over the same folders; the contents are drawn the same way (skewed words
from one vocabulary, 40-byte records on a random walk, random bytes), from
Python's generator rather than the C++ one. It is deterministic and kept in
FOLDER between runs of the same size.

Ours: `glimmora-pack build` with the setup program as engine, run with
`/S -f2C:\\r.txt`. NSIS: makensis on glimmora.nsi (zlib, silent, the same
files into $PROGRAMFILES\\Tavrin\\Glimmora and the same shortcuts and
registry values as our silent run). Each build is timed --build-runs times,
each install --runs times, every install in a fresh copy of a template
prefix made once, the programs taking turns. A trivial windowed program run
the same way measures Wine's own start in a fresh prefix, which is
subtracted from the installers' medians.
"""
import argparse
import bisect
import filecmp
import json
import math
import os
import random
import shutil
import statistics
import struct
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
MASK = (1 << 64) - 1
SEED = 0x6A09E667F3BCC908
MIN_FILE = 4 * 1024
MAX_FILE = 2 * 1024 * 1024
SUBFOLDERS = ["bin", "data", "data/tables", "docs", "docs/help", "media"]
GENERATOR_VERSION = 1
MB = 1024.0 * 1024.0


def fail(message):
    print(f"compare-nsis: {message}", file=sys.stderr)
    sys.exit(1)


# ---------------------------------------------------------------- the payload

class SplitMix:
    def __init__(self, seed):
        self.state = seed & MASK

    def next(self):
        self.state = (self.state + 0x9E3779B97F4A7C15) & MASK
        z = self.state
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & MASK
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & MASK
        return z ^ (z >> 31)

    def unit(self):
        return (self.next() >> 11) * (1.0 / 9007199254740992.0)

    def below(self, n):
        return self.next() % n


def plan_payload(target_bytes):
    """(relative path, kind, size) as PlanPayload makes them."""
    rng = SplitMix(SEED)
    files, total, i = [], 0, 0
    while total < target_bytes:
        if i == 5:
            size = 0
        elif i % 16 == 3:
            size = rng.below(2000)
        else:
            size = int(math.exp(math.log(MIN_FILE) + rng.unit() * math.log(MAX_FILE / MIN_FILE)))
        pick = rng.unit()
        second = rng.below(2) == 0
        if pick < 0.45:
            kind, rel = "text", ("docs/help/notes" if second else "docs/readme") + f"{i:03d}.txt"
        elif pick < 0.80:
            kind, rel = "records", ("data/tables/table" if second else "data/set") + f"{i:03d}.dat"
        else:
            kind, rel = "random", ("media/asset" if second else "bin/module") + f"{i:03d}.bin"
        if i % 23 == 7:  # a few files right in the product folder
            rel = rel.rsplit("/", 1)[1]
        files.append((rel, kind, size))
        total += size
        i += 1
    return files


def vocabulary():
    syllables = ["ka", "lo", "mi", "ra", "ten", "vo", "shi", "gle", "mor", "an",
                 "ex", "pro", "dat", "ion", "ure", "cap", "tor", "win", "sel", "ver"]
    rng = SplitMix(SEED ^ 0x1234)
    words = []
    for _ in range(2000):
        parts = 1 + rng.below(4)
        words.append("".join(syllables[rng.below(20)] for _ in range(parts)))
    # Word k is drawn with the probability that floor(n * u^3) == k.
    n = len(words)
    cum = [((k + 1) / n) ** (1 / 3) for k in range(n)]
    return words, cum


WORDS, WORD_CUM = vocabulary()


def text_bytes(rng, size):
    out, length = [], 0
    pool, at = [], 0
    while length < size:
        if at + 20 > len(pool):
            pool, at = rng.choices(WORDS, cum_weights=WORD_CUM, k=8192), 0
        if rng.random() < 0.2:
            line = f"{pool[at]}.{pool[at + 1]} = {rng.randrange(100000)}\r\n"
            at += 2
        else:
            count = 5 + rng.randrange(12)
            line = " ".join(pool[at:at + count]) + (",\r\n" if rng.randrange(3) == 0 else ".\r\n")
            at += count
        out.append(line)
        length += len(line)
    return "".join(out).encode("ascii")[:size]


NAMES = [n.encode() for n in ("capture", "region", "window", "monitor", "cursor", "overlay",
                              "timer", "hotkey", "encoder", "frame", "palette", "layer")]
RECORD = struct.Struct("<IIiifH18s")


def record_bytes(rng, size):
    out = bytearray()
    ident = stamp = x = y = 0
    rand = rng.getrandbits
    while len(out) < size:
        ident += 1
        bits = rand(64)
        stamp += 1 + bits % 40
        bits //= 40
        x += bits % 21 - 10
        bits //= 21
        y += bits % 21 - 10
        bits //= 21
        value = math.sin(ident * 0.01) * 1000.0 + (bits % 100) * 0.01
        bits //= 100
        flags = 1 << (bits % 6)
        bits //= 6
        out += RECORD.pack(ident, stamp, x, y, value, flags, NAMES[bits % 12])
    return bytes(out[:size])


def write_payload(folder, size_mb):
    """The payload below FOLDER/payload, made again only when missing or of
    another size. Returns the plan."""
    files = plan_payload(int(size_mb * MB))
    stamp_path = os.path.join(folder, "payload.stamp")
    stamp = {"size_mb": size_mb, "version": GENERATOR_VERSION, "files": len(files)}
    payload = os.path.join(folder, "payload")
    try:
        if json.load(open(stamp_path)) == stamp:
            return files
    except (OSError, ValueError):
        pass
    print(f"generating the payload ({size_mb:g} MB) ...", flush=True)
    shutil.rmtree(payload, ignore_errors=True)
    for sub in SUBFOLDERS:
        os.makedirs(os.path.join(payload, sub), exist_ok=True)
    for i, (rel, kind, size) in enumerate(files):
        rng = random.Random((SEED + 0x100000001B3 * (i + 1)) & MASK)
        if kind == "text":
            data = text_bytes(rng, size)
        elif kind == "records":
            data = record_bytes(rng, size)
        else:
            data = rng.randbytes(size)
        with open(os.path.join(payload, rel), "wb") as f:
            f.write(data)
    json.dump(stamp, open(stamp_path, "w"))
    return files


def write_project(folder, files, engine):
    """The glimmora-pack project: one "Common" list, the payload's folders
    below [ProgramFilesFolder]\\Tavrin\\Glimmora."""
    product = {"folder": "Glimmora", "destinationRoot": True, "entries": []}
    nodes = {"": product}
    for sub in SUBFOLDERS:
        parent, _, name = sub.rpartition("/")
        node = {"folder": name, "entries": []}
        nodes[parent]["entries"].append(node)
        nodes[sub] = node
    for rel, _, _ in files:
        nodes[rel.rpartition("/")[0]]["entries"].append({"file": "payload/" + rel})
    project = {
        "title": "Glimmora bench setup",
        "product": {"name": "Glimmora", "version": "1.0", "company": "Tavrin",
                    "defaultInstallFolder": "[ProgramFilesFolder]\\Tavrin\\Glimmora",
                    "installFolderToken": "[ProgramFilesFolder]", "engine": engine},
        "lists": [{"name": "Common", "entries": [
            {"predefined": "[ProgramFilesFolder]", "entries": [{"folder": "Tavrin", "entries": [product]}]}]}],
    }
    path = os.path.join(folder, "glimmora-bench.json")
    with open(path, "w") as f:
        json.dump(project, f, indent=1)
    return path


# ---------------------------------------------------------------- building

def timed(argv, **kw):
    os.sync()  # nothing dirty from an earlier step is written back while this runs
    start = time.monotonic()
    r = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, **kw)
    elapsed = time.monotonic() - start
    if r.returncode != 0:
        fail(f"{os.path.basename(argv[0])} failed ({r.returncode}): {r.stderr.decode(errors='replace')[-2000:]}")
    return elapsed


def build_ours(args, project, out):
    return timed([args.pack, "build", project, "-o", out, "--engine", args.engine])


def build_nsis(args, payload, out):
    return timed(["makensis", "-V1", f"-DPAYLOAD={payload}", f"-DOUTFILE={out}",
                  os.path.join(HERE, "glimmora.nsi")])


# ---------------------------------------------------------------- Wine

def wine_env(prefix):
    return dict(os.environ, GLIMMORA_WINEPREFIX=prefix, GLIMMORA_NO_DEBUG_OUTPUT="1")


def stop_server(prefix):
    env = dict(os.environ, WINEPREFIX=prefix)
    subprocess.run(["wineserver", "-k"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=120)


def make_template(args, path):
    marker = os.path.join(path, ".glimmora-bench-template")
    if os.path.isfile(marker):
        return
    print("making the template prefix (once) ...", flush=True)
    shutil.rmtree(path, ignore_errors=True)
    subprocess.run([args.wine_run, "wineboot", "-i"], env=wine_env(path), capture_output=True, timeout=1800)
    stop_server(path)  # writes the registry out
    if not os.path.isfile(os.path.join(path, "system.reg")):
        fail(f"could not create the template prefix {path}")
    open(marker, "w").close()


def product_folder(prefix):
    for pf in ("Program Files (x86)", "Program Files"):
        p = os.path.join(prefix, "drive_c", pf, "Tavrin", "Glimmora")
        if os.path.isdir(p):
            return p
    return None


def check_installed(name, prefix, payload, files, deep):
    folder = product_folder(prefix)
    if folder is None:
        fail(f"{name}: nothing installed in Program Files\\Tavrin\\Glimmora")
    for rel, _, size in files:
        path = os.path.join(folder, rel)
        if not os.path.isfile(path) or os.path.getsize(path) != size:
            fail(f"{name}: {rel} missing or of the wrong size")
        if deep and not filecmp.cmp(path, os.path.join(payload, rel), shallow=False):
            fail(f"{name}: {rel} differs from the payload")


def install_once(args, template, work, name, argv, check):
    prefix = os.path.join(work, "prefix")
    shutil.rmtree(prefix, ignore_errors=True)
    subprocess.run(["cp", "-a", template, prefix], check=True)
    os.sync()
    env = wine_env(prefix)
    start = time.monotonic()
    r = subprocess.run([args.wine_run] + argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                       timeout=1800)
    elapsed = time.monotonic() - start
    try:
        if r.returncode != 0:
            fail(f"{name} exited with {r.returncode}: {r.stderr.decode(errors='replace')[-2000:]}")
        if check:
            check(prefix)
    finally:
        stop_server(prefix)
        shutil.rmtree(prefix, ignore_errors=True)
    return elapsed


# ---------------------------------------------------------------- report

def median(xs):
    return statistics.median(xs)


def ratio(a, b):
    return a / b if b > 0 else float("nan")


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--root", required=True)
    ap.add_argument("--pack", required=True, help="glimmora-pack")
    ap.add_argument("--engine", required=True, help="GlimmoraInstall.exe")
    ap.add_argument("--size", type=float, default=100, help="payload size in MB (default 100)")
    ap.add_argument("--runs", type=int, default=5, help="installs of each package (default 5)")
    ap.add_argument("--build-runs", type=int, default=3, help="builds of each package (default 3)")
    ap.add_argument("--dir", help="work folder (default ROOT/out/bench-nsis)")
    ap.add_argument("--keep", action="store_true", help="keep the packages (the payload and template are kept anyway)")
    args = ap.parse_args()
    if args.size <= 0 or args.runs < 1 or args.build_runs < 1:
        fail("need --size > 0, --runs >= 1 and --build-runs >= 1")
    args.wine_run = os.path.join(args.root, "tools", "wine", "run")
    work = os.path.abspath(args.dir or os.path.join(args.root, "out", "bench-nsis"))
    os.makedirs(work, exist_ok=True)
    for tool in ("makensis", "i686-w64-mingw32-gcc", "wineserver"):
        if shutil.which(tool) is None:
            fail(f"{tool} is not installed (./run deps installs it)")

    files = write_payload(work, args.size)
    payload = os.path.join(work, "payload")
    total = sum(s for _, _, s in files)
    by_kind = {k: sum(s for _, kk, s in files if kk == k) / MB for k in ("text", "records", "random")}
    print(f"payload: {len(files)} files, {total / MB:.1f} MB (text {by_kind['text']:.1f}, "
          f"records {by_kind['records']:.1f}, random {by_kind['random']:.1f})", flush=True)

    project = write_project(work, files, os.path.abspath(args.engine))
    ours_pkg = os.path.join(work, "glimmora-setup.exe")
    nsis_pkg = os.path.join(work, "nsis-setup.exe")
    trivial = os.path.join(work, "trivial.exe")
    subprocess.run(["i686-w64-mingw32-gcc", "-O2", "-mwindows", "-o", trivial, os.path.join(HERE, "trivial.c")],
                   check=True)

    # Builds, taking turns.
    build = {"ours": [], "nsis": []}
    for i in range(args.build_runs):
        print(f"build {i + 1}/{args.build_runs} ...", flush=True)
        for pkg in (ours_pkg, nsis_pkg):
            if os.path.exists(pkg):
                os.remove(pkg)
        build["ours"].append(build_ours(args, project, ours_pkg))
        build["nsis"].append(build_nsis(args, payload, nsis_pkg))
    size = {"ours": os.path.getsize(ours_pkg), "nsis": os.path.getsize(nsis_pkg)}

    # Installs, each in a fresh prefix, taking turns (the order turns too).
    template = os.path.join(work, "template")
    make_template(args, template)

    def check(name, deep):
        def run(prefix):
            check_installed(name, prefix, payload, files, deep)
            if name == "ours":
                result = os.path.join(prefix, "drive_c", "r.txt")
                text = open(result, "rb").read().decode("latin-1") if os.path.isfile(result) else ""
                if "ResultCode=0" not in text:
                    fail(f"ours: result file says {text!r}")
        return run

    programs = [
        ("wine", [trivial]),
        ("ours", [ours_pkg, "/S", "-f2C:\\r.txt"]),
        ("nsis", [nsis_pkg]),
    ]
    times = {name: [] for name, _ in programs}
    for i in range(args.runs):
        print(f"install round {i + 1}/{args.runs} ...", flush=True)
        turn = programs[i % 3:] + programs[:i % 3]
        for name, argv in turn:
            checker = None if name == "wine" else check(name, deep=(i == 0))
            times[name].append(install_once(args, template, work, name, argv, checker))

    # The report.
    wine = median(times["wine"])
    net = {n: median(times[n]) - wine for n in ("ours", "nsis")}
    bmed = {n: median(build[n]) for n in ("ours", "nsis")}
    print()
    print(f"Glimmora against NSIS (zlib), {len(files)} files, {total / MB:.1f} MB, "
          f"builds median of {args.build_runs}, installs median of {args.runs} under Wine")
    row = "{:<28}{:>14}{:>14}{:>12}"
    print(row.format("", "Glimmora", "NSIS", "ours/NSIS"))
    print(row.format("package size", f"{size['ours'] / MB:.2f} MB", f"{size['nsis'] / MB:.2f} MB",
                     f"{ratio(size['ours'], size['nsis']):.3f}"))
    print(row.format("build time", f"{bmed['ours']:.2f} s", f"{bmed['nsis']:.2f} s",
                     f"{ratio(bmed['ours'], bmed['nsis']):.3f}"))
    print(row.format("silent install, as run", f"{median(times['ours']):.2f} s", f"{median(times['nsis']):.2f} s",
                     f"{ratio(median(times['ours']), median(times['nsis'])):.3f}"))
    print(row.format("silent install, net of Wine", f"{net['ours']:.2f} s", f"{net['nsis']:.2f} s",
                     f"{ratio(net['ours'], net['nsis']):.3f}"))
    engine = os.path.getsize(args.engine)
    print(f"(our package holds the setup program, {engine / MB:.2f} MB; the rest, "
          f"{(size['ours'] - engine) / MB:.2f} MB, is {ratio(size['ours'] - engine, size['nsis']):.3f} of NSIS's)")
    print(f"Wine's start in a fresh prefix (trivial program): {wine:.2f} s")
    print("runs (s):")
    for n in ("ours", "nsis"):
        print(f"  build {n:<5}  " + " ".join(f"{t:.2f}" for t in build[n]))
    for n in ("wine", "ours", "nsis"):
        print(f"  run   {n:<5}  " + " ".join(f"{t:.2f}" for t in times[n]))
    slower = [what for what, r in (("build", ratio(bmed["ours"], bmed["nsis"])),
                                   ("install", ratio(net["ours"], net["nsis"]))) if r > 1.0]
    print("verdict: " + ("ours is not slower" if not slower else "ours is slower at " + " and ".join(slower)))

    if not args.keep:
        for p in (ours_pkg, ours_pkg + ".log", nsis_pkg, trivial):
            if os.path.exists(p):
                os.remove(p)


if __name__ == "__main__":
    main()
