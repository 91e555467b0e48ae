#!/usr/bin/env python3
"""The server of ./play --web, asked what browsers and strangers ask: types, folders, a NUL, a
path that is no UTF-8, a link out of the site, a thousand idle connections, a port already taken
and ports that are none. Needs only python3.

    serve_site_test.py SOURCE_DIR
"""
import http.client
import os
import socket
import subprocess
import sys
import tempfile
import time

source = sys.argv[1]
server_script = os.path.join(source, "scripts", "serve_site.py")
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def get(path, timeout=10):
    """The status, content type and body of one GET, on a connection of its own."""
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=timeout)
    try:
        connection.request("GET", path)
        response = connection.getresponse()
        return response.status, (response.getheader("Content-Type") or "").split(";")[0], response.read()
    finally:
        connection.close()


site = tempfile.mkdtemp(prefix="tovik-site-")
os.makedirs(os.path.join(site, "pictures"))
os.makedirs(os.path.join(site, "fonts"))
for name, body in [("index.html", b"<!doctype html>"), ("tovik.wasm", b"\0asm"),
                   ("tovik.js", b"0"), ("manifest.webmanifest", b"{}"),
                   ("pictures/title.bmp", b"BM"), ("fonts/index.html", b"<p>")]:
    with open(os.path.join(site, name), "wb") as out:
        out.write(body)
secret = tempfile.mkdtemp(prefix="tovik-outside-")
with open(os.path.join(secret, "secret.txt"), "w") as out:
    out.write("not the site's")
os.symlink(secret, os.path.join(site, "out"))
os.symlink(os.path.join(secret, "secret.txt"), os.path.join(site, "secret.txt"))

with socket.socket() as probe:
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
server = subprocess.Popen([sys.executable, server_script, site, str(port)],
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE)
try:
    for _ in range(100):
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            break
        except OSError:
            time.sleep(0.05)

    # (path, status, content type or None)
    for path, status, content_type in [
        ("/", 200, "text/html"), ("/tovik.wasm", 200, "application/wasm"),
        ("/tovik.js", 200, "text/javascript"), ("/manifest.webmanifest", 200, "application/manifest+json"),
        ("/pictures/", 404, None), ("/pictures", 301, None),  # no listing, then the same 404
        ("/fonts/", 200, "text/html"),  # a folder's own index is still its page
        ("/%00", 404, None), ("/pictures/%00title.bmp", 404, None), ("/../../../etc/passwd", 404, None),
        ("/%ed%a0%80", 400, None), ("/%ff.js", 400, None),  # a lone surrogate, no UTF-8
        ("/out/secret.txt", 404, None), ("/secret.txt", 404, None),
    ]:
        got, got_type, body = get(path)
        check(got == status, f"{path}: status {got}, not {status}")
        check(not content_type or got_type == content_type, f"{path}: type {got_type}, not {content_type}")
        check(b"title.bmp" not in body, f"{path}: lists the folder")
        check(b"not the site's" not in body, f"{path}: served a file outside the site")

    # A thousand connections that never ask anything, then a browser's request: answered at once.
    idle = [socket.create_connection(("127.0.0.1", port), timeout=5) for _ in range(1000)]
    idle[-1].sendall(b"GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n")  # and one half-sent
    asked = time.monotonic()
    try:
        got, _, body = get("/tovik.wasm", 5)
        waited = time.monotonic() - asked
        check(got == 200 and body == b"\0asm" and waited < 1, f"after 1000 idle connections: {got} in {waited:.2f} s")
    except OSError as error:
        check(False, f"after 1000 idle connections: {error}")
    for sock in idle:
        sock.close()

    # The port is now taken: one line, exit 1.
    taken = subprocess.run([sys.executable, server_script, site, str(port)],
                           capture_output=True, text=True, timeout=30)
    check(taken.returncode == 1, f"port in use: exit {taken.returncode}")
    check(len(taken.stderr.splitlines()) == 1 and "in use" in taken.stderr,
          f"port in use said: {taken.stderr!r}")
finally:
    server.terminate()
    out, err = server.communicate(timeout=10)
check(err == b"", f"the server wrote to stderr: {err[:500]!r}")
check(out.count(b"\n") == 1, f"the server wrote more than its address: {out[:500]!r}")

# Ports that are none, refused by ./play before it builds anything, in one line.
for port_text in ["0", "65536", "99999999999999999999999", "80x", "", "-1", "+80"]:
    run = subprocess.run([os.path.join(source, "play"), "--web", "--port", port_text],
                         capture_output=True, text=True, timeout=30)
    check(run.returncode == 2 and len(run.stderr.splitlines()) == 1 and run.stdout == "",
          f"--port {port_text!r}: exit {run.returncode}, said {run.stderr!r}")
    served = subprocess.run([sys.executable, server_script, site, port_text],
                            capture_output=True, text=True, timeout=30)
    check(served.returncode == 2 and len(served.stderr.splitlines()) == 1,
          f"server port {port_text!r}: exit {served.returncode}, said {served.stderr!r}")

subprocess.run(["rm", "-rf", site, secret])
for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
