"""A program run at a pseudo-terminal, as at a person's: the terminal is its
controlling terminal, so Ctrl-C typed there reaches its foreground group."""
import fcntl
import os
import select
import struct
import subprocess
import termios
import time


class Terminal:
    def __init__(self, argv, env=None, cwd=None, rows=50, columns=160):
        self.master, slave = os.openpty()
        fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", rows, columns, 0, 0))

        def take_terminal():
            os.setsid()
            fcntl.ioctl(0, termios.TIOCSCTTY, 0)

        self.process = subprocess.Popen(argv, stdin=slave, stdout=slave, stderr=slave, env=env, cwd=cwd,
                                        preexec_fn=take_terminal)
        os.close(slave)
        self.screen = b""  # every byte written to the terminal so far

    def type(self, text):
        os.write(self.master, text.encode() if isinstance(text, str) else text)

    def read(self, seconds):
        """Waits up to this long for output; answers what came (b"" for none)."""
        ready, _, _ = select.select([self.master], [], [], seconds)
        if not ready:
            return b""
        try:
            chunk = os.read(self.master, 65536)
        except OSError:  # the program and all it started have closed the terminal
            chunk = b""
        self.screen += chunk
        return chunk

    def wait_for(self, pattern, seconds, start=None):
        """True once the screen, from `start` (default: now) on, holds the pattern (bytes)."""
        start = len(self.screen) if start is None else start
        end = time.time() + seconds
        while pattern not in self.screen[start:] and time.time() < end:
            if not self.read(min(0.1, max(0.0, end - time.time()))) and self.process.poll() is not None:
                break
        return pattern in self.screen[start:]

    def finish(self, seconds):
        """The exit status, once ended; None when it is still running."""
        end = time.time() + seconds
        while self.process.poll() is None and time.time() < end:
            self.read(0.1)
        while self.read(0.2):
            pass
        status = self.process.poll()
        if status is None:
            self.process.kill()
            self.process.wait()
        os.close(self.master)
        return status
