#!/usr/bin/env python3
"""A scripted HTTP server for the Windows tests, run natively beside Wine.

It stands as the tested process's proxy (http_proxy), so requests for any
host reach it in absolute form. Tests script it and read what it received
through requests to the host "standin.control":

  POST /reset                      forget answers, records and connections
  POST /answer?prefix=P&kind=K...  answer paths starting with P (body: the
                                   answer's body); rules are tried in order
  GET  /requests                   every request received, each as its
                                   length in decimal, a line feed, its bytes
  GET  /connections                connections accepted, in decimal
  GET  /open?prefix=P              requests for paths starting with P whose
                                   connection the client has not closed yet,
                                   in decimal

Answer kinds: whole, pieces (piece bytes, pause ms between them), reset
(sends `sent` body bytes, then resets the connection), stall (sends `sent`
bytes, then nothing), cut (sends `sent` bytes, then closes cleanly: a
body shorter than its Content-Length), endless (no Content-Length, the
body over and over until the client goes), silent (never answers),
template (the body with {text} and {pair} replaced by the decoded trtext
and lp query values).
A rule with times=N serves N requests, then the next rule takes over.
Prints "PORT n" once listening.
"""

import argparse
import select
import socket
import socketserver
import struct
import sys
import threading
import time
import urllib.parse

CONTROL_HOST = "standin.control"


class Rule:
    def __init__(self, query, body):
        def value(name, default):
            return query.get(name, [default])[0]
        self.prefix = value("prefix", "")
        self.kind = value("kind", "whole")
        self.status = int(value("status", "200"))
        self.piece = max(1, int(value("piece", "1024")))
        self.pause = int(value("pause", "0")) / 1000.0
        self.sent = int(value("sent", "0"))
        self.times = int(value("times", "-1"))
        self.body = body


class State:
    def __init__(self):
        self.lock = threading.Lock()
        self.stopping = threading.Event()
        self.open_paths = []  # kept across resets: connections still open end later
        self.reset()

    def reset(self):
        self.rules = []
        self.records = []
        self.connections = 0

    def take_rule(self, path):
        with self.lock:
            for rule in self.rules:
                if rule.times != 0 and path.startswith(rule.prefix):
                    if rule.times > 0:
                        rule.times -= 1
                    return rule
        return None


STATE = State()


def split_target(target, headers):
    """(host without port, origin-form path) of an absolute- or origin-form target."""
    if "://" in target:
        rest = target.split("://", 1)[1]
        cut = min([i for i in (rest.find("/"), rest.find("?")) if i >= 0], default=len(rest))
        authority, path = rest[:cut], rest[cut:]
        if not path.startswith("/"):
            path = "/" + path
    else:
        authority, path = headers.get("host", ""), target
    return authority.split(":")[0].lower(), path


def head_bytes(status, length):
    """The response head; length None announces no Content-Length."""
    reason = {200: "OK", 404: "Not Found", 500: "Internal Server Error"}.get(status, "Status")
    announced = "" if length is None else f"Content-Length: {length}\r\n"
    return (f"HTTP/1.0 {status} {reason}\r\nContent-Type: text/html\r\n"
            f"{announced}Connection: close\r\n\r\n").encode("latin-1")


class Handler(socketserver.BaseRequestHandler):
    def receive(self, data):
        """More bytes appended to data; None when the peer closed or the server stops."""
        while not STATE.stopping.is_set():
            ready, _, _ = select.select([self.request], [], [], 0.2)
            if ready:
                try:
                    chunk = self.request.recv(65536)
                except OSError:
                    return None
                return data + chunk if chunk else None
        return None

    def await_close(self):
        data = b""
        while data is not None:
            data = self.receive(b"")

    def handle(self):
        self.request.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        with STATE.lock:
            STATE.connections += 1
        data = b""
        while b"\r\n\r\n" not in data:
            data = self.receive(data)
            if data is None:
                return
        head_end = data.index(b"\r\n\r\n") + 4
        lines = data[:head_end].decode("latin-1").split("\r\n")
        parts = lines[0].split(" ")
        target = " ".join(parts[1:-1]) if len(parts) >= 3 else ""
        headers = {}
        for line in lines[1:]:
            if ":" in line:
                name, value = line.split(":", 1)
                headers.setdefault(name.strip().lower(), value.strip())
        length = int(headers.get("content-length", "0") or 0)
        while len(data) - head_end < length:
            data = self.receive(data)
            if data is None:
                return
        raw = data[:head_end + length]
        body = raw[head_end:]
        host, path = split_target(target, headers)
        if host == CONTROL_HOST:
            with STATE.lock:
                STATE.connections -= 1
            return self.control(parts[0], path, body)
        with STATE.lock:
            STATE.records.append(raw)
            STATE.open_paths.append(path)
        try:
            self.answer(STATE.take_rule(path), path)
        finally:
            with STATE.lock:
                STATE.open_paths.remove(path)

    def send(self, data):
        try:
            self.request.sendall(data)
            return True
        except OSError:
            return False

    def finish_answer(self):
        try:
            self.request.shutdown(socket.SHUT_WR)
        except OSError:
            return
        self.await_close()

    def reset(self):
        self.request.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.request.close()

    def answer(self, rule, path):
        if rule is None:
            if self.send(head_bytes(404, 0)):
                self.finish_answer()
            return
        if rule.kind == "silent":
            return self.await_close()
        body = rule.body
        if rule.kind == "template":
            query = urllib.parse.parse_qs(urllib.parse.urlsplit(path).query, keep_blank_values=True,
                                          encoding="latin-1")
            text = query.get("trtext", [""])[0].encode("latin-1")
            pair = query.get("lp", [""])[0].encode("latin-1")
            body = body.replace(b"{text}", text).replace(b"{pair}", pair)
        if not self.send(head_bytes(rule.status, None if rule.kind == "endless" else len(body))):
            return
        if rule.kind == "endless":
            while body and not STATE.stopping.is_set():
                if not self.send(body):
                    return
            return
        if rule.kind == "pieces":
            for at in range(0, len(body), rule.piece):
                if at and STATE.stopping.wait(rule.pause):
                    return
                if not self.send(body[at:at + rule.piece]):
                    return
        elif rule.kind in ("reset", "stall", "cut"):
            if not self.send(body[:rule.sent]):
                return
            if rule.kind == "stall":
                return self.await_close()
            if rule.kind == "reset":
                # A reset that overtakes the head would fail the request
                # before any body is read: give the client time to read it.
                if STATE.stopping.wait(0.3):
                    return
                return self.reset()
        elif not self.send(body):
            return
        self.finish_answer()

    def control(self, verb, path, body):
        url = urllib.parse.urlsplit(path)
        reply = b""
        with STATE.lock:
            if verb == "POST" and url.path == "/reset":
                STATE.reset()
            elif verb == "POST" and url.path == "/answer":
                STATE.rules.append(Rule(urllib.parse.parse_qs(url.query, keep_blank_values=True, encoding="latin-1"), body))
            elif url.path == "/requests":
                reply = b"".join(b"%d\n" % len(r) + r for r in STATE.records)
            elif url.path == "/connections":
                reply = b"%d" % STATE.connections
            elif url.path == "/open":
                prefix = urllib.parse.parse_qs(url.query, encoding="latin-1").get("prefix", [""])[0]
                reply = b"%d" % sum(1 for open_path in STATE.open_paths if open_path.startswith(prefix))
        if self.send(head_bytes(200, len(reply)) + reply):
            self.finish_answer()


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=0)
    port = parser.parse_args().port
    with Server(("127.0.0.1", port), Handler) as server:
        print(f"PORT {server.server_address[1]}", flush=True)
        try:
            server.serve_forever(poll_interval=0.2)
        except KeyboardInterrupt:
            pass
        finally:
            STATE.stopping.set()


if __name__ == "__main__":
    sys.exit(main())
