#!/usr/bin/env python3
"""nimbrel-host.exe as scripts drive it: --json events and exit codes.

usage: console_host_test.py WINE-RUN [--prefix=DIR] nimbrel-host.exe
"""
import json
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from checks import check, exit_status  # noqa: E402

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


def run(runner, host, *args, stdin=""):
    """The exit status, the events other than "done", and the lines "done" named."""
    done = subprocess.run(runner + [host, *args], input=stdin.encode(), capture_output=True, timeout=300)
    lines = done.stdout.decode("utf-8").splitlines()
    events = [json.loads(line) for line in lines]
    finished = [e.get("line") for e in events if e.get("event") == "done"]
    return done.returncode, [e for e in events if e.get("event") != "done"], finished


def main():
    runner, host = sys.argv[1:-1], sys.argv[-1]

    code, events, finished = run(runner, host, "--json", "--exec", "/xsx LFMN", "--exec", "hello", "--exec",
                                 ":notify Speak x")
    check(code == 0, "exit status 0 after a clean session")
    check(len(events) == 4, "one event per line: loaded, command, chat, notify")
    check(finished == ["/xsx LFMN", "hello", ":notify Speak x"], "a done event after each line, naming it")
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

    # Without --json too: the host only ever writes events.
    code, events, finished = run(runner, host, stdin="/xsx\r\n:quit\n/never\n")
    check(code == 0 and [e["event"] for e in events] == ["loaded", "command"] and finished == ["/xsx"],
          "standard input is read until :quit, CR LF as a line break")

    code, events, _ = run(runner, host, "--json", "--plugin", "C:\\missing\\none.dll")
    check(code == 2, "a plug-in that does not load: exit status 2")
    message = events[0].get("message", "") if len(events) == 1 and events[0]["event"] == "error" else ""
    check("C:\\missing\\none.dll" in message, "the error names the path")
    check("there is no such file" in message, "and says why in words: " + message)

    return exit_status()


if __name__ == "__main__":
    sys.exit(main())
