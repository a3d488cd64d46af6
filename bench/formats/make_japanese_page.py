#!/usr/bin/env python3
"""Writes one tall Japanese page of about HEIGHT pixels at 800 wide: headings, paragraphs of
text, lists, tables and coloured notes, as a long article or manual reads.

  make_japanese_page.py OUT.html [HEIGHT]
"""
import sys

SENTENCES = [
    "吾輩は猫である。名前はまだ無い。",
    "どこで生れたかとんと見当がつかぬ。",
    "何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。",
    "この変換器はページを画像にし、縦に長いページを読みやすい高さに分けます。",
    "設定ファイルの値は、コマンドラインのオプションで上書きできます。",
    "Rendora 1.0 は JPEG・WebP・PNG・BMP を書き出します。",
]


def section(number):
    text = "".join(SENTENCES[(number + k) % len(SENTENCES)] for k in range(9))
    parts = [f"<h2>第{number}章 変換の手順 {number}</h2>", f"<p>{text}</p>"]
    if number % 3 == 0:
        items = "".join(f"<li>手順 {k}: {SENTENCES[k % len(SENTENCES)]}</li>" for k in range(1, 5))
        parts.append(f"<ul>{items}</ul>")
    if number % 4 == 1:
        rows = "".join(f"<tr><td>項目{k}</td><td>{k * 37} ピクセル</td><td>{SENTENCES[k % 3]}</td></tr>"
                       for k in range(1, 5))
        parts.append(f"<table border=1 cellspacing=0 cellpadding=4>{rows}</table>")
    if number % 5 == 2:
        parts.append(f"<div class=note>注意: {SENTENCES[number % len(SENTENCES)]}</div>")
    return "\n".join(parts)


def main():
    out = sys.argv[1]
    height = int(sys.argv[2]) if len(sys.argv) > 2 else 57000
    # One section is about 330 pixels high at 800 wide.
    sections = max(1, height // 330)
    body = "\n".join(section(n) for n in range(1, sections + 1))
    with open(out, "w", encoding="utf-8") as page:
        page.write("<!DOCTYPE html><html lang=ja><head><meta charset=utf-8><title>長い記事</title>"
                   "<style>body{font:16px/1.7 sans-serif;margin:24px;color:#222}"
                   "h2{color:#035;border-bottom:2px solid #9bd}"
                   ".note{background:#fff3c4;border-left:6px solid #e0a800;padding:8px}"
                   "table{border-collapse:collapse}</style></head><body>"
                   f"<h1>長いページの分割 ({height} ピクセル)</h1>\n{body}\n</body></html>")


if __name__ == "__main__":
    main()
