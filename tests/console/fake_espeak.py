#!/usr/bin/env python3
"""Plays espeak-ng for the front end's tests (run as "espeak-ng" from a
folder put first on PATH). Appends one JSON line to the file named by
FAKE_ESPEAK_LOG when it starts (its arguments and the text it read) and one
when it ends. With -w FILE it writes the text it read into FILE; without,
it "plays" for FAKE_ESPEAK_PLAY_S seconds, and with FAKE_ESPEAK_NO_AUDIO
set says on its error output what espeak-ng says where there is no audio
device, and ends with status 0 as espeak-ng does.
"""
import json
import os
import sys
import time


def log(record):
    with open(os.environ["FAKE_ESPEAK_LOG"], "a") as f:
        f.write(json.dumps(record) + "\n")


def main():
    args = sys.argv[1:]
    text = sys.stdin.buffer.read()
    log({"argv": args, "text": text.decode("utf-8", "backslashreplace"), "pid": os.getpid()})
    if "-w" in args:
        with open(args[args.index("-w") + 1], "wb") as f:
            f.write(text)
    else:
        time.sleep(float(os.environ.get("FAKE_ESPEAK_PLAY_S", "0")))
        if os.environ.get("FAKE_ESPEAK_NO_AUDIO"):
            sys.stderr.write("ALSA lib pcm.c:2666:(snd_pcm_open_noupdate) Unknown PCM default\n"
                             "error: No such file or directory\n")
    log({"ended": os.getpid()})
    return 0


if __name__ == "__main__":
    sys.exit(main())
