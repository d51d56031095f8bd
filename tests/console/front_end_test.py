#!/usr/bin/env python3
"""nimbrel-console against a stand-in host (fake_host.py): at a terminal,
piped, and with --json; and its voice against a stand-in espeak-ng
(fake_espeak.py). No Wine here; the Wine side is in tests/windows.

usage: front_end_test.py NIMBREL-CONSOLE
"""
import json
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
FAKE_ESPEAK = os.path.join(HERE, "fake_espeak.py")


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


def espeak_runs(log):
    """What the stand-in espeak-ng was asked: its runs as started, and the pids that have ended."""
    with open(log) as f:
        records = [json.loads(line) for line in f]
    return [r for r in records if "argv" in r], {r["ended"] for r in records if "ended" in r}


def speaking_does_not_hold_up_the_session(console, env, espeak_log):
    env = dict(env, FAKE_ESPEAK_PLAY_S="4")
    term = Terminal([console, "--speak", "--", *FAKE_HOST], env=env)
    check(term.wait_for(b"> ", 10), "a session that speaks")
    term.type("/say a long text\r")
    check(term.wait_for(b"+-- read aloud", 10), "the spoken text is shown")
    for _ in range(50):
        if espeak_runs(espeak_log)[0]:
            break
        time.sleep(0.1)
    start = len(term.screen)
    typed = time.time()
    term.type("/answer next\r")
    answered = term.wait_for(b"\r\nnext\r\n", 3, start) and time.time() - typed
    runs, ended = espeak_runs(espeak_log)
    check(answered and answered < 2 and len(runs) == 1 and runs[0]["pid"] not in ended,
          f"the next line is answered ({answered} s) while the text is still being spoken: {runs}, {ended}")
    term.type("\x03")
    began = time.time()
    status = term.finish(10)
    check(status == 130 and time.time() - began < 5, f"Ctrl-C stops the speech with the session (status {status})")
    time.sleep(0.3)
    check(runs and not os.path.exists(f"/proc/{runs[0]['pid']}"), "espeak-ng is not left behind")


def speaking_in_order(console, env, espeak_log, work):
    folder = os.path.join(work, "spoken", "texts")
    done = subprocess.run([console, "--speak", "--speech-dir", folder, "--", *FAKE_HOST],
                          input=b"/say one\n/say -two<ESC>[2J<CR>x \x07\n/answer between\n/say trois\n",
                          capture_output=True, env=dict(env, FAKE_ESPEAK_NO_AUDIO="1"), timeout=30)
    out = done.stdout.decode()
    check(done.returncode == 0, f"status 0 (got {done.returncode}): {done.stderr.decode()[-300:]}")
    texts = ["one", "-two [2J x  ", "trois"]
    written = []
    for number in range(1, 5):
        name = os.path.join(folder, f"{number:03}.wav")
        written.append(open(name, "rb").read().decode() if os.path.exists(name) else None)
    check(written == texts + [None], "one file a text, numbered in the order spoken, no control byte in it: "
          + repr(written))
    runs, _ = espeak_runs(espeak_log)
    check([r["text"] for r in runs] == [t for t in texts for _ in (0, 1)], "each text written, then played, in order")
    check(all(r["argv"][:3] == ["-b", "1", "--stdin"] and r["text"] not in r["argv"] for r in runs)
          and [r["argv"][3:] for r in runs[:2]] == [["-w", os.path.join(folder, "001.wav")], []],
          "the text reaches espeak-ng on its input as UTF-8, never as an argument: " + repr([r["argv"] for r in runs]))
    check(out.count("(no sound: espeak-ng could not play through an audio output: it said "
                    "\"error: No such file or directory\"") == 1 and "ALSA" not in out + done.stderr.decode(),
          "no audio device is said once, in espeak-ng's last words: " + out[-400:])

    done = subprocess.run([console, "--json", "--speech-dir", os.path.join(work, "none"), "--exec", "/say x", "--",
                           *FAKE_HOST], capture_output=True, env=dict(env, PATH=work), timeout=30)
    check(done.returncode == 0 and b'"event": "speech"' in done.stdout
          and b"cannot start espeak-ng: No such file or directory" in done.stderr,
          "without espeak-ng the session goes on, and says why nothing is spoken: " + done.stderr.decode()[-200:])

    done = subprocess.run([console, "--speech-dir", espeak_log, "--", *FAKE_HOST], capture_output=True, env=env,
                          timeout=30)
    check(done.returncode == 2 and b"cannot write the spoken texts in " in done.stderr,
          "a speech folder that cannot be made is refused: " + done.stderr.decode())


def main():
    console = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as work:
        log = os.path.join(work, "received")
        open(log, "w").close()
        espeak_log = os.path.join(work, "espeak")
        open(espeak_log, "w").close()
        tools = os.path.join(work, "tools")
        os.mkdir(tools)
        os.symlink(FAKE_ESPEAK, os.path.join(tools, "espeak-ng"))
        env = dict(os.environ, FAKE_HOST_LOG=log, FAKE_ESPEAK_LOG=espeak_log, TERM="xterm-256color",
                   LANG="C.UTF-8", PATH=tools + os.pathsep + os.environ.get("PATH", ""))
        env.pop("NO_COLOR", None)
        at_a_terminal(console, env, log)
        leaving(console, env, log)
        piped(console, env)
        check(espeak_runs(espeak_log) == ([], set()), "without --speak or --speech-dir nothing is spoken")
        speaking_does_not_hold_up_the_session(console, env, espeak_log)
        open(espeak_log, "w").close()
        speaking_in_order(console, env, espeak_log, work)
    return exit_status()


if __name__ == "__main__":
    sys.exit(main())
