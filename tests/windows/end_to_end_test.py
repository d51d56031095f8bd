#!/usr/bin/env python3
"""scripts/run end to end as a new user meets it: the host under Wine, the
plug-in, the stand-in services built from real observation records and a
stand-in player, started from another folder; and its own options.

usage: end_to_end_test.py SCRIPTS/RUN
"""
import json
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from checks import check, exit_status  # noqa: E402


def options(run):
    done = subprocess.run([run, "--help"], capture_output=True, text=True, timeout=60)
    check(done.returncode == 0 and "usage: scripts/run" in done.stdout and "--player KIND" in done.stdout
          and "nimbrel-host.exe [" not in done.stdout, "--help describes scripts/run's own options")
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    done = subprocess.run([run, "--show-boxes", "/xwtranshelp"], capture_output=True, text=True, env=env, timeout=60)
    check(done.returncode == 2 and "--show-boxes needs a display" in done.stderr,
          "--show-boxes without a display is refused: " + done.stderr.strip())
    done = subprocess.run([run, "--plugin", "no/such.dll"], capture_output=True, text=True, timeout=60)
    check(done.returncode == 2 and "no plug-in at " + os.path.abspath("no/such.dll") in done.stderr,
          "a plug-in path that leads nowhere is named: " + done.stderr.strip())


def session(run):
    # From the build folder, with the plug-in given relative to it.
    win32 = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(run))), "build", "win32")
    result = subprocess.run([run, "--json", "--plugin", "bin/Nimbrel's Plugin.dll", "--player", "studio",
                             "--song", "Caf\u00e9 Song", "/xweather LFMN", "/xcountry France", "/xplay", "/xsong",
                             "--exec", "caf\u00e9 \u2603"],
                            capture_output=True, timeout=600, stdin=subprocess.DEVNULL, cwd=win32)
    events = [json.loads(line) for line in result.stdout.decode("utf-8").splitlines()]
    check(result.returncode == 0, f"exit status {result.returncode}: {result.stderr.decode()[-500:]}")
    commands = [e for e in events if e.get("event") == "command"]
    boxes = [e for e in events if e.get("event") == "messagebox"]
    check([e.get("line") for e in events if e.get("event") == "done"] ==
          ["/xweather LFMN", "/xcountry France", "/xplay", "/xsong", "caf\u00e9 ?"], "a done event after each line")
    check(len(commands) == 4, f"four commands, got {len(commands)}")
    if commands:
        report = commands[0].get("output") or ""
        check(report.startswith("Current Weather Conditions: Nice"), "the report's heading: " + report[:80])
        for row in ("#(!FC04)(!FB)Wind: (!FR)", "(!FB)Temperature: (!FR)", "\u00b0 Celsius)",
                    "(!FB)Pressure (altimeter): (!FR)", "inches of mercury"):
            check(row in report, "the report holds " + repr(row))
    listed = "".join(box.get("text", "") for box in boxes)
    check("LFMNNice" in listed and "LFPGParis" in listed, "Nice and Paris-Charles de Gaulle listed in boxes")
    check(len(commands) == 4 and commands[2].get("output") == "Play Caf\u00e9 Song",
          "/xplay answers with the stand-in player's title")
    toasts = [e for e in events if e.get("event") == "toast"]
    check(any(t.get("title") == "Current Playing Song" and t.get("message") == "Caf\u00e9 Song" for t in toasts),
          "/xsong shows the title in a toast")
    check("player: WM_KEYDOWN key 0x58 (X)" in result.stderr.decode(), "the player shows the key press it was sent")
    check({"event": "chat", "text": "caf\u00e9 ?"} in events, "typed UTF-8 reaches the plug-in in its code page")


def main():
    run = os.path.abspath(sys.argv[1])
    options(run)
    session(run)
    return exit_status()


if __name__ == "__main__":
    sys.exit(main())
