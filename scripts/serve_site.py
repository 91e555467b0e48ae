#!/usr/bin/env python3
"""Serves the built page to this computer only, for ./play --web.

    serve_site.py FOLDER PORT

Every problem is one line on standard error: a port that is no port (exit 2), a port that cannot
be listened on (exit 1). Requests are not logged: the terminal is the player's, not a log.
"""
import errno
import http.server
import sys

PROGRAM = "./play --web"


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    # The page's own types, whatever the system's MIME table says: browsers refuse to stream
    # WebAssembly or to read a manifest sent under another type.
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        ".wasm": "application/wasm",
        ".webmanifest": "application/manifest+json",
        ".js": "text/javascript",
        ".css": "text/css",
        ".html": "text/html",
    }

    def list_directory(self, path):
        # The site is a game, not a file share: a folder without its index is not there.
        self.send_error(404)
        return None

    def translate_path(self, path):
        translated = super().translate_path(path)
        # A NUL (%00) cannot be in a file name, and os.stat raises on it.
        return translated.replace("\0", "\ufffd")

    def log_message(self, format, *args):
        pass


class QuietServer(http.server.ThreadingHTTPServer):
    daemon_threads = True

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
