#!/usr/bin/env python3
"""Serves the built page to this computer only, for ./play --web.

    serve_site.py FOLDER PORT

Every problem is one line on standard error: a port that is no port (exit 2), a port that cannot
be listened on (exit 1). Requests are not logged: the terminal is the player's, not a log.

It stays a small server for one computer: a connection that says nothing for a few seconds is
closed, and at most a bounded number are open at once; when a new one comes to a full server, the
one that has waited longest without asking anything makes room for it, so idle or half-sent
connections cannot keep a browser out. A real site is served by any static web server.
"""
import errno
import http.server
import os
import sys
import threading
import time
import urllib.parse

PROGRAM = "./play --web"


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    # Seconds a connection may stay silent, in the middle of a request or before one.
    timeout = 5
    # The page's own types, whatever the system's MIME table says: browsers refuse to stream
    # WebAssembly or to read a manifest sent under another type.
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        ".wasm": "application/wasm",
        ".webmanifest": "application/manifest+json",
        ".js": "text/javascript",
        ".css": "text/css",
        ".html": "text/html",
        ".webp": "image/webp",
        ".mp3": "audio/mpeg",
        ".woff2": "font/woff2",
    }

    def list_directory(self, path):
        # The site is a game, not a file share: a folder without its index is not there.
        self.send_error(404)
        return None

    def parse_request(self):
        if not super().parse_request():
            return False
        self.server.asked(self.connection)
        return True

    def send_head(self):
        # A path whose %-escapes are no UTF-8 names no file; say so rather than hang up.
        try:
            urllib.parse.unquote(self.path.split("?", 1)[0].split("#", 1)[0], errors="strict")
        except UnicodeDecodeError:
            self.send_error(400, "The path is not UTF-8")
            return None
        return super().send_head()

    def translate_path(self, path):
        translated = super().translate_path(path)
        # A NUL (%00) cannot be in a file name, and os.stat raises on it.
        translated = translated.replace("\0", "\ufffd")
        # A link inside the site that leads out of it is not part of the site.
        root = os.path.realpath(self.directory)
        real = os.path.realpath(translated)
        if real != root and not real.startswith(root + os.sep):
            return os.path.join(root, "\ufffd-outside")
        return translated

    def log_message(self, format, *args):
        pass


class QuietServer(http.server.ThreadingHTTPServer):
    daemon_threads = True
    request_queue_size = 128
    # Open connections at most; each has a thread.
    max_connections = 64

    def __init__(self, *args, **kwargs):
        self._lock = threading.RLock()
        self._open = {}  # socket -> when it came, or None once it has asked for something
        super().__init__(*args, **kwargs)

    def process_request(self, request, client_address):
        with self._lock:
            if len(self._open) >= self.max_connections:
                waiting = [(since, sock) for sock, since in self._open.items() if since is not None]
                if not waiting:
                    # Every connection is being answered: this one is closed unanswered.
                    self.shutdown_request(request)
                    return
                _, oldest = min(waiting, key=lambda pair: pair[0])
                self._open[oldest] = None
                try:
                    # Its thread wakes from its read and closes it.
                    oldest.shutdown(2)
                except OSError:
                    pass
            self._open[request] = time.monotonic()
        super().process_request(request, client_address)

    def asked(self, request):
        with self._lock:
            if request in self._open:
                self._open[request] = None

    def shutdown_request(self, request):
        with self._lock:
            self._open.pop(request, None)
        super().shutdown_request(request)

    def handle_error(self, request, client_address):
        # A browser that leaves in the middle of a file is no fault of the server's.
        pass


def port_of(text):
    if not text.isascii() or not text.isdigit() or len(text) > 5 or not 1 <= int(text) <= 65535:
        shown = text.encode("unicode_escape").decode("ascii")
        print(f"{PROGRAM}: --port needs a port number from 1 to 65535, not '{shown}'",
              file=sys.stderr)
        sys.exit(2)
    return int(text)


def main():
    if len(sys.argv) != 3:
        print(f"usage: {sys.argv[0]} FOLDER PORT", file=sys.stderr)
        sys.exit(2)
    folder, port = sys.argv[1], port_of(sys.argv[2])

    def handler(*args, **kwargs):
        return SiteHandler(*args, directory=folder, **kwargs)

    try:
        server = QuietServer(("127.0.0.1", port), handler)
    except OSError as error:
        print(f"{PROGRAM}: cannot listen on 127.0.0.1:{port}: {error.strerror or error}"
              + ("; choose another with --port N" if error.errno in (errno.EADDRINUSE, errno.EACCES) else ""),
              file=sys.stderr)
        sys.exit(1)
    print(f"The game is at http://127.0.0.1:{port}/ (only on this computer; Ctrl+C stops it).",
          flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
