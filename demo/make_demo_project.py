#!/usr/bin/env python3
"""Writes glimmora-demo.json, the demo package's project for glimmora-pack,
from the language table: "Common" holds the product (built by the win32 tree
into out/win32/product/) below a destination-root folder, and Harrow.dll in
the system folder; each of the 22 language lists repeats that skeleton and
carries the language's own notes file from notes/."""
import json
import os

HERE = os.path.dirname(os.path.abspath(__file__))
LANGUAGES = os.path.join(HERE, "..", "setup", "resources", "languages.tsv")
PRODUCT = "../out/win32/product/"
PRODUCT_FILES = ["Glimmora.exe", "Remove.exe", "glimmora.ico", "Notes.txt", "kvfilt.xp", "kvfilt.vst",
                 "kvfilt.x64", "GlimmoraSrcSaver.scr", "Nuvel.dll", "Tessel.dll", "Morrow.dll", "Quillon.dll"]


def skeleton(files, system_files=()):
    product = {"folder": "Glimmora", "destinationRoot": True, "entries": files}
    lists = [{"predefined": "[ProgramFilesFolder]", "entries": [{"folder": "Tavrin", "entries": [product]}]}]
    if system_files:
        lists.append({"predefined": "[SystemFolder]", "entries": list(system_files)})
    return lists


def main():
    rows = []
    with open(LANGUAGES, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            cells = line.rstrip("\n").split("\t")
            rows.append((cells[1], cells[2]))
    project = {
        "title": "Glimmora 3.5 demo",
        "product": {"name": "Glimmora", "version": "3.5.0.0", "company": "Tavrin",
                    "web": "http://www.tavrin.example/glimmora", "email": "support@tavrin.example",
                    "installFolderToken": "[ProgramFilesFolder]",
                    "defaultInstallFolder": "[ProgramFilesFolder]\\Tavrin\\Glimmora",
                    "engine": "../out/win32/GlimmoraInstall.exe"},
        "author": {"name": "Tavrin", "web": "http://www.tavrin.example/"},
        "project": {"name": "Glimmora demo", "creator": "./run demo"},
        "lists": [{"name": "Common", "entries": skeleton(
            [{"file": PRODUCT + name} for name in PRODUCT_FILES],
            [{"file": PRODUCT + "Harrow.dll"}])}],
    }
    for key, _ in rows:
        project["lists"].append({"name": key, "entries": skeleton(
            [{"file": f"notes/{key}.txt"}])})
    with open(os.path.join(HERE, "glimmora-demo.json"), "w", encoding="utf-8") as f:
        json.dump(project, f, indent=1, ensure_ascii=False)
        f.write("\n")


if __name__ == "__main__":
    main()
