#!/usr/bin/env python3
"""A threaded static server on an ephemeral loopback port that logs every request it answers.

Usage: log_server.py SITE_FOLDER LOG_FILE. The first line on standard output is the port; each
log line is "START END AGENT TARGET STATUS" (seconds since the epoch, the agent with blanks as
underscores), written when the answer has gone out.
"""
import http.server
import sys
import threading
import time

site, log_path = sys.argv[1], sys.argv[2]
lock = threading.Lock()
log = open(log_path, "a", buffering=1)


class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=site, **kwargs)

    def handle_one_request(self):
        self.started = time.time()
        super().handle_one_request()

    def log_request(self, code="-", size="-"):
        agent = (self.headers.get("User-Agent") or "-").replace(" ", "_")
        with lock:
            log.write(f"{self.started:.6f} {time.time():.6f} {agent} {self.path} {code}\n")

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
