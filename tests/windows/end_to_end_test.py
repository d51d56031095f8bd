#!/usr/bin/env python3
"""The README's run command end to end: the console host under Wine, the
plug-in, and the stand-in services built from real observation records.

usage: end_to_end_test.py SCRIPTS/RUN
"""
import json
import subprocess
import sys


def main():
    run = sys.argv[1]
    result = subprocess.run([run, "--json", "/xweather LFMN", "/xcountry France"],
                            capture_output=True, timeout=600, stdin=subprocess.DEVNULL)
    events = [json.loads(line) for line in result.stdout.decode("utf-8").splitlines()
              if line.startswith("{")]
    failures = []

    def check(condition, what):
        if not condition:
            failures.append(what)

    check(result.returncode == 0, f"exit status {result.returncode}: {result.stderr.decode()[-500:]}")
    commands = [e for e in events if e.get("event") == "command"]
    boxes = [e for e in events if e.get("event") == "messagebox"]
    check(len(commands) == 2, f"two commands, got {len(commands)}")
    if commands:
        report = commands[0].get("output") or ""
        check(report.startswith("Current Weather Conditions: Nice"), "the report's heading: " + report[:80])
        for row in ("#(!FC04)(!FB)Wind: (!FR)", "(!FB)Temperature: (!FR)", "° Celsius)",
                    "(!FB)Pressure (altimeter): (!FR)", "inches of mercury"):
            check(row in report, "the report holds " + repr(row))
    check(len(boxes) >= 1, "the list of France's stations in boxes")
    listed = "".join(box.get("text", "") for box in boxes)
    check("LFMNNice" in listed and "LFPGParis" in listed, "Nice and Paris-Charles de Gaulle listed")
    for failure in failures:
        print("end_to_end:", failure)
    print(f"end_to_end: {len(events)} events, {len(boxes)} boxes, {'failed' if failures else 'passed'}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
