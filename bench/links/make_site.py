#!/usr/bin/env python3
"""Writes a site of 300 pages in nested folders, linked in every way real sites link, and a
server for it that logs every request with its status.

  make_site.py FOLDER   writes FOLDER/site/...; the site's pages link each other relatively,
                        with "../" over one and two levels, host-absolute ("/sec2/..."),
                        protocol-relative and by full address (both written with the placeholder
                        PORT, which the server fills in), in double, single and no quotes, with
                        character references, query-only links and fragments; besides the pages
                        there are pictures, text files and query pages ("list.cgi?p=N").
  make_site.py serve FOLDER LOG   serves FOLDER/site on an ephemeral port of 127.0.0.1, prints
                        the port, and writes "METHOD TARGET STATUS WHO" per request to LOG, WHO being "engine"
                        for a browser engine's request (a page being drawn) and "fetch" otherwise.
"""
import http.server
import os
import sys

SECTIONS, SUBS, PER_SUB = 5, 3, 20  # 300 pages


def page_path(n):
    s, rest = divmod(n, SUBS * PER_SUB)
    return f"sec{s + 1}/sub{rest // PER_SUB + 1}/page{n:03d}.html"


def links_of(n):
    total = SECTIONS * SUBS * PER_SUB
    here = page_path(n)
    nxt, far, farther = (n + 1) % total, (n * 7 + 3) % total, (n * 13 + 5) % total
    name = lambda m: page_path(m).rsplit("/", 1)[1]
    same_sub = page_path(nxt).rsplit("/", 1)[0] == here.rsplit("/", 1)[0]
    sec_of = lambda m: page_path(m).split("/")[0]
    sub_of = lambda m: "/".join(page_path(m).split("/")[:2])
    out = [
        # relative (same folder) or by two levels up
        f'<a href="{name(nxt)}">next</a>' if same_sub else f'<a href="../../{page_path(nxt)}">next</a>',
        f"<a href='/{page_path(far)}'>host-absolute, single quotes</a>",
        f"<a href=../../{page_path(farther)}>unquoted, two levels up</a>",
        f'<a href="//127.0.0.1:PORT/{page_path((n + 11) % total)}#top">protocol-relative</a>',
        f'<a href="HTTP://127.0.0.1:PORT/{page_path((n + 29) % total)}">full address</a>',
        f'<a href="/q/list.cgi?p={n % 60}&amp;s=1">query page</a>',
        f'<a href="?from={n % 4}">query-only</a>' if n % 10 == 0 else "",
        f'<img src="/img/pic{n % 150:03d}.gif">',
        f'<a href="/txt/note{n % 50:02d}.txt">text</a>',
        f'<a href="../{sub_of(n).split("/")[1]}/{name(n)}#self">own folder, one up</a>',
    ]
    if sec_of(far) == sec_of(n):
        out.append(f'<a href=\'../{sub_of(far).split("/")[1]}/{name(far)}\'>sibling folder</a>')
    return "\n".join(x for x in out if x)


def write_site(folder):
    site = os.path.join(folder, "site")
    total = SECTIONS * SUBS * PER_SUB
    for n in range(total):
        path = os.path.join(site, page_path(n))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as f:
            f.write(f"<html><body style='margin:0'><h1>page {n}</h1>\n{links_of(n)}\n</body></html>\n")
    with open(os.path.join(site, "index.html"), "w") as f:
        f.write("<html><body>" + "".join(
            f'<a href="{page_path(n)}">{n}</a> ' for n in range(0, total, 30)) + "</body></html>\n")
    for sub, count, make in (("img", 150, lambda i: f"pic{i:03d}.gif"),
                             ("txt", 50, lambda i: f"note{i:02d}.txt")):
        os.makedirs(os.path.join(site, sub), exist_ok=True)
        for i in range(count):
            with open(os.path.join(site, sub, make(i)), "wb") as f:
                f.write(b"GIF89a" + bytes(2000) if sub == "img" else b"note\n")
    os.makedirs(os.path.join(site, "q"), exist_ok=True)
    with open(os.path.join(site, "q", "list.cgi"), "w") as f:
        f.write("<html><body><a href='/index.html'>home</a></body></html>\n")


class Handler(http.server.SimpleHTTPRequestHandler):
    port = 0
    log = None

    def translate_path(self, path):
        return super().translate_path(path.split("?", 1)[0])

    def send_head(self):
        path = self.translate_path(self.path)
        if path.endswith(".html") and os.path.isfile(path):
            body = open(path).read().replace("PORT", str(self.port)).encode()
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return None
        return super().send_head()

    def do_POST(self):
        length = int(self.headers.get("Content-Length") or 0)
        self.rfile.read(length)
        self.do_GET()

    def log_request(self, code="-", size="-"):
        engine = "engine" if "AppleWebKit" in (self.headers.get("User-Agent") or "") else "fetch"
        self.log.write(f"{self.command} {self.path} {int(code)} {engine}\n")
        self.log.flush()

    def log_message(self, *args):
        pass


def serve(folder, log):
    Handler.log = open(log, "a")
    handler = lambda *a, **k: Handler(*a, directory=os.path.join(folder, "site"), **k)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    Handler.port = server.server_address[1]
    print(Handler.port, flush=True)
    server.serve_forever()


if __name__ == "__main__":
    if sys.argv[1] == "serve":
        serve(sys.argv[2], sys.argv[3])
    else:
        write_site(sys.argv[1])
