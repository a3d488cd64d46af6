#!/usr/bin/env python3
"""A static loopback server for the politeness benchmark: serves a folder on 127.0.0.1 at an
ephemeral port (printed first), and logs every request as "start end in_flight agent path" with
monotonic times in seconds (in_flight: requests of any agent under way as it began), so that
requests per second and requests in flight come from the log.
Usage: log_server.py FOLDER LOG"""
import http.server
import sys
import threading
import time

folder, log_path = sys.argv[1], sys.argv[2]
lock = threading.Lock()
in_flight = 0
log = open(log_path, "w", buffering=1)


class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=folder, **kwargs)

    def do_GET(self):
        global in_flight
        start = time.monotonic()
        with lock:
            in_flight += 1
            now_in_flight = in_flight
        try:
            super().do_GET()
        finally:
            end = time.monotonic()
            with lock:
                in_flight -= 1
                agent = (self.headers.get("User-Agent") or "-").replace(" ", "_")
                log.write(f"{start:.6f} {end:.6f} {now_in_flight} {agent} {self.path}\n")

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
