#!/usr/bin/env python3
"""The console host under Wine, through nimbrel-services in live mode,
against a loopback fake of the observation source: a fresh observation,
one the source lacks (the archive's record), and a station nobody knows.
One Wine start.

usage: live_end_to_end_test.py NIMBREL-SERVICES WINE-RUN --prefix=DIR nimbrel-host.exe
"""
import http.server
import json
import os
import subprocess
import sys
import tempfile
import threading

# Today's Nice, told apart from the archive's (80 F) by its temperature and date.
LIVE_NICE = (
    "Nice, France (LFMN) 43-39N 007-12E 10M\n"
    "Dec 30, 2023 - 07:30 AM EST / 2023.12.30 1230 UTC\n"
    "Wind: from the NW (320 degrees) at 8 MPH (7 KT):0\n"
    "Visibility: greater than 7 mile(s):0\n"
    "Temperature: 59 F (15 C)\n"
    "Dew Point: 41 F (5 C)\n"
    "Relative Humidity: 51%\n"
    "Pressure (altimeter): 30.21 in. Hg (1023 hPa)\n"
    "Runway state: not a line the source writes\n"
    "ob: LFMN 301230Z 32007KT CAVOK 15/05 Q1023 \n"
    "cycle: 12\n")


class FakeSource(http.server.BaseHTTPRequestHandler):
    requests = []

    def do_GET(self):
        FakeSource.requests.append(self.path)
        if self.path == "/decoded/LFMN.TXT":
            body = LIVE_NICE.encode()
            self.send_response(200)
        else:
            body = b"<html><body>Not Found</body></html>\n"
            self.send_response(404)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def main():
    services, runner, host = sys.argv[1], sys.argv[2:-1], sys.argv[-1]
    failures = []

    def check(condition, what):
        print(("ok   " if condition else "FAIL ") + what)
        if not condition:
            failures.append(what)

    if not os.path.exists(services):
        print(f"live_end_to_end: {services} is missing: build the native tree first (scripts/test does)")
        return 1
    source = http.server.ThreadingHTTPServer(("127.0.0.1", 0), FakeSource)
    threading.Thread(target=source.serve_forever, daemon=True).start()
    with tempfile.TemporaryDirectory() as cache:
        gateway = subprocess.Popen(
            [services, "--port", "0", "--cache-dir", cache,
             "--observations-url", f"http://127.0.0.1:{source.server_port}/decoded/"],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        try:
            port = gateway.stdout.readline().strip()
            env = dict(os.environ, http_proxy=f"http://127.0.0.1:{port}")
            env.pop("no_proxy", None)
            env.pop("NO_PROXY", None)
            done = subprocess.run(runner + [host, "--json", "--exec", "/xweather LFMN", "--exec", "/xweather EGLL",
                                            "--exec", "/xweather ZZZZ"],
                                  capture_output=True, timeout=300, stdin=subprocess.DEVNULL, env=env)
            kept = os.listdir(cache)
        finally:
            gateway.terminate()
            log = gateway.communicate(timeout=10)[1]
    source.shutdown()

    events = [json.loads(line) for line in done.stdout.decode("utf-8").splitlines() if line.startswith("{")]
    outputs = [e.get("output") or "" for e in events if e.get("event") == "command"]
    check(done.returncode == 0, f"exit status 0 (got {done.returncode})")
    check(len(outputs) == 3, f"three reports (got {len(outputs)})")
    if len(outputs) == 3:
        live, archived, unknown = outputs
        check(live.startswith("Current Weather Conditions: Nice, France (LFMN)"), "the live report's heading")
        check("59\u00b0 Fahrenheit (15\u00b0 Celsius)" in live, "the live temperature, not the archive's")
        check("Runway state" not in live, "an unknown line left out")
        check("London" in archived and "Heathrow" in archived, "a station the source lacks: the archive's record")
        check(unknown == "Error :s", f"an unknown station: Error :s (got {unknown[:40]!r})")
    check(FakeSource.requests.count("/decoded/LFMN.TXT") == 1, f"one upstream request for LFMN: {FakeSource.requests}")
    check(kept == ["LFMN.TXT"], f"the good observation kept on disk: {kept}")
    check("EGLL: live observation failed: HTTP status 404" in log and "answered with the archive's record" in log,
          "the fallback is logged")
    if failures:
        print(log[-2000:])
    print(f"live_end_to_end: {'failed' if failures else 'passed'}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
