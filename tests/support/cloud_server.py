#!/usr/bin/env python3
"""Cloud map server of the fetcher's tests, on 127.0.0.1: cloud_server.py FOLDER CERT KEY.
Prints "HTTP-PORT HTTPS-PORT"; each path is one way a server can behave."""
import os
import ssl
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

FOLDER, CERT, KEY = sys.argv[1:4]
ports = {}


def read(name):
    with open(os.path.join(FOLDER, name), "rb") as f:
        return f.read()


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send(self, status, body=b"", kind="image/jpeg", extra=()):
        self.send_response(status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def redirect(self, where):
        self.send(302, extra=[("Location", where)])

    def do_GET(self):
        path = self.path
        if not self.headers.get("User-Agent", "").startswith("Solvane/"):
            return self.send(403, b"who are you", "text/plain")
        if path == "/good.jpg":
            if self.headers.get("If-None-Match") == '"good"':
                return self.send(304)
            return self.send(200, read("good.jpg"), extra=[("ETag", '"good"'),
                             ("Last-Modified", "Tue, 08 Dec 2026 09:00:00 GMT")])
        if path == "/other.jpg":
            return self.send(200, read("other.jpg"), extra=[("ETag", '"other"')])
        if path in ("/404", "/500"):
            return self.send(int(path[1:]), b"no", "text/plain")
        if path == "/loop":
            return self.redirect("/loop")
        if path.startswith("/hops"):  # /hopsN: N redirects, then the good image
            left = int(path[5:])
            return self.redirect("/hops%d" % (left - 1) if left > 1 else "/good.jpg")
        if path == "/to-http":
            return self.redirect("http://127.0.0.1" + ":%d/good.jpg" % ports["http"])
        if path == "/slow":
            body = read("good.jpg")
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            for byte in body:
                self.wfile.write(bytes([byte]))
                self.wfile.flush()
                time.sleep(1)
            return
        if path == "/half":
            body = read("good.jpg")
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body[: len(body) // 2])
            self.wfile.flush()
            self.close_connection = True
            return
        if path == "/bomb.jpg":
            return self.send(200, read("bomb.jpg"))
        if path == "/aspect.jpg":
            return self.send(200, read("aspect.jpg"))
        if path == "/page":
            return self.send(200, b"<!DOCTYPE html><html><body>Moved</body></html>", "text/html")
        if path in ("/huge", "/huge-unsized"):  # 100 MiB, with and without a length
            self.send_response(200)
            if path == "/huge":
                self.send_header("Content-Length", str(100 << 20))
            self.send_header("Connection", "close")
            self.end_headers()
            chunk = bytes(1 << 20)
            try:
                for _ in range(100):
                    self.wfile.write(chunk)
            except OSError:
                pass
            self.close_connection = True
            return
        self.send(404, b"no such case", "text/plain")


class QuietServer(ThreadingHTTPServer):
    # A client that gives up (as the fetcher does on an oversized body) is a case
    # under test, not an error of the server.
    def handle_error(self, request, client_address):
        pass


def serve(server):
    server.serve_forever()


plain = QuietServer(("127.0.0.1", 0), Handler)
secure = QuietServer(("127.0.0.1", 0), Handler)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(CERT, KEY)
secure.socket = context.wrap_socket(secure.socket, server_side=True)
for server in (plain, secure):
    server.daemon_threads = True
ports["http"] = plain.server_address[1]
ports["https"] = secure.server_address[1]
threading.Thread(target=serve, args=(plain,), daemon=True).start()
threading.Thread(target=serve, args=(secure,), daemon=True).start()
print(ports["http"], ports["https"], flush=True)
# Ends with the test that started it: its stdin closes.
sys.stdin.read()
