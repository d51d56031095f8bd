#!/usr/bin/env python3
"""The plug-in DLL imports nothing that Windows XP SP3 lacks.

Every function named in the DLL's import table (objdump -p) is referred to
in a generated C file, which is compiled against mingw-w64's headers with
_WIN32_WINNT and WINVER set to XP's 0x0501: a system function newer than XP
is then undeclared and the compile fails, naming it. The headers of each
imported DLL are listed below; an import from a DLL not listed fails too,
so a new one is looked at before it ships.

usage: xp_imports_test.py OBJDUMP CC ZIP-OR-PE-FILE
A ZIP is the Windows package: its "Nimbrel's Plugin.dll" is checked.
"""
import os
import re
import subprocess
import sys
import tempfile
import zipfile

PLUGIN = "Nimbrel's Plugin.dll"
XP = "0x0501"

# The headers that declare what each system DLL exports.
HEADERS = {
    "kernel32.dll": ["windows.h", "tlhelp32.h"],
    "advapi32.dll": ["windows.h"],
    "user32.dll": ["windows.h"],
    "ole32.dll": ["windows.h", "objbase.h"],
    "oleaut32.dll": ["windows.h", "oleauto.h"],
    "wininet.dll": ["windows.h", "wininet.h"],
    "shlwapi.dll": ["windows.h", "shlwapi.h"],
    "msvcrt.dll": ["assert.h", "ctype.h", "errno.h", "io.h", "locale.h", "process.h", "setjmp.h", "signal.h",
                   "stdio.h", "stdlib.h", "string.h", "sys/stat.h", "time.h", "wchar.h"],
}

# The C runtime's own start-up and locking entries, which the runtime's
# start-up code imports from msvcrt.dll and no public header declares;
# msvcrt.dll has exported them since before Windows XP.
CRT_INTERNALS = {"_amsg_exit", "_initterm", "_lock", "_unlock", "__dllonexit"}


def imports(objdump, path):
    """{dll name in lower case: [function names]} as the import table lists them."""
    text = subprocess.run([objdump, "-p", path], capture_output=True, text=True, check=True, timeout=60).stdout
    table = text.split("The Import Tables", 1)[1] if "The Import Tables" in text else ""
    table = re.split(r"\n(?:The Export Tables|The Delay Import|PE File Base Relocations)", table)[0]
    found = {}
    current = None
    for line in table.splitlines():
        name = re.match(r"\s*DLL Name: (\S+)", line)
        if name:
            current = found.setdefault(name.group(1).lower(), [])
            continue
        entry = re.match(r"\t[0-9a-f]+\t\s*\d+\s+(\S+)$", line)
        if current is not None and entry:
            current.append(entry.group(1))
    return found


def undeclared(cc, table, work):
    """The imported names the XP headers do not declare, and the DLLs
    without headers here."""
    unknown = sorted(dll for dll in table if dll not in HEADERS)
    headers = sorted({header for dll in table if dll in HEADERS for header in HEADERS[dll]},
                     key=lambda header: header != "windows.h")
    names = sorted({name for dll, functions in table.items() if dll in HEADERS for name in functions
                    if not (dll == "msvcrt.dll" and name in CRT_INTERNALS)})
    source = os.path.join(work, "imports.c")
    with open(source, "w") as file:
        file.writelines(f"#include <{header}>\n" for header in headers)
        file.write("void refer_to_every_import(void) {\n")
        # A name the headers define as a macro (a runtime's data, such as
        # _iob) is known to them as it is.
        file.writelines(f"#ifndef {name}\n    (void)&{name};\n#endif\n" for name in names)
        file.write("}\n")
    compiled = subprocess.run([cc, f"-D_WIN32_WINNT={XP}", f"-DWINVER={XP}", "-fsyntax-only",
                               "-Werror=implicit-function-declaration", "-fmax-errors=0", source],
                              capture_output=True, text=True, timeout=120, env=dict(os.environ, LC_ALL="C"))
    missing = sorted(set(re.findall(r"'(\w+)' undeclared", compiled.stderr)))
    if compiled.returncode != 0 and not missing:
        missing = ["(the check itself did not compile: " + compiled.stderr.strip()[:2000] + ")"]
    return names, missing, unknown


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    objdump, cc, given = sys.argv[1:]
    with tempfile.TemporaryDirectory() as work:
        path = given
        if given.endswith(".zip"):
            with zipfile.ZipFile(given) as archive:
                member = next((name for name in archive.namelist() if name.endswith("/" + PLUGIN)), None)
                if member is None:
                    sys.exit(f"FAIL {given} holds no {PLUGIN}")
                path = archive.extract(member, work)
        table = imports(objdump, path)
        if not table:
            sys.exit(f"FAIL no import table read from {path}")
        names, missing, unknown = undeclared(cc, table, work)
    print(f"{len(names)} functions imported from {', '.join(sorted(table))}")
    for dll in unknown:
        print(f"FAIL imports from {dll}, whose headers this check does not know: {', '.join(table[dll])}")
    for name in missing:
        print(f"FAIL {name}: not declared for Windows XP SP3 (_WIN32_WINNT={XP}) by the headers of its DLL")
    if missing or unknown:
        sys.exit(1)
    print(f"ok   every import of {os.path.basename(path)} is declared for Windows XP SP3")


if __name__ == "__main__":
    main()
