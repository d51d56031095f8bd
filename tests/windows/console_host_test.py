#!/usr/bin/env python3
"""nimbrel-host.exe as scripts drive it: --json events and exit codes.

usage: console_host_test.py WINE-RUN [--prefix=DIR] nimbrel-host.exe
"""
import json
import subprocess
import sys

COMMANDS = [
    ("xweather", "To retrieve current weather conditions by town code", "TOWN_CODE"),
    ("xcountry", "To view all towns by country with code ", "Country"),
    ("xstates", "To view all towns by states (USA) with code ", "States"),
    ("xwtranshelp", "To view avaible translation code", None),
    ("xs", "To speech text", "text to speech"),
    ("xsong", "Get the current play song and send a toast", None),
    ("xadd", "Add Winamp/Sonique's songs", None),
    ("xplay", "Play current playlist", None),
    ("xpause", "Pause the current playlist", None),
    ("xstop", "Stop the current playlist", None),
    ("xnext", "Next song in the current playlist", None),
    ("xprev", "Previous song in the current playlist", None),
    ("xwspeechoff", "Nimbrel plugin will not speech results (default)", None),
    ("xwspeechon", "Nimbrel plugin will speech english results", None),
]

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def run(runner, host, *args, stdin=""):
    done = subprocess.run(runner + [host, *args], input=stdin.encode(), capture_output=True, timeout=300)
    events = [json.loads(line) for line in done.stdout.decode("utf-8").splitlines() if line.startswith("{")]
    return done.returncode, events


def main():
    runner, host = sys.argv[1:-1], sys.argv[-1]

    code, events = run(runner, host, "--json", "--exec", "/xsx LFMN", "--exec", "hello", "--exec", ":notify Speak x")
    check(code == 0, "exit status 0 after a clean session")
    check(len(events) == 4, "one event per line: loaded, command, chat, notify")
    loaded = events[0] if events else {}
    check(loaded.get("event") == "loaded", "the first event is the publication")
    check(loaded.get("name") == "Nimbrel' s Plugin v.1.1", "the published name, byte for byte")
    check(loaded.get("tags") == 0, "no tags")
    expected = [{"command": c, "description": d, "parameter": p} for c, d, p in COMMANDS]
    check(loaded.get("commands") == expected, "the fourteen rows, parameters null where untouched")
    if len(events) == 4:
        command, chat, notify = events[1:]
        check(command == {**command, "event": "command", "line": "/xsx LFMN", "word": "/xsx", "params": "LFMN",
                          "result": 0, "output": None}, "an unknown command: result 0, output untouched")
        check(isinstance(command.get("ms"), (int, float)), "the call's wall time")
        check(chat == {"event": "chat", "text": "hello"}, "chat text is shown as sent")
        check(notify == {"event": "notify", "name": "Speak", "data": "x", "result": 0, "output": None},
              "an unknown notification: result 0, output untouched")

    code, events = run(runner, host, "--json", stdin="/xsx\r\n:quit\n/never\n")
    check(code == 0 and [e["event"] for e in events] == ["loaded", "command"],
          "standard input is read until :quit")

    code, events = run(runner, host, "--json", "--plugin", "C:\\missing\\none.dll")
    check(code != 0, "a plug-in that does not load: non-zero exit")
    check(len(events) == 1 and events[0]["event"] == "error" and "C:\\missing\\none.dll" in events[0]["message"],
          "the error names the path")

    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
