#!/usr/bin/env python3
"""nimbrel-console against a stand-in host (fake_host.py): at a terminal,
piped, and with --json. No Wine here; the Wine side is in tests/windows.

usage: front_end_test.py NIMBREL-CONSOLE
"""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from checks import check, exit_status  # noqa: E402
from pty_terminal import Terminal  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
FAKE_HOST = [sys.executable, os.path.join(HERE, "fake_host.py")]


def received(log):
    with open(log, "rb") as f:
        return f.read().decode().splitlines()


def at_a_terminal(console, env, log):
    term = Terminal([console, "--", *FAKE_HOST], env=env)
    check(term.wait_for(b"> ", 10), "a prompt once the host has loaded")
    term.type("\r")
    term.type("caf\u00e9 \U0001F600 \u20ac\r")
    term.type("/answer <ESC>[2J(!FC04)red\r")
    check(term.wait_for(b"red\x1b[0m", 10), "the answer")
    lines = received(log)
    check(lines[:1] == [repr(b"caf\xe9 ? \x80\n")],
          "typed UTF-8 reaches the host in its code page, '?' for what it lacks; an empty line is not sent: "
          + repr(lines))
    check(b"^[[2J\x1b[38;5;196mred\x1b[0m" in term.screen, "the host's escape shown, its colour code obeyed")

    start = len(term.screen)
    term.type("/hang\r")
    time.sleep(0.5)
    began = time.time()
    term.type("\x03")
    status = term.finish(10)
    check(status == 130, f"Ctrl-C during a command ends the session with status 130 (got {status})")
    check(time.time() - began < 5, "at once")
    check(b"Traceback" not in term.screen[start:], "quietly: " + repr(term.screen[start:]))


def leaving(console, env, log):
    term = Terminal([console, "--", *FAKE_HOST], env=env)
    check(term.wait_for(b"> ", 10), "a second session at a terminal")
    start = len(term.screen)
    term.type(":song x\r")
    check(term.wait_for(b"no stand-in player runs here", 5, start) and term.wait_for(b")\r\n> ", 5, start),
          ":song without a player says so")
    term.type("\x04")
    check(term.finish(10) == 0, "Ctrl-D leaves with status 0")
    check(received(log)[-1:] == ["end of input"], "after the host has seen the end of its input")

    term = Terminal([console, "--", *FAKE_HOST], env=env)
    check(term.wait_for(b"> ", 10), "a third session")
    term.type("/exit 3\r")
    status = term.finish(10)
    check(status == 3 and b"the host has ended by itself, with exit status 3" in term.screen,
          f"a host that ends by itself is reported, and its status is the session's (got {status})")


def piped(console, env):
    done = subprocess.run([console, "--", *FAKE_HOST], input="/answer (!FB)a\r\n\nhi\n:quit\nnever\n".encode(),
                          capture_output=True, env=env, timeout=30)
    check(done.returncode == 0, "piped: status 0")
    check(done.stdout.decode().endswith("> /answer (!FB)a\na\nhi\n"), "plain text, typed lines shown: "
          + repr(done.stdout.decode()[-60:]))

    done = subprocess.run([console, "--json", "--exec", "/answer \u00b0", "--", *FAKE_HOST], capture_output=True,
                          env=env, timeout=30)
    host = subprocess.run(FAKE_HOST, input="/answer \u00b0\n".encode("latin-1"), capture_output=True, env=env,
                          timeout=30)
    check(done.returncode == 0 and done.stdout == host.stdout, "--json passes the host's events through unchanged")


def main():
    console = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as work:
        log = os.path.join(work, "received")
        open(log, "w").close()
        env = dict(os.environ, FAKE_HOST_LOG=log, TERM="xterm-256color", LANG="C.UTF-8")
        env.pop("NO_COLOR", None)
        at_a_terminal(console, env, log)
        leaving(console, env, log)
        piped(console, env)
    return exit_status()


if __name__ == "__main__":
    sys.exit(main())
