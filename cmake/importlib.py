#!/usr/bin/env python3
"""Reads a MinGW import library (with nm) and makes from it:

  delaylib  a delay-import library of the same functions, for the linker to
            take instead: a module-definition file of the functions the
            library imports, turned into a delay-import library by dlltool,
            plus the library's members that are no imports (libgdiplus.a
            also carries GUIDs and variables the GDI+ headers refer to).
            The linker drops the code of an import member when nothing
            calls its thunk by name (a call through "__imp_", as every
            function declared dllimport is called, does not count): right
            for an ordinary import, whose slot the loader fills, but the
            slot of a delayed import starts out pointing into that code, and
            would be left 0. So the thunks are moved into a section the
            linker does not take for an import stub (still in .text).

  stand-in  the sources of a DLL of the same name that exports every one of
            those functions as a stub returning 0 (popping its stdcall
            arguments): a .def file and an assembly file. The planting test
            puts such DLLs beside our programs.

usage: importlib.py delaylib NM AR DLLTOOL OBJCOPY IMPORT_LIBRARY DLL_NAME OUT.a
       importlib.py stand-in NM IMPORT_LIBRARY DLL_NAME OUT.def OUT.S
"""
import os
import re
import subprocess
import sys
import tempfile

# "lib.a:member.o:00000000 T _GetFileVersionInfoW@16"; undefined symbols have no value.
SYMBOL = re.compile(r"^(?P<member>[^:]+):\s*[0-9a-fA-F]*\s+(?P<kind>\S)\s+(?P<name>\S+)$")


def read_members(nm, library):
    """{member: [(kind, name)]} of every member of the archive."""
    listing = subprocess.run([nm, "-A", library], check=True, capture_output=True, text=True).stdout
    members = {}
    prefix = library + ":"
    for line in listing.splitlines():
        if not line.startswith(prefix):
            continue
        match = SYMBOL.match(line[len(prefix):])
        if match:
            members.setdefault(match["member"], []).append((match["kind"], match["name"]))
    return members


def is_import(symbols):
    return any(name.startswith(".idata$") for _, name in symbols)


def imported_functions(members):
    """The functions, as the compiler names them without the leading
    underscore ("GetFileVersionInfoW@16"). Data exports have only their
    "__imp_" pointer and no thunk: they cannot be delay-loaded."""
    names = {name[1:] for symbols in members.values() if is_import(symbols)
             for kind, name in symbols if kind == "T" and name.startswith("_")}
    if not names:
        sys.exit("importlib.py: the library imports no function")
    return sorted(names)


def write_def(path, dll, names):
    with open(path, "w") as out:
        out.write(f'LIBRARY "{dll}"\nEXPORTS\n')
        out.writelines(f"  {name}\n" for name in names)


def delaylib(nm, ar, dlltool, objcopy, library, dll, output):
    members = read_members(nm, library)
    with tempfile.TemporaryDirectory() as work:
        write_def(os.path.join(work, "exports.def"), dll, imported_functions(members))
        # Named after the output only: dlltool names its symbols after this
        # path, and the same input must give the same library.
        delayed = os.path.basename(output)
        # --kill-at: the import goes by the plain name, the call by "Name@N".
        subprocess.run([dlltool, "--kill-at", "--input-def", "exports.def", "--dllname", dll,
                        "--output-delaylib", delayed], check=True, cwd=work)
        order = subprocess.run([ar, "t", delayed], check=True, capture_output=True, text=True,
                               cwd=work).stdout.split()
        subprocess.run([ar, "x", delayed], check=True, cwd=work)
        for member in order:
            subprocess.run([objcopy, "--rename-section", ".text=.text$delayed,contents,alloc,load,readonly,data",
                            member], check=True, cwd=work)
        others = [member for member, symbols in members.items() if not is_import(symbols)]
        if others:
            subprocess.run([ar, "x", os.path.abspath(library)] + others, check=True, cwd=work)
        if os.path.exists(output):
            os.remove(output)
        subprocess.run([ar, "rcs", os.path.abspath(output)] + order + others, check=True, cwd=work)


def stand_in(nm, library, dll, out_def, out_asm):
    names = imported_functions(read_members(nm, library))
    write_def(out_def, dll, [name.partition("@")[0] for name in names])
    with open(out_asm, "w") as out:
        out.write("\t.text\n")
        for name in names:
            plain, _, size = name.partition("@")
            out.write(f"\t.globl _{plain}\n_{plain}:\n\txorl %eax, %eax\n\tret ${int(size or 0)}\n")


def main(argv):
    if len(argv) == 8 and argv[0] == "delaylib":
        delaylib(*argv[1:])
    elif len(argv) == 6 and argv[0] == "stand-in":
        stand_in(*argv[1:])
    else:
        sys.exit(__doc__)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
