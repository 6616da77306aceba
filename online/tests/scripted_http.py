#!/usr/bin/python3
"""A small HTTP server for the cases a real server does not produce: relocations, a loop of
them, a body cut short by a reset, an over-long header line, a server that never answers.
Other paths are files of the root folder. Each request's path is appended to the log file.
Usage: scripted_http.py PORT ROOT LOGFILE"""
import os
import socket
import socketserver
import struct
import sys
import time

PORT, ROOT, LOG = int(sys.argv[1]), sys.argv[2], sys.argv[3]


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        s = self.request
        data = b""
        while b"\r\n\r\n" not in data and len(data) < 65536:
            chunk = s.recv(4096)
            if not chunk:
                return
            data += chunk
        path = data.split(b" ")[1].decode("latin-1") if b" " in data else "/"
        with open(LOG, "a") as log:
            log.write(path + "\n")
        if path == "/moved.htm":
            s.sendall(b"HTTP/1.0 302 Found\r\nLocation: /doc.htm\r\nContent-Length: 5\r\n\r\nmoved")
        elif path == "/loop.htm":
            s.sendall(b"HTTP/1.0 302 Found\r\nLocation: /loop.htm\r\n\r\n")
        elif path == "/cut.bin":
            s.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + b"x" * 50000)
            time.sleep(0.2)
            # A reset instead of an orderly close.
            s.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        elif path == "/short.htm":
            s.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n" + b"y" * 40)
        elif path == "/long.htm":
            s.sendall(b"HTTP/1.0 200 OK\r\nX-Long: " + b"a" * 10000 + b"\r\n\r\nbody")
        elif path == "/silent.htm":
            time.sleep(600)
        elif path == "/noheader.htm":
            s.sendall(b"<HTML>\r\n<body>No header</body>\r\n</HTML>\r\n")
        else:
            name = os.path.join(ROOT, path.lstrip("/").split("?")[0])
            if os.path.isfile(name) and ".." not in path:
                with open(name, "rb") as f:
                    body = f.read()
                s.sendall(b"HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: %d\r\n\r\n"
                          % len(body) + body)
            else:
                s.sendall(b"HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nNot Found")


class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True


Server(("127.0.0.1", PORT), Handler).serve_forever()
