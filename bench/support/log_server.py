#!/usr/bin/env python3
"""A threaded static server on an ephemeral loopback port that logs every request it answers.

Usage: log_server.py SITE_FOLDER LOG_FILE. The first line on standard output is the port; each
log line, written when the answer has gone out, is "START END IN_FLIGHT AGENT TARGET STATUS":
monotonic seconds, the requests of any agent under way as this one began, the agent with blanks
as underscores. Requests per second, requests in flight and targets asked twice come from it.
"""
import http.server
import sys
import threading
import time

site, log_path = sys.argv[1], sys.argv[2]
lock = threading.Lock()
in_flight = 0
log = open(log_path, "a", buffering=1)


class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=site, **kwargs)

    def do_GET(self):
        global in_flight
        self.code = "-"
        started = time.monotonic()
        with lock:
            in_flight += 1
            under_way = in_flight
        try:
            super().do_GET()
        finally:
            with lock:
                in_flight -= 1
                agent = (self.headers.get("User-Agent") or "-").replace(" ", "_")
                log.write(f"{started:.6f} {time.monotonic():.6f} {under_way} "
                          f"{agent} {self.path} {self.code}\n")

    def log_request(self, code="-", size="-"):
        self.code = code if isinstance(code, int) else getattr(code, "value", code)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
