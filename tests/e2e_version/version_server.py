#!/usr/bin/python3
"""A hostile version server for the end-to-end tests of the version check.

Usage: version_server.py MODE PORTFILE REQUESTFILE

Binds 127.0.0.1 on a port the system chooses, writes that port to PORTFILE (atomically, so the
test never reads half a number), and serves every connection in MODE:
  notfound  a 404 status line with an HTML page, then close
  garbage   binary noise without a status line, a blank line and a version-like text, then close
  huge      a 200 status line and a body of 1 MiB, then close
  silent    reads the request and never answers; the connection stays open until killed
Each request received (up to its blank line) is appended to REQUESTFILE. Runs until killed.
"""
import os
import socket
import sys
import threading

MODES = ("notfound", "garbage", "huge", "silent")


def read_request(conn):
    data = b""
    conn.settimeout(5.0)
    try:
        while b"\r\n\r\n" not in data and len(data) < 65536:
            chunk = conn.recv(4096)
            if not chunk:
                break
            data += chunk
    except OSError:
        pass
    return data


def reply_for(mode):
    if mode == "notfound":
        page = b"<html><head><title>404 Not Found</title></head><body>No such page.</body></html>"
        return (b"HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: "
                + str(len(page)).encode() + b"\r\n\r\n" + page)
    if mode == "garbage":
        return bytes(range(256)) + b"\x00\xff\xfe\r\n\r\n9.9.9"
    if mode == "huge":
        return b"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + b"9" * (1 << 20)
    return b""


def serve(conn, mode, request_file, lock, held):
    request = read_request(conn)
    with lock:
        with open(request_file, "ab") as f:
            f.write(request)
    if mode == "silent":
        held.append(conn)  # kept open, never answered
        return
    try:
        conn.sendall(reply_for(mode))
    except OSError:
        pass  # the game may hang up early on a reply it refuses
    conn.close()


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in MODES:
        sys.stderr.write(__doc__)
        return 2
    mode, port_file, request_file = sys.argv[1:4]
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    tmp = port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write(str(listener.getsockname()[1]))
    os.replace(tmp, port_file)
    lock = threading.Lock()
    held = []
    while True:
        conn, _ = listener.accept()
        threading.Thread(target=serve, args=(conn, mode, request_file, lock, held), daemon=True).start()


if __name__ == "__main__":
    sys.exit(main())
