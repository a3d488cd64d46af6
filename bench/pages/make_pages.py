#!/usr/bin/env python3
"""Writes the page set of the page benchmark and its manifest.

44 distinct local pages of every kind a conversion meets (short, tall, wide, grown after load,
fixed and sticky elements, lazy content, Shift_JIS without a declared charset, fixed backgrounds,
content-visibility, viewport units, canvas, missing web fonts, data-URI images, animation-frame
and CSS animations), each built of solid colour blocks, and a manifest of what each picture must
show: rectangles in page pixels at 100 % with their colour, the picture's size range, colours that
may appear only inside one rectangle (a fixed header at the top, a sticky bar at its place) and
bands that must hold dark text pixels.

  make_pages.py OUT_FOLDER [COPIES]

OUT_FOLDER/distinct/   the 44 pages (with their image files under assets/)
OUT_FOLDER/all/cNN/    COPIES copies of them (default 10: 440 pages)
OUT_FOLDER/manifest.json
"""
import base64
import json
import os
import shutil
import struct
import sys
import zlib

WIDTH = 800  # the view width every page is laid out for (the conversion's default size)

# Solid colours far apart from each other and from white, black and grey text.
BANDS = ["#e6194b", "#3cb44b", "#ffe119", "#4363d8", "#f58231", "#911eb4", "#bcf60c",
         "#008080", "#9a6324", "#800000", "#808000", "#fabebe", "#aaffc3", "#e6beff",
         "#ffd8b1", "#00bfff"]
# Colours kept out of the bands, so that where they appear can be checked on a whole picture.
HEADER = "#000075"
STICKY = "#f032e6"
MOVING = "#46f0f0"
PASSED = "#00a651"  # the Shift_JIS page decoded its text right
FAILED = "#d00000"  # ... or wrong
PENDING = "#a0a0a0"  # a block that a script has not coloured yet

HEAD = ("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>{title}</title><style>"
        "html,body{{margin:0;padding:0;background:#fff}}div,img,canvas{{display:block}}"
        "{style}</style></head><body>")


def colour(page, k):
  return BANDS[(page * 5 + k) % len(BANDS)]


def rect(x, y, w, h, c):
  return {"x": x, "y": y, "w": w, "h": h, "colour": c}


def band(h, c, extra=""):
  return f"<div style=\"height:{h}px;background:{c};{extra}\"></div>"


def bands(page, top, count, h, first=0):
  """`count` bands of height `h` from `top`: their HTML and their rectangles."""
  html, rects = "", []
  for k in range(count):
    c = colour(page, first + k)
    html += band(h, c)
    rects.append(rect(0, top + k * h, WIDTH, h, c))
  return html, rects


def png_bytes(w, h, c):
  """A PNG of one solid colour (written here so that the set needs no image library)."""
  rgb = bytes(int(c[i:i + 2], 16) for i in (1, 3, 5))
  raw = b"".join(b"\0" + rgb * w for _ in range(h))

  def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

  return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
          chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def exact(w, h, slack_w=16, slack_h=4):
  return {"width": [w, w + slack_w], "height": [h - slack_h, h + slack_h]}


class PageSet:
  def __init__(self, folder):
    self.folder = folder
    self.pages = {}
    self.count = 0

  def add(self, kind, body, expect, style="", raw=None):
    """Writes one page; `raw` gives its bytes when they are not UTF-8 HTML built here."""
    self.count += 1
    name = f"{self.count:02d}_{kind}"
    path = os.path.join(self.folder, name + ".html")
    data = raw if raw is not None else (
        HEAD.format(title=name, style=style) + body + "</body></html>").encode("utf-8")
    with open(path, "wb") as out:
      out.write(data)
    expect["kind"] = kind
    self.pages[name] = expect

  def asset(self, name, data):
    os.makedirs(os.path.join(self.folder, "assets"), exist_ok=True)
    with open(os.path.join(self.folder, "assets", name), "wb") as out:
      out.write(data)
    return "assets/" + name


def short_page(ps, n):
  h1, h2 = 120 + 60 * n, 150
  body = band(h1, colour(n, 0)) + band(h2, colour(n, 1), "width:400px")
  # Shorter than any view: the picture may run down to the view's height, white below.
  expect = {"size": {"width": [WIDTH, WIDTH + 16], "height": [h1 + h2, 1100]},
            "rects": [rect(0, 0, WIDTH, h1, colour(n, 0)), rect(0, h1, 400, h2, colour(n, 1)),
                      rect(400, h1, WIDTH - 400, h2, "#ffffff")]}
  ps.add("short", body, expect)


def tall_page(ps, n, height):
  html, rects = bands(n, 0, height // 500, 500)
  ps.add(f"tall{height}", html, {"size": exact(WIDTH, height), "rects": rects})


def wide_page(ps, n):
  w = 1600 + 400 * n
  a, b = colour(n, 0), colour(n, 1)
  body = (f"<div style=\"width:{w}px;display:flex\">" + band(1500, a, f"width:{w // 2}px") +
          band(1500, b, f"width:{w // 2}px") + "</div>")
  ps.add("wide", body, {"size": exact(w, 1500, 0), "rects": [
      rect(0, 0, w // 2, 1500, a), rect(w // 2, 0, w // 2, 1500, b)]})


def grown_page(ps, n):
  a, b = colour(n, 0), colour(n, 1)
  body = (band(1000, a) + "<script>addEventListener('load', function () { setTimeout(function () {"
          f" var d = document.createElement('div'); d.style.height = '2000px';"
          f" d.style.background = '{b}'; document.body.appendChild(d); }}, 300); }});</script>")
  ps.add("grown", body, {"size": exact(WIDTH, 3000), "rects": [
      rect(0, 0, WIDTH, 1000, a), rect(0, 1000, WIDTH, 2000, b)]})


def fixed_header_page(ps, n):
  html, rects = bands(n, 60, 6, 500)
  body = (f"<div style=\"position:fixed;top:0;left:0;right:0;height:60px;background:{HEADER}\">"
          "</div><div style=\"height:60px\"></div>" + html)
  header = rect(0, 0, WIDTH, 60, HEADER)
  ps.add("fixed_header", body, {"size": exact(WIDTH, 3060), "rects": [header] + rects,
                                "only_within": [dict(header, min_pixels=WIDTH * 50)]})


def sticky_page(ps, n):
  html, rects = bands(n, 850, 6, 500, 1)
  body = (band(800, colour(n, 0)) +
          f"<div style=\"position:sticky;top:0;height:50px;background:{STICKY}\"></div>" + html)
  bar = rect(0, 800, WIDTH, 50, STICKY)
  ps.add("sticky", body, {"size": exact(WIDTH, 3850),
                          "rects": [rect(0, 0, WIDTH, 800, colour(n, 0)), bar] + rects,
                          "only_within": [dict(bar, min_pixels=WIDTH * 40)]})


def lazy_page(ps, n):
  image_colour, seen_colour = colour(n, 7), colour(n, 8)
  src = ps.asset(f"lazy_{n}.png", png_bytes(WIDTH, 300, image_colour))
  top, rects = bands(n, 0, 5, 500)
  middle, more = bands(n, 2800, 1, 700, 5)
  body = (top + f"<img loading=\"lazy\" src=\"{src}\" width=\"{WIDTH}\" height=\"300\">" + middle +
          f"<div id=\"seen\" style=\"height:400px;background:{PENDING}\"></div>" + band(500, colour(n, 6)) +
          "<script>new IntersectionObserver(function (entries, observer) {"
          " entries.forEach(function (e) { if (!e.isIntersecting) return;"
          f" e.target.style.background = '{seen_colour}'; observer.unobserve(e.target); }});"
          " }).observe(document.getElementById('seen'));</script>")
  ps.add("lazy", body, {"size": exact(WIDTH, 4400), "rects": rects + more + [
      rect(0, 2500, WIDTH, 300, image_colour), rect(0, 3500, WIDTH, 400, seen_colour),
      rect(0, 3900, WIDTH, 500, colour(n, 6))]})


SJIS_TEXT = "日本語の文章です。文字コードの宣言がないページを正しく読めるか調べます。"


def sjis_page(ps, n):
  # No charset anywhere and bytes that are not UTF-8: only a reader that falls back to
  # Shift_JIS gets the text the script compares with (written as ASCII escapes).
  escaped = "".join(f"\\u{ord(ch):04x}" for ch in SJIS_TEXT)
  page = ("<!DOCTYPE html><html><head><title>sjis</title><style>html,body{margin:0;padding:0;"
          "background:#fff}div{display:block}p{margin:0;height:200px;font-size:28px;color:#000}"
          f"</style></head><body>{band(300, colour(n, 0))}<p id=\"t\">{SJIS_TEXT}</p>"
          f"<div id=\"r\" style=\"height:300px;background:{PENDING}\"></div>{band(300, colour(n, 1))}"
          f"<script>var ok = document.getElementById('t').textContent === '{escaped}';"
          f" document.getElementById('r').style.background = ok ? '{PASSED}' : '{FAILED}';"
          "</script></body></html>")
  ps.add("shift_jis", "", {"size": exact(WIDTH, 1100), "rects": [
      rect(0, 0, WIDTH, 300, colour(n, 0)), rect(0, 500, WIDTH, 300, PASSED),
      rect(0, 800, WIDTH, 300, colour(n, 1))], "ink": [{"x": 0, "y": 300, "w": WIDTH, "h": 200,
                                                        "min": 0.01}]}, raw=page.encode("cp932"))


def fixed_background_page(ps, n):
  back, solid = colour(n, 3), colour(n, 4)
  style = (f"body{{background-color:#fff;background-image:linear-gradient({back},{back});"
           "background-attachment:fixed;background-size:100% 100%;background-repeat:no-repeat}")
  body, rects = "", []
  for k in range(7):
    body += band(300, solid) + "<div style=\"height:300px\"></div>"
    rects += [rect(0, 600 * k, WIDTH, 300, solid), rect(0, 600 * k + 300, WIDTH, 300, back)]
  ps.add("fixed_background", body, {"size": exact(WIDTH, 4200), "rects": rects}, style)


def content_visibility_page(ps, n):
  body, rects = "", []
  for k in range(6):
    c = colour(n, k)
    body += ("<section style=\"content-visibility:auto;contain-intrinsic-size:auto 600px\">" +
             band(600, c) + "</section>")
    rects.append(rect(0, 600 * k, WIDTH, 600, c))
  ps.add("content_visibility", body, {"size": exact(WIDTH, 3600), "rects": rects})


def viewport_units_page(ps, n):
  # Four sections of one view height each: the picture is four view heights tall, whatever the
  # view's height, so the rectangles are given in quarters of the picture ("fy", "fh").
  body, rects = "", []
  for k in range(4):
    c = colour(n, k)
    body += band(0, c, "height:100vh")
    rects.append({"x": 0, "w": WIDTH, "fy": k / 4, "fh": 0.25, "colour": c})
  ps.add("viewport_units", body, {"size": {"width": [WIDTH, WIDTH + 16], "height": [1600, 4400]},
                                  "rects": rects})


def canvas_page(ps, n):
  cs = [colour(n, k) for k in range(4)]
  body = ("<canvas id=\"c\" width=\"800\" height=\"600\"></canvas>" + band(400, colour(n, 4)) +
          "<script>var g = document.getElementById('c').getContext('2d');"
          f" g.fillStyle = '{cs[0]}'; g.fillRect(0, 0, 400, 300);"
          f" g.fillStyle = '{cs[1]}'; g.fillRect(400, 0, 400, 300);"
          f" g.fillStyle = '{cs[2]}'; g.fillRect(0, 300, 400, 300);"
          f" g.fillStyle = '{cs[3]}'; g.fillRect(400, 300, 400, 300);</script>")
  ps.add("canvas", body, {"size": exact(WIDTH, 1000), "rects": [
      rect(0, 0, 400, 300, cs[0]), rect(400, 0, 400, 300, cs[1]), rect(0, 300, 400, 300, cs[2]),
      rect(400, 300, 400, 300, cs[3]), rect(0, 600, WIDTH, 400, colour(n, 4))]})


def missing_font_page(ps, n):
  style = ("@font-face{font-family:Absent;src:url(fonts/absent.woff2) format('woff2')}"
           "p{margin:0;height:300px;font:32px Absent,sans-serif;color:#000}")
  body = (band(500, colour(n, 0)) + "<p>The quick brown fox jumps over the lazy dog. "
          "日本語の文字も代わりのフォントで表示します。</p>" + band(800, colour(n, 1)))
  ps.add("missing_font", body, {"size": exact(WIDTH, 1600), "rects": [
      rect(0, 0, WIDTH, 500, colour(n, 0)), rect(0, 800, WIDTH, 800, colour(n, 1))],
      "ink": [{"x": 0, "y": 500, "w": WIDTH, "h": 300, "min": 0.01}]}, style)


def data_uri_page(ps, n):
  a, b = colour(n, 2), colour(n, 3)
  uri = lambda w, h, c: "data:image/png;base64," + base64.b64encode(png_bytes(w, h, c)).decode()
  body = (f"<img src=\"{uri(WIDTH, 400, a)}\" width=\"{WIDTH}\" height=\"400\">"
          f"<img src=\"{uri(400, 300, b)}\" width=\"400\" height=\"300\">" + band(500, colour(n, 4)))
  ps.add("data_uri", body, {"size": exact(WIDTH, 1200), "rects": [
      rect(0, 0, WIDTH, 400, a), rect(0, 400, 400, 300, b), rect(0, 700, WIDTH, 500, colour(n, 4))]})


def moving_box_page(ps, n, kind, top, top_colour, script="", style=""):
  """A page whose 50-pixel box moves forever along a 100-pixel strip below a 300-pixel block of
  `top_colour` (written by `top`); the box may show only inside its strip, and wholly."""
  html, rects = bands(n, 400, 3, 500, 1)
  strip = rect(0, 300, WIDTH, 100, MOVING)
  box = (f"<div style=\"position:relative;height:100px\"><div id=\"box\" style=\"position:absolute;"
         f"top:25px;left:0;width:50px;height:50px;background:{MOVING}\"></div></div>")
  ps.add(kind, top + box + html + script, {
      "size": exact(WIDTH, 1900), "rects": rects + [rect(0, 0, WIDTH, 300, top_colour)],
      "only_within": [dict(strip, min_pixels=2000)]}, style)


def animation_frame_page(ps, n):
  # The block takes its colour in the first animation frame; the loop then runs on for ever.
  done = colour(n, 0)
  script = ("<script>var x = 0; function step() { document.getElementById('painted').style"
            f".background = '{done}'; x = (x + 7) % 750;"
            " document.getElementById('box').style.left = x + 'px'; requestAnimationFrame(step); }"
            " requestAnimationFrame(step);</script>")
  top = f"<div id=\"painted\" style=\"height:300px;background:{PENDING}\"></div>"
  moving_box_page(ps, n, "animation_frame", top, done, script)


def css_animation_page(ps, n):
  style = ("@keyframes slide{from{left:0}to{left:750px}}"
           "#box{animation:slide 1s linear infinite alternate}")
  moving_box_page(ps, n, "css_animation", band(300, colour(n, 0)), colour(n, 0), style=style)


def write_distinct(folder):
  ps = PageSet(folder)
  for n in range(4):
    short_page(ps, n)
  for n in range(3):
    tall_page(ps, n, 5000)
  for n in range(2):
    tall_page(ps, n, 20000)
  kinds = [(wide_page, 3), (grown_page, 3), (fixed_header_page, 3), (sticky_page, 3),
           (lazy_page, 3), (sjis_page, 3), (fixed_background_page, 2),
           (content_visibility_page, 3), (viewport_units_page, 2), (canvas_page, 2),
           (missing_font_page, 2), (data_uri_page, 2), (animation_frame_page, 2),
           (css_animation_page, 2)]
  for make, count in kinds:
    for n in range(count):
      make(ps, n)
  return ps.pages


def main():
  if len(sys.argv) not in (2, 3):
    sys.exit(__doc__)
  out = sys.argv[1]
  copies = int(sys.argv[2]) if len(sys.argv) == 3 else 10
  shutil.rmtree(out, ignore_errors=True)
  distinct = os.path.join(out, "distinct")
  os.makedirs(distinct)
  pages = write_distinct(distinct)
  for k in range(1, copies + 1):
    shutil.copytree(distinct, os.path.join(out, "all", f"c{k:02d}"))
  with open(os.path.join(out, "manifest.json"), "w") as manifest:
    json.dump({"view_width": WIDTH, "copies": copies, "pages": pages}, manifest, indent=1)
  print(f"{len(pages)} distinct pages, {len(pages) * copies} in all/ ({copies} copies)")


if __name__ == "__main__":
  main()
