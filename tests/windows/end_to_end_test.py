#!/usr/bin/env python3
"""The README's run command end to end: the console host under Wine, the
plug-in, and the stand-in services built from real observation records,
translating to Spanish by Apertium and to French through a loopback
LibreTranslate stand-in (tests/standin/fake_libretranslate.py). One Wine
start for all of it.

usage: end_to_end_test.py SCRIPTS/RUN FAKE-LIBRETRANSLATE
"""
import json
import subprocess
import sys


def start_fake(program):
    fake = subprocess.Popen([sys.executable, program, "--port", "0"], stdout=subprocess.PIPE,
                            stdin=subprocess.DEVNULL)
    word, port = fake.stdout.readline().decode().split()
    assert word == "PORT", "the LibreTranslate stand-in did not start"
    return fake, f"http://127.0.0.1:{port}"


def main():
    run, fake_program = sys.argv[1:3]
    fake, url = start_fake(fake_program)
    try:
        result = subprocess.run([run, "--json", "--libretranslate-url", url, "/xweather LFMN", "/xcountry France",
                                 "/xweather LFMN en_fr", "/xweather LFMN en_es"],
                                capture_output=True, timeout=600, stdin=subprocess.DEVNULL)
    finally:
        fake.kill()
        fake.wait()
    events = [json.loads(line) for line in result.stdout.decode("utf-8").splitlines()
              if line.startswith("{")]
    failures = []

    def check(condition, what):
        if not condition:
            failures.append(what)

    check(result.returncode == 0, f"exit status {result.returncode}: {result.stderr.decode()[-500:]}")
    commands = [e for e in events if e.get("event") == "command"]
    boxes = [e for e in events if e.get("event") == "messagebox"]
    check(len(commands) == 4, f"four commands, got {len(commands)}")
    outputs = [c.get("output") or "" for c in commands] + [""] * 4
    report, french, spanish = outputs[0], outputs[2], outputs[3]
    check(report.startswith("Current Weather Conditions: Nice"), "the report's heading: " + report[:80])
    for row in ("#(!FC04)(!FB)Wind: (!FR)", "(!FB)Temperature: (!FR)", "° Celsius)",
                "(!FB)Pressure (altimeter): (!FR)", "inches of mercury"):
        check(row in report, "the report holds " + repr(row))
    check(len(boxes) >= 1, "the list of France's stations in boxes")
    listed = "".join(box.get("text", "") for box in boxes)
    check("LFMNNice" in listed and "LFPGParis" in listed, "Nice and Paris-Charles de Gaulle listed")

    # Each piece went out as UTF-8 JSON and came back in the code page.
    for row in ("Conditions météo actuelles: Nice, France (LFMN)", "(!FB)Vent: (!FR)du ENE (070 degrés)",
                "kilomètres par heure)", "(!FB)Température: (!FR)80° Fahrenheit (27° Celsius)",
                "(!FB)Pression (altimètre): (!FR)30.00 pouces de mercure"):
        check(row in french, "the French report holds " + repr(row) + ": " + french[:200])
    check("response pb" not in french, "every French piece translated")
    for row in ("Niza, Francia (LFMN)", "(!FB)Viento: (!FR)", "Kilómetros por hora", "(!FB)Temperatura: (!FR)"):
        check(row in spanish, "the Spanish report holds " + repr(row) + ": " + spanish[:200])

    for failure in failures:
        print("end_to_end:", failure)
    print(f"end_to_end: {len(events)} events, {len(boxes)} boxes, {'failed' if failures else 'passed'}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
