#!/usr/bin/env python3
"""The release ZIP as a Windows user has it, under Wine: unpacked, the
gateway started with --install (at logon and now, no window), the plug-in
pointed at it with the ZIP's gateway-address.reg, and /xweather typed in
the ZIP's console host. Against loopback fakes: an observation source that
answers Nice and stays silent for London (the gateway answers with the
archive's record within its bound), and a LibreTranslate server. Then
--uninstall: the logon entry goes and the gateway stops. Both gateway
runs are 64-bit programs; the host is the one 32-bit Wine start.

usage: gateway_zip_test.py ZIP FAKE-LIBRETRANSLATE WINE-RUN --prefix=DIR
"""
import glob
import http.server
import json
import os
import socket
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request
import zipfile

RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
EXAMPLE_ADDRESS = "http://192.168.1.20:8642"
KEY_NAME = "GatewayZipTest"

LIVE_NICE = (
    "Nice, France (LFMN) 43-39N 007-12E 10M\n"
    "Dec 30, 2023 - 07:30 AM EST / 2023.12.30 1230 UTC\n"
    "Wind: from the NW (320 degrees) at 8 MPH (7 KT):0\n"
    "Temperature: 59 F (15 C)\n"
    "Dew Point: 41 F (5 C)\n"
    "ob: LFMN 301230Z 32007KT CAVOK 15/05 Q1023 \n"
    "cycle: 12\n")


class FakeSource(http.server.BaseHTTPRequestHandler):
    """Nice now; London held unanswered past the gateway's bound; New York
    a body past its bytes."""
    requests = []

    def do_GET(self):
        FakeSource.requests.append(self.path)
        if self.path in ("/decoded/LFMN.TXT", "/decoded/KJFK.TXT"):
            body = LIVE_NICE.encode() if self.path.endswith("LFMN.TXT") else b"x" * (1 << 20)
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        else:
            time.sleep(8)

    def log_message(self, *args):
        pass


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def serving(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=1):
            return True
    except OSError:
        return False


def wait_until(condition, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(0.25)
    return condition()


def main():
    zip_path, fake_libretranslate, runner = sys.argv[1], sys.argv[2], sys.argv[3:]
    prefix = next(a.split("=", 1)[1] for a in runner if a.startswith("--prefix="))
    failures = []
    start = time.monotonic()

    def check(condition, what):
        print(("ok   " if condition else "FAIL ") + f"[{time.monotonic() - start:4.0f} s] " + what, flush=True)
        if not condition:
            failures.append(what)

    if not os.path.exists(zip_path):
        print(f"gateway_zip: {zip_path} is missing: make the packages first (scripts/package; scripts/test does)")
        return 1
    # The programs talk to loopback directly, whatever proxy the caller has.
    env = {k: v for k, v in os.environ.items() if k.lower() not in ("http_proxy", "https_proxy", "no_proxy")}

    def wine(*args, timeout=120):
        # Output through files, not pipes: under Wine a process that a
        # program starts holds the program's output open (on Windows it
        # would not), and a pipe would not end while the gateway serves.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            done = subprocess.run(runner + list(args), stdout=out, stderr=err, timeout=timeout,
                                  stdin=subprocess.DEVNULL, env=env)
            out.seek(0)
            err.seek(0)
            return subprocess.CompletedProcess(done.args, done.returncode, out.read(), err.read())

    source = http.server.ThreadingHTTPServer(("127.0.0.1", 0), FakeSource)
    source.daemon_threads = True
    threading.Thread(target=source.serve_forever, daemon=True).start()
    translator = subprocess.Popen([sys.executable, fake_libretranslate], stdout=subprocess.PIPE, text=True)
    translator_port = translator.stdout.readline().split()[1]
    local = glob.glob(os.path.join(prefix, "drive_c", "users", "*", "AppData", "Local"))
    services_folder = os.path.join(local[0], "nimbrel-services") if local else None
    if services_folder:
        subprocess.run(["rm", "-rf", services_folder])
    uninstalled = False
    port = free_port()
    address = f"http://127.0.0.1:{port}"
    try:
        with tempfile.TemporaryDirectory() as unpacked:
            with zipfile.ZipFile(zip_path) as archive:
                archive.extractall(unpacked)
            folder = glob.glob(os.path.join(unpacked, "*", "nimbrel-services.exe"))
            check(len(folder) == 1, "nimbrel-services.exe in the ZIP")
            if not folder:
                return 1
            folder = os.path.dirname(folder[0])
            gateway = os.path.join(folder, "nimbrel-services.exe")

            # --help's text, read from the program rather than from a Wine start.
            with open(gateway, "rb") as file:
                program = file.read()
            check(b"Apertium does not exist on Windows" in program and b"--install [OPTION...]" in program,
                  "--help says there is no Apertium and offers --install")

            # Step 2: the gateway at logon, and now.
            installed = wine(gateway, "--install", "--port", str(port), "--observations-url",
                             f"http://127.0.0.1:{source.server_port}/decoded/",
                             "--libretranslate-url", f"http://127.0.0.1:{translator_port}/")
            said = installed.stdout.decode()
            check(installed.returncode == 0 and "start at each logon" in said and "started it now" in said,
                  f"--install says what it did: {said.strip()[:160]!r}")
            # The entry it wrote, as it says; --uninstall below finds it there.
            check("nimbrel-services.exe --background" in said and f"--port {port}" in said,
                  f"the logon entry: {said.strip()[-160:]!r}")
            check(wait_until(lambda: serving(port), 60), f"the gateway it started serves on {port}")

            # The gateway's address, as INSTALL.txt says: the example edited and imported.
            with open(os.path.join(folder, "gateway-address.reg"), encoding="ascii", newline="") as file:
                reg = file.read()
            check(EXAMPLE_ADDRESS in reg, "gateway-address.reg holds the example address")
            # Under a key name of its own, as INSTALL.txt says for a messenger
            # that hands the plug-in another name: the prefix's Default key
            # is the other Windows tests'.
            check("\\Default\\" in reg, "gateway-address.reg names the key Default")
            with open(os.path.join(folder, "gateway-address.reg"), "w", encoding="ascii", newline="") as file:
                file.write(reg.replace(EXAMPLE_ADDRESS, address).replace("\\Default\\", f"\\{KEY_NAME}\\"))
            wine("regedit", "/s", os.path.join(folder, "gateway-address.reg"))

            # Step 3: commands, in the ZIP's console host.
            host = wine(os.path.join(folder, "nimbrel-host.exe"), "--json", "--key", KEY_NAME, "--exec", "/xweather LFMN",
                        "--exec", "/xweather EGLL", "--exec", "/xweather LFMN en_fr", timeout=300)
            events = [json.loads(line) for line in host.stdout.decode("utf-8").splitlines() if line.startswith("{")]
            outputs = [e.get("output") or "" for e in events if e.get("event") == "command"]
            check(host.returncode == 0 and len(outputs) == 3, f"three reports (got {len(outputs)})")
            if len(outputs) == 3:
                live, archived, translated = outputs
                check(live.startswith("Current Weather Conditions: Nice, France (LFMN)") and
                      "59\u00b0 Fahrenheit (15\u00b0 Celsius)" in live, "today's Nice, from the live source")
                check("London" in archived and "Heathrow" in archived,
                      "London while the source is silent: the archive's record")
                check(translated.startswith("Conditions m\u00e9t\u00e9o actuelles: Nice"),
                      "translated through LibreTranslate")
            check(FakeSource.requests.count("/decoded/LFMN.TXT") == 1, f"one fetch of Nice: {FakeSource.requests}")
            kept = glob.glob(os.path.join(services_folder or "", "cache", "*.TXT"))
            check([os.path.basename(k) for k in kept] == ["LFMN.TXT"], f"the good observation kept: {kept}")
            log_path = os.path.join(services_folder or "", "nimbrel-services.log")
            log = open(log_path, encoding="utf-8", errors="replace").read() if os.path.exists(log_path) else ""
            check(f"serving on {address}" in log and "EGLL" in log, "the log file under %LOCALAPPDATA%")

            # A second gateway, started as from a prompt (the first has rested
            # the silent source): a body past its bytes gets the archive's page.
            with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
                alone = subprocess.Popen(runner + [gateway, "--port", "0", "--cache-dir", unpacked,
                                                   "--observations-url",
                                                   f"http://127.0.0.1:{source.server_port}/decoded/"],
                                         stdout=out, stderr=err, stdin=subprocess.DEVNULL, env=env)
                try:
                    wait_until(lambda: out.seek(0) == 0 and out.read().endswith(b"\n"), 60)
                    out.seek(0)
                    first = out.readline().decode().strip()
                    check(first.isdigit(), f"--port 0: the port alone on the first line ({first!r})")
                    with urllib.request.urlopen(f"http://127.0.0.1:{first}/weather/current/KJFK.html",
                                                timeout=10) as answer:
                        check(b"KENNEDY INTERNATIONAL" in answer.read(), "a body past its bytes: the archive's record")
                    bounded = b"KJFK: live observation failed: a body of more than 65536 bytes"
                    check(wait_until(lambda: err.seek(0) == 0 and bounded in err.read(), 10),
                          "the byte bound, logged on standard error")
                finally:
                    alone.terminate()
                    alone.wait(timeout=30)

            removed = wine(gateway, "--uninstall")
            said = removed.stdout.decode()
            # "removed" only when the value was there: what --install wrote.
            check(removed.returncode == 0 and "no longer starts at logon (removed" in said and "stopped" in said,
                  f"--uninstall says what it did: {said.strip()[:160]!r}")
            check(wait_until(lambda: not serving(port), 15), "the gateway started at logon has stopped")
            uninstalled = True
    finally:
        # The prefix is shared with the other Windows tests; a delete that
        # finds nothing also shows that --uninstall removed the entry.
        left = wine("reg", "delete", RUN_KEY, "/v", "nimbrel-services", "/f").returncode == 0
        if uninstalled:
            check(not left, "the logon entry is gone")
        translator.terminate()
        source.shutdown()
    if failures and services_folder and os.path.exists(os.path.join(services_folder, "nimbrel-services.log")):
        print(open(os.path.join(services_folder, "nimbrel-services.log"), errors="replace").read()[-3000:])
    print(f"gateway_zip: {'failed' if failures else 'passed'}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
