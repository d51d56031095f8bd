#!/usr/bin/env python3
"""A translated weather report end to end: the console host under Wine,
the plug-in, the stand-in services and Apertium. Prints the time of each
command as the host reports it ("ms" of its --json events): the report of
Nice untranslated, then in Spanish on freshly started services (cold: the
pipeline starts), again (every piece remembered), and London's (a new
station: its labels remembered, its values through the warm pipeline).
Asserts nothing.

usage: translated_report_benchmark.py SCRIPTS/RUN
"""
import json
import subprocess
import sys

LINES = [
    ("/xweather LFMN", "untranslated"),
    ("/xweather LFMN en_es", "Spanish, cold services"),
    ("/xweather LFMN en_es", "Spanish again, warm"),
    ("/xweather EGLL en_es", "Spanish, another station, warm"),
]


def main():
    run = sys.argv[1]
    result = subprocess.run([run, "--json"] + [line for line, _ in LINES], capture_output=True, timeout=600,
                            stdin=subprocess.DEVNULL)
    commands = [json.loads(line) for line in result.stdout.decode("utf-8").splitlines()
                if line.startswith("{") and json.loads(line).get("event") == "command"]
    if len(commands) != len(LINES):
        print(f"translated_report_benchmark: {len(commands)} of {len(LINES)} commands ran")
        print(result.stderr.decode()[-1000:])
        return 1
    for (line, what), command in zip(LINES, commands):
        translated = "response pb" not in (command.get("output") or "")
        print(f"{line:24} {what:32} {command['ms']:9.1f} ms{'' if translated else '  (not translated)'}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
