#!/usr/bin/env python3
"""scripts/run end to end as a new user meets it: the host under Wine, the
plug-in, the stand-in services built from real observation records and a
stand-in player, started from another folder, translating to Spanish by
Apertium and to French through a loopback LibreTranslate stand-in
(tests/standin/fake_libretranslate.py), and speaking through espeak-ng into
a WAV file; and scripts/run's own options. One Wine session for all the
commands.

usage: end_to_end_test.py SCRIPTS/RUN FAKE-LIBRETRANSLATE
"""
import json
import os
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from checks import check, exit_status  # noqa: E402


def start_fake(program):
    fake = subprocess.Popen([sys.executable, program, "--port", "0"], stdout=subprocess.PIPE,
                            stdin=subprocess.DEVNULL)
    word, port = fake.stdout.readline().decode().split()
    assert word == "PORT", "the LibreTranslate stand-in did not start"
    return fake, f"http://127.0.0.1:{port}"


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


def wav_seconds(path):
    """How long a PCM WAV file plays, from its header; None when it is not one."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:16] != b"WAVEfmt ":
        return None
    channels, rate, _, _, bits = struct.unpack("<HIIHH", data[22:36])
    at = 12
    while at + 8 <= len(data):  # the chunks, up to the samples
        name, size = data[at:at + 4], struct.unpack("<I", data[at + 4:at + 8])[0]
        if name == b"data" and rate and channels and bits:
            return min(size, len(data) - at - 8) / (rate * channels * bits // 8)
        at += 8 + size
    return None


def session(run, libretranslate, speech):
    # From the build folder, with the plug-in given relative to it.
    win32 = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(run))), "build", "win32")
    lines = ["/xweather LFMN", "/xcountry France", "/xplay", "/xsong", "/xweather LFMN en_fr",
             "/xweather LFMN en_es", "/xs hello"]
    result = subprocess.run([run, "--json", "--speech-dir", speech, "--libretranslate-url", libretranslate,
                             "--plugin", "bin/Nimbrel's Plugin.dll", "--player", "studio",
                             "--song", "Caf\u00e9 Song", *lines, "--exec", "caf\u00e9 \u2603"],
                            capture_output=True, timeout=600, stdin=subprocess.DEVNULL, cwd=win32)
    events = [json.loads(line) for line in result.stdout.decode("utf-8").splitlines()]
    check(result.returncode == 0, f"exit status {result.returncode}: {result.stderr.decode()[-500:]}")
    commands = [e for e in events if e.get("event") == "command"]
    boxes = [e for e in events if e.get("event") == "messagebox"]
    check([e.get("line") for e in events if e.get("event") == "done"] == lines + ["caf\u00e9 ?"],
          "a done event after each line")
    check(len(commands) == 7, f"seven commands, got {len(commands)}")
    outputs = [c.get("output") or "" for c in commands] + [""] * 7
    report, french, spanish = outputs[0], outputs[4], outputs[5]
    check(report.startswith("Current Weather Conditions: Nice"), "the report's heading: " + report[:80])
    for row in ("#(!FC04)(!FB)Wind: (!FR)", "(!FB)Temperature: (!FR)", "\u00b0 Celsius)",
                "(!FB)Pressure (altimeter): (!FR)", "inches of mercury"):
        check(row in report, "the report holds " + repr(row))
    listed = "".join(box.get("text", "") for box in boxes)
    check("LFMNNice" in listed and "LFPGParis" in listed, "Nice and Paris-Charles de Gaulle listed in boxes")
    check(outputs[2] == "Play Caf\u00e9 Song", "/xplay answers with the stand-in player's title")
    toasts = [e for e in events if e.get("event") == "toast"]
    check(any(t.get("title") == "Current Playing Song" and t.get("message") == "Caf\u00e9 Song" for t in toasts),
          "/xsong shows the title in a toast")
    check("player: WM_KEYDOWN key 0x58 (X)" in result.stderr.decode(), "the player shows the key press it was sent")
    check({"event": "chat", "text": "caf\u00e9 ?"} in events, "typed UTF-8 reaches the plug-in in its code page")

    # Each piece went out as UTF-8 JSON and came back in the code page.
    for row in ("Conditions m\u00e9t\u00e9o actuelles: Nice, France (LFMN)",
                "(!FB)Vent: (!FR)du ENE (070 degr\u00e9s)", "kilom\u00e8tres par heure)",
                "(!FB)Temp\u00e9rature: (!FR)80\u00b0 Fahrenheit (27\u00b0 Celsius)",
                "(!FB)Pression (altim\u00e8tre): (!FR)30.00 pouces de mercure"):
        check(row in french, "the French report holds " + repr(row) + ": " + french[:200])
    check("response pb" not in french, "every French piece translated")
    for row in ("Niza, Francia (LFMN)", "(!FB)Viento: (!FR)", "Kil\u00f3metros por hora", "(!FB)Temperatura: (!FR)"):
        check(row in spanish, "the Spanish report holds " + repr(row) + ": " + spanish[:200])

    # What the plug-in asked the stand-in voice to say, spoken by espeak-ng.
    check([e.get("text") for e in events if e.get("event") == "speech"] == ["hello"], "/xs hello is read aloud")
    check(sorted(os.listdir(speech)) == ["001.wav"], "one WAV file: " + repr(sorted(os.listdir(speech))))
    seconds = wav_seconds(os.path.join(speech, "001.wav")) if os.listdir(speech) else None
    check(seconds is not None and 0.2 < seconds < 3, f"\"hello\" spoken as a WAV of plausible length: {seconds} s")


def main():
    run = os.path.abspath(sys.argv[1])
    options(run)
    fake, url = start_fake(sys.argv[2])
    try:
        with tempfile.TemporaryDirectory() as speech:
            session(run, url, speech)
    finally:
        fake.kill()
        fake.wait()
    return exit_status()


if __name__ == "__main__":
    sys.exit(main())
