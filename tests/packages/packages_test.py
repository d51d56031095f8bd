#!/usr/bin/env python3
"""The release packages as scripts/package leaves them in dist/: what the
ZIP and the .deb hold, the version resources of the Windows files, the
service unit, and the services run from the unpacked .deb answering a
station page on loopback.

usage: packages_test.py DIST VERSION WINDRES PREFERENCES-SOURCE
(PREFERENCES-SOURCE: src/plugin/preferences.cpp, where the plug-in's
registry key is spelled.)
"""
import os
import re
import shlex
import subprocess
import sys
import tempfile
import urllib.request
import zipfile

PRODUCT = "Nimbrel's Plugin"
GATEWAY = "http://127.0.0.1:8642"
DATA = "/usr/share/nimbrel-services"


class Checks:
    def __init__(self):
        self.failures = []

    def __call__(self, condition, what):
        print(("ok   " if condition else "FAIL ") + what, flush=True)
        if not condition:
            self.failures.append(what)


def version_resource(windres, path):
    """The VERSIONINFO of a PE file as windres decompiles it: the numbers
    and the strings."""
    rc = subprocess.run([windres, "-i", path, "-O", "rc"], capture_output=True, text=True, timeout=30).stdout
    numbers = re.search(r"FILEVERSION (\d+), (\d+), (\d+), (\d+)", rc)
    file_type = re.search(r"FILETYPE (0x\d+)", rc)
    return {
        "numbers": tuple(int(n) for n in numbers.groups()) if numbers else None,
        "type": file_type.group(1) if file_type else None,
        **dict(re.findall(r'VALUE "(\w+)", "([^"]*)"', rc)),
    }


def preferences_key(source):
    """The plug-in's key below HKEY_CURRENT_USER for the key name Default,
    as preferences.cpp builds it."""
    with open(source) as file:
        text = file.read()
    spelled = lambda name: re.search(name + r'\[\] = "([^"]*)"', text).group(1).replace("\\\\", "\\")
    return spelled("kHostRegistryRoot") + "\\Default" + spelled("kPreferencesBelowHostKey")


def check_zip(check, path, version, windres, work, key):
    top = f"nimbrel-plugin-{version}-win32/"
    files = ["Nimbrel's Plugin.dll", "nimbrel-host.exe", "recording_voice.dll", "recording_voice.manifest",
             "INSTALL.txt", "gateway-address.reg", "nimbrel-services.exe", "data/", "data/README.md",
             "data/nsd_cccc.txt", "data/observations-2017-07-29.tar.gz"]
    with zipfile.ZipFile(path) as archive:
        names = archive.namelist()
        check(sorted(names) == sorted(top + f for f in files), f"the ZIP holds {files} in {top}: {names}")
        archive.extractall(work)
    folder = os.path.join(work, top)

    def read(name):
        with open(os.path.join(folder, name), "rb") as file:
            return file.read()

    plugin = read("Nimbrel's Plugin.dll")
    check(GATEWAY.encode() in plugin and b"weather.example" not in plugin,
          f"the DLL is a release build, asking the gateway at {GATEWAY}")
    check(b'name="recording_voice.dll"' in read("recording_voice.manifest"),
          "the manifest declares the voice served by recording_voice.dll")
    guide = read("INSTALL.txt").decode()
    check("\r\n" in guide and "\n" not in guide.replace("\r\n", ""), "INSTALL.txt has Windows line ends")
    check(GATEWAY in guide and f"nimbrel-services_{version}_" in guide and "docs/deploying.md" in guide,
          "INSTALL.txt names the gateway's address, the services' package and docs/deploying.md")
    check("gateway-address.reg" in guide and "GatewayAddress" in guide, "INSTALL.txt says how to set the gateway")
    reg = read("gateway-address.reg").decode("ascii").split("\r\n")
    check(reg[0] == "REGEDIT4" and not any("\n" in line for line in reg), "gateway-address.reg is REGEDIT4, CR LF")
    check(f"[HKEY_CURRENT_USER\\{key}]" in reg and '"GatewayAddress"="http://192.168.1.20:8642"' in reg,
          f"gateway-address.reg sets GatewayAddress under the plug-in's key {key}: {reg}")

    major, minor = (int(n) for n in version.split(".")[:2])
    # The gateway for Windows is a 64-bit program: its own windres reads it.
    windres64 = windres.replace("i686-", "x86_64-")
    for name, file_type, reader in (("Nimbrel's Plugin.dll", "0x2", windres), ("nimbrel-host.exe", "0x1", windres),
                                    ("nimbrel-services.exe", "0x1", windres64)):
        info = version_resource(reader, os.path.join(folder, name))
        check(info["numbers"] == (major, minor, 0, 0) and info.get("FileVersion") == version
              and info.get("ProductVersion") == version, f"{name} carries version {version}: {info}")
        check(info.get("ProductName") == PRODUCT and info.get("OriginalFilename") == name
              and info.get("FileDescription") and info["type"] == file_type,
              f"{name} names the product, itself and what it is")


    # Windows' own TLS and nothing to install beside it: only system DLLs.
    dump = subprocess.run([windres64.replace("windres", "objdump"), "-p", os.path.join(folder, "nimbrel-services.exe")],
                          capture_output=True, text=True, timeout=60).stdout
    imported = sorted(set(re.findall(r"DLL Name: (\S+)", dump)))
    system = {"ADVAPI32.dll", "KERNEL32.dll", "msvcrt.dll", "MSWSOCK.dll", "SHELL32.dll", "WINHTTP.dll", "WS2_32.dll"}
    check(imported and set(imported) <= system, f"nimbrel-services.exe imports system DLLs only: {imported}")


def unit_settings(path):
    settings = {}
    with open(path) as unit:
        for line in unit:
            if "=" in line and not line.startswith("#"):
                key, value = line.rstrip("\n").split("=", 1)
                settings[key] = value
    return settings


def deb_field(path, name):
    return subprocess.run(["dpkg-deb", "-f", path, name], capture_output=True, text=True).stdout.strip()


def check_deb(check, path, version, work):
    check(deb_field(path, "Package") == "nimbrel-services" and deb_field(path, "Version") == version,
          f"the .deb is nimbrel-services {version}")
    depends = deb_field(path, "Depends")
    check(all(library in depends for library in ("libc6", "libstdc++6", "libssl3", "zlib1g",
                                                  "ca-certificates")),
          f"it depends on the libraries the program links and on ca-certificates: {depends}")
    check("apertium-eng-spa" in deb_field(path, "Recommends"), "it recommends Apertium's English-Spanish")

    unpacked = os.path.join(work, "deb")
    subprocess.run(["dpkg-deb", "-x", path, unpacked], check=True)
    subprocess.run(["dpkg-deb", "-e", path, os.path.join(work, "control")], check=True)
    files = sorted(os.path.relpath(os.path.join(folder, name), unpacked)
                   for folder, _, names in os.walk(unpacked) for name in names)
    expected = ["usr/bin/nimbrel-services", "usr/lib/systemd/system/nimbrel-services.service",
                "usr/share/nimbrel-services/README.md", "usr/share/nimbrel-services/nsd_cccc.txt",
                "usr/share/nimbrel-services/observations-2017-07-29.tar.gz"]
    check(files == expected, f"it holds the program, its data and the unit: {files}")
    for script in ("postinst", "prerm", "postrm"):
        script_path = os.path.join(work, "control", script)
        check(os.access(script_path, os.X_OK) and subprocess.run(["sh", "-n", script_path]).returncode == 0,
              f"{script} is an executable shell script")

    unit = unit_settings(os.path.join(unpacked, "usr/lib/systemd/system/nimbrel-services.service"))
    command = shlex.split(unit.get("ExecStart", ""))
    option = lambda name: command[command.index(name) + 1] if name in command[:-1] else None
    check(command[:1] == ["/usr/bin/nimbrel-services"] and "--live" in command and option("--port") == "8642",
          f"the unit runs the program live on the gateway's port: {command}")
    check(unit.get("CacheDirectory") == "nimbrel-services" and option("--cache-dir") == "/var/cache/nimbrel-services",
          "its cache folder is the unit's CacheDirectory under /var/cache")
    check(unit.get("User") == "nimbrel-services" and unit.get("DynamicUser") == "yes",
          "it runs as a user of its own")

    program = os.path.join(unpacked, "usr/bin/nimbrel-services")
    with open(program, "rb") as file:
        check((DATA + "\0").encode() in file.read(), f"the program's default data folder is {DATA}")
    services = subprocess.Popen([program, "--port", "0", "--data", unpacked + DATA],
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    try:
        port = services.stdout.readline().strip()
        page = ""
        if port:
            with urllib.request.urlopen(f"http://127.0.0.1:{port}/weather/current/LFMN.html", timeout=10) as answer:
                page = answer.read().decode("latin-1")
        check("Current Weather Conditions" in page and "(LFMN)" in page,
              "the unpacked program serves Nice's page from the unpacked archive")
    finally:
        services.terminate()
        _, log = services.communicate(timeout=10)
    if not port:
        print(log)


def main():
    dist, version, windres, preferences = sys.argv[1:5]
    packages = {"ZIP": os.path.join(dist, f"nimbrel-plugin-{version}-win32.zip")}
    debs = [name for name in os.listdir(dist) if name.startswith(f"nimbrel-services_{version}_")] \
        if os.path.isdir(dist) else []
    packages[".deb"] = os.path.join(dist, debs[0]) if len(debs) == 1 else ""
    missing = [kind for kind, path in packages.items() if not os.path.isfile(path)]
    if missing:
        print(f"packages: no {' or '.join(missing)} of version {version} in {dist}: "
              "scripts/package makes them (scripts/test runs it first)")
        return 1
    check = Checks()
    with tempfile.TemporaryDirectory() as work:
        check_zip(check, packages["ZIP"], version, windres, work, preferences_key(preferences))
        check_deb(check, packages[".deb"], version, work)
    print(f"packages: {len(check.failures)} failed")
    return 1 if check.failures else 0


if __name__ == "__main__":
    sys.exit(main())
