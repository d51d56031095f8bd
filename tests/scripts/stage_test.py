#!/usr/bin/env python3
"""scripts/stage.bash, the stage lines of scripts/run's first start, against
a stand-in build printing ninja-like lines: piped, the title alone; at a
terminal, the progress rewritten on one line; silence when there is nothing
to build; the log's last lines on failure. Standard output stays untouched.

usage: stage_test.py SCRIPTS-FOLDER
"""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from checks import check, exit_status  # noqa: E402
from pty_terminal import Terminal  # noqa: E402

# Prints the lines of FAKE_LINES (one a line), then ends with FAKE_STATUS.
FAKE_BUILD = """#!/bin/bash
printf '%s\\n' "$FAKE_LINES"
exit "${FAKE_STATUS:-0}"
"""
WORK = ["[1/3] Building CXX object a.cpp.o", "[2/3] Building CXX object b.cpp.o", "[3/3] Linking CXX executable c"]
# An up-to-date tree whose ExternalProject builds every time.
IDLE = ["[1/3] Performing build step for 'plugin'", "ninja: no work to do.",
        "[2/3] No install step for 'plugin'", "[3/3] Completed 'plugin'"]
FAILED = ["[1/3] Building CXX object a.cpp.o", "a.cpp:1:1: error: boom", "ninja: build stopped: subcommand failed."]
LONG = ["[1/1] Building CXX object " + "x" * 100]
TITLE = "building the tree (about 1 min)"


def rewritten(lines, columns):
    return b"".join(b"\r\x1b[K" + line[:columns - 1].encode() for line in lines) + b"\r\x1b[K"


def main():
    stage = os.path.join(os.path.abspath(sys.argv[1]), "stage.bash")
    with tempfile.TemporaryDirectory() as work:
        fake = os.path.join(work, "fake-build")
        with open(fake, "w") as f:
            f.write(FAKE_BUILD)
        os.chmod(fake, 0o755)
        log = os.path.join(work, "tree.log")
        argv = ["bash", "-c", 'source "$0"; stage "$@"; echo "status $?"', stage, TITLE, log, fake]

        # lines, exit status, standard error piped, screen at a terminal 40 columns wide
        failed_tail = "run: that failed; the last lines of " + log + ":\n" + "\n".join(FAILED) + "\n"
        cases = [
            ("work", WORK, 0, "run: " + TITLE + "\n", b"run: " + TITLE.encode() + b"\r\n" + rewritten(WORK, 40)),
            ("up to date", IDLE, 0, "", b""),
            ("long line", LONG, 0, "run: " + TITLE + "\n", b"run: " + TITLE.encode() + b"\r\n" + rewritten(LONG, 40)),
            ("failure", FAILED, 1, "run: " + TITLE + "\n" + failed_tail,
             b"run: " + TITLE.encode() + b"\r\n" + rewritten(FAILED[:1], 40) + failed_tail.replace("\n", "\r\n").encode()),
        ]
        for name, lines, status, piped, screen in cases:
            env = dict(os.environ, FAKE_LINES="\n".join(lines), FAKE_STATUS=str(status))
            done = subprocess.run(argv, env=env, capture_output=True, text=True, timeout=60)
            check(done.stdout == f"status {status}\n", f"{name}: the command's status, nothing else on stdout: "
                  + repr(done.stdout))
            check(done.stderr == piped, f"{name}: piped, the stage line only: " + repr(done.stderr))
            with open(log) as f:
                check(f.read() == "\n".join(lines) + "\n", f"{name}: the build's whole output in the log")

            term = Terminal(argv, env=env, columns=40)
            term.finish(60)
            shown = term.screen.replace(f"status {status}\r\n".encode(), b"")
            check(shown == screen, f"{name}: at a terminal, progress rewritten on one line: " + repr(shown))
    return exit_status()


if __name__ == "__main__":
    sys.exit(main())
