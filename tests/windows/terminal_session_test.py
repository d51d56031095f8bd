#!/usr/bin/env python3
"""scripts/run at a real (pseudo-)terminal, typed into as a person would:
one session, one start of the host under Wine. Each answer must be on the
screen within 3 s of its line, in colour, with the degree sign as UTF-8.

usage: terminal_session_test.py SCRIPTS/RUN
"""
import os
import re
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from checks import check, exit_status  # noqa: E402
from pty_terminal import Terminal  # noqa: E402


ANSWER_BOUND_S = 3.0
# Each line, and a text on the screen once its whole answer is there.
LINES = [
    ("/xweather LFMN", b"inches of mercury (1016 hPa)"),
    ("/xs hi", b"+-- read aloud\r\n  | hi\r\n"),
    ("/xwspeechon", b"NimbrelPlugin will speech english results"),
    ("/xweather KORD", b"(1017 hecto Pascal)"),
    ("/xcountry Fiji", b"NFNKLakemba"),
    ("/xwtranshelp", b"you must install these language packages"),
]
TIME = re.compile(rb"\((\d+) ms in the plug-in\)")


def main():
    env = dict(os.environ, TERM="xterm-256color", LANG="C.UTF-8")
    env.pop("NO_COLOR", None)
    term = Terminal([sys.argv[1], "--times"], env=env)
    check(term.wait_for(b"commands:", 300, 0) and term.wait_for(b"> ", 60, 0), "the commands, then a prompt")

    for line, answer in LINES:
        start = len(term.screen)
        typed = time.time()
        term.type(line + "\r")
        arrived = term.wait_for(answer, 30, start)
        seconds = time.time() - typed
        term.wait_for(b"\r\n> ", 10, start + len(line))
        plugin_ms = [int(ms) for ms in TIME.findall(term.screen[start:])]
        check(arrived and seconds <= ANSWER_BOUND_S,
              f"{line}: answered in {seconds * 1000:.0f} ms at the terminal (the plug-in: {plugin_ms} ms)")

    start = len(term.screen)
    term.type(":quit\r")
    status = term.finish(30)
    screen = term.screen
    check(status == 0, f"exit status 0 after :quit (got {status})")
    check(b"\x1b[38;5;196m" in screen, "the report's Wind row in the colour of row 04 (ESC[38;5;196m)")
    check(b"80\xc2\xb0 Fahrenheit" in screen and b"69.1\xc2\xb0 Fahrenheit" in screen, "the degree sign as C2 B0")
    check("\u252c".encode() not in screen, "no box-drawing character from a misread degree sign")
    for noise in (b"Segmentation", b"signal", b"qemu", b"X connection", b"error:"):
        check(noise not in screen, "no " + noise.decode())
    if exit_status():
        sys.stdout.write(screen.decode("utf-8", "replace")[-4000:])
    return exit_status()


if __name__ == "__main__":
    sys.exit(main())
