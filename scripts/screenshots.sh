#!/usr/bin/env bash
# Regenerates the screenshots of docs/ (main window, download options, filter lists, output settings, about) on a
# virtual display of the size the program is made for.
#   scripts/screenshots.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
command -v import >/dev/null ||
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends imagemagick >/dev/null
cmake --build "$build" --target rendora_screenshots -j "$(nproc)"
program="$(mktemp -d)"
trap 'rm -rf "$program"' EXIT
NO_AT_BRIDGE=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/rendora_screenshots" "$(pwd)/docs" "$program"
echo "docs/: main-window.png download-options.png filter-lists.png output-settings.png connection.png about.png"

# The README's first picture: a page's HTML beside the picture rendora makes of it, both put
# side by side in a page that rendora itself turns into docs/input-and-output.png.
cmake --build "$build" --target rendora -j "$(nproc)"
work="$(mktemp -d)"
trap 'rm -rf "$program" "$work"' EXIT
mkdir -p "$work/page" "$work/frame"
cp examples/article-ja.html "$work/page/"
env -u DISPLAY "$build/rendora" convert "$work/page" "$work/picture" --format png --size 640 --quiet
python3 - "$work/frame/input-and-output.html" <<'PAGE'
import html, sys
source = html.escape("".join(open("examples/article-ja.html", encoding="utf-8").readlines()[:40]))
style = ("body{margin:0;padding:16px;display:flex;gap:16px;background:#e8e8e8;font-family:sans-serif}"
         "h3{margin:0 0 8px;font-size:15px}pre{width:560px;height:620px;margin:0;padding:10px;"
         "background:#fff;border:1px solid #aaa;font-size:11px;white-space:pre-wrap;overflow:hidden}"
         ".shot{width:640px;height:640px;overflow:hidden;border:1px solid #aaa}img{display:block}")
open(sys.argv[1], "w", encoding="utf-8").write(
    f'<html><head><meta charset="utf-8"><style>{style}</style></head><body>'
    f'<div><h3>examples/article-ja.html</h3><pre>{source}</pre></div>'
    f'<div><h3>rendora convert → article-ja.png</h3><div class="shot">'
    f'<img src="../picture/article-ja.png"></div></div></body></html>')
PAGE
env -u DISPLAY "$build/rendora" convert "$work/frame" "$work/shown" --format png --size 1262 --quiet
cp "$work/shown/input-and-output.png" docs/
echo "docs/: input-and-output.png"
