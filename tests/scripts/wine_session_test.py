#!/usr/bin/env python3
"""Sessions side by side in one Wine prefix, with stand-ins for wine,
wineserver and Xvfb that log what they are asked: a program that ends
leaves the other's Xvfb and wineserver alone, and the last one to leave
stops them. Runs scripts/wine-run as a user would, without a display.

usage: wine_session_test.py SCRIPTS-FOLDER
"""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from checks import check, exit_status  # noqa: E402

FAKE_WINE = """#!/bin/bash
echo "wine $* DISPLAY=$DISPLAY" >>"$FAKE_LOG"
if [ "$1" = block ]; then while [ ! -e "$FAKE_DIR/release" ]; do sleep 0.05; done; fi
exit 0
"""
FAKE_WINESERVER = """#!/bin/bash
echo "wineserver $*" >>"$FAKE_LOG"
"""
# Named Xvfb, as the shared display's record expects; gives display 99.
FAKE_XVFB = """#!/bin/bash
echo "Xvfb sid=$(ps -o sid= -p $$ | tr -d ' ')" >>"$FAKE_LOG"
echo 99 >&4
exec 4>&-
trap 'echo "Xvfb stopped" >>"$FAKE_LOG"; exit 0' TERM
while :; do sleep 0.1; done
"""


def wait_for(predicate, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        if predicate():
            return True
        time.sleep(0.05)
    return False


def main():
    scripts = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as work:
        bin_dir = os.path.join(work, "bin")
        os.mkdir(bin_dir)
        for name, text in (("wine", FAKE_WINE), ("wineserver", FAKE_WINESERVER), ("Xvfb", FAKE_XVFB)):
            path = os.path.join(bin_dir, name)
            with open(path, "w") as f:
                f.write(text)
            os.chmod(path, 0o755)
        prefix = os.path.join(work, "prefix")
        os.mkdir(prefix)
        open(os.path.join(prefix, "system.reg"), "w").close()
        log = os.path.join(work, "log")
        open(log, "w").close()
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WINEPREFIX", "NIMBREL_WINE_SESSION")}
        env.update(PATH=bin_dir + os.pathsep + env["PATH"], FAKE_LOG=log, FAKE_DIR=work)
        wine_run = [os.path.join(scripts, "wine-run"), "--prefix=" + prefix]

        def logged():
            with open(log) as f:
                return f.read().splitlines()

        first = subprocess.Popen(wine_run + ["block"], env=env, stdin=subprocess.DEVNULL)
        check(wait_for(lambda: any(line.startswith("wine block") for line in logged())), "the first program runs")
        second = subprocess.run(wine_run + ["quick"], env=env, stdin=subprocess.DEVNULL, timeout=60)
        check(second.returncode == 0, "a second program runs beside it and ends")
        lines = logged()
        check(not any(line.startswith("wineserver -k") for line in lines),
              "its end stops no wineserver: " + repr(lines))
        check(sum(line.startswith("Xvfb sid=") for line in lines) == 1, "one Xvfb for both")
        check(not any(line == "Xvfb stopped" for line in lines), "and it still runs")
        check(sum(line.startswith("wineserver -p") for line in lines) == 1, "one persistent wineserver, started once")
        displays = {line.split("DISPLAY=")[1] for line in lines if line.startswith("wine ")}
        check(displays == {":99"}, "every program on the shared display: " + repr(displays))
        xvfb_sid = next((line.split("=")[1] for line in lines if line.startswith("Xvfb sid=")), "")
        check(xvfb_sid != "" and int(xvfb_sid) != os.getsid(0),
              "the Xvfb is in a session of its own, out of reach of a terminal's Ctrl-C")

        open(os.path.join(work, "release"), "w").close()
        check(first.wait(timeout=60) == 0, "the first program ends")
        lines = logged()
        stops = [line for line in lines if line.startswith("wineserver -k") or line == "Xvfb stopped"]
        check(stops[:1] == ["wineserver -k"] and stops[-1:] == ["Xvfb stopped"],
              "the last to leave stops the wineserver, then the Xvfb (no Wine process sees its display go): "
              + repr(stops))
        check(not os.path.exists(prefix + ".xvfb"), "the record of the display goes with it")
    return exit_status()


if __name__ == "__main__":
    sys.exit(main())
