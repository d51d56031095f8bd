#!/usr/bin/env python3
"""A LibreTranslate server for tests, on a loopback port: GET /languages
lists English, French and Spanish; POST /translate (JSON) answers English
to French by a small glossary of the weather report's words, leaving the
rest as it came. Prints "PORT n" once listening.
"""

import argparse
import http.server
import json
import sys

LANGUAGES = [
    {"code": "en", "name": "English", "targets": ["es", "fr"]},
    {"code": "es", "name": "Spanish", "targets": ["en"]},
    {"code": "fr", "name": "French", "targets": ["en"]},
]

FRENCH = {
    "Current Weather Conditions": "Conditions m\u00e9t\u00e9o actuelles",
    "Wind": "Vent",
    "from the": "du",
    "degrees": "degr\u00e9s",
    "Kilometers per hour": "kilom\u00e8tres par heure",
    "Visibility": "Visibilit\u00e9",
    "greater than": "plus de",
    "miles": "milles",
    "Sky conditions": "Ciel",
    "partly cloudy": "partiellement nuageux",
    "Temperature": "Temp\u00e9rature",
    "Dew Point": "Point de ros\u00e9e",
    "Relative Humidity": "Humidit\u00e9 relative",
    "Pressure (altimeter)": "Pression (altim\u00e8tre)",
    "inches of mercury": "pouces de mercure",
}


def to_french(text):
    for english in sorted(FRENCH, key=len, reverse=True):
        text = text.replace(english, FRENCH[english])
    return text


class Handler(http.server.BaseHTTPRequestHandler):
    def answer(self, status, value):
        body = json.dumps(value).encode()
        self.send_response(status)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        if self.path == "/languages":
            self.answer(200, LANGUAGES)
        else:
            self.answer(404, {"error": "Not found"})

    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        try:
            request = json.loads(self.rfile.read(length))
        except ValueError:
            return self.answer(400, {"error": "Invalid JSON"})
        if self.path != "/translate":
            return self.answer(404, {"error": "Not found"})
        if request.get("source") != "en" or request.get("target") != "fr" or request.get("format") != "text":
            return self.answer(400, {"error": "Unsupported request"})
        self.answer(200, {"translatedText": to_french(request.get("q", ""))})

    def log_message(self, format, *args):
        pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=0)
    port = parser.parse_args().port
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
    print(f"PORT {server.server_address[1]}", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
