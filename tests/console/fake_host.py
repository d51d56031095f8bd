#!/usr/bin/env python3
"""Plays nimbrel-host.exe for the front end's tests: writes its events, and
logs every line it receives (as bytes) to the file named by FAKE_HOST_LOG.

  /answer TEXT   a command event whose output is TEXT (as Latin-1 bytes),
                 each "<ESC>" in it an ESC
  /hang          a command that never ends
  /exit N        ends at once with status N, before its done event
  /say TEXT      a command that has TEXT read aloud: a speech event, each
                 "<ESC>" in it an ESC and each "<CR>" a CR
"""
import json
import os
import sys
import time


def event(fields):
    sys.stdout.write(json.dumps(fields) + "\n")
    sys.stdout.flush()


def main():
    log = open(os.environ["FAKE_HOST_LOG"], "ab", buffering=0)
    event({"event": "loaded", "name": "Fake", "commands": [{"command": "answer", "description": "A", "parameter": None}],
           "tags": 0})
    for raw in sys.stdin.buffer:
        log.write(repr(raw).encode() + b"\n")
        line = raw.rstrip(b"\r\n").decode("latin-1")
        word, _, params = line.partition(" ")
        if line == ":quit":
            break
        if word == "/hang":
            time.sleep(600)
        if word == "/exit":
            return int(params)
        if word == "/say":
            event({"event": "command", "line": line, "word": word, "params": params, "result": 1, "output": "",
                   "ms": 1.0})
            event({"event": "speech", "text": params.replace("<ESC>", "\x1b").replace("<CR>", "\r")})
        elif word.startswith("/"):
            event({"event": "command", "line": line, "word": word, "params": params, "result": 1,
                   "output": params.replace("<ESC>", "\x1b"), "ms": 12.0})
        else:
            event({"event": "chat", "text": line})
        event({"event": "done", "line": line})
    log.write(b"end of input\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
