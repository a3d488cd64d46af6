#!/usr/bin/python3
"""Checks pictures of the page set against its manifest: per page right or wrong, and why.

  check_pictures.py MANIFEST PAGES_FOLDER PICTURES_FOLDER [--quiet]

Every .html page under PAGES_FOLDER must have a picture at the same relative path in
PICTURES_FOLDER, its extension replaced by (or followed by) .bmp or .png, from any tool. A page in a
copy folder (cNN/) is checked against the manifest entry of its distinct page. The last line is
"right R of N". Needs Pillow (Debian: python3-pil).
"""
import json
import os
import re
import sys

from PIL import Image, ImageChops

TOLERANCE = 24  # per channel: the blocks are solid, so only edges and colour rounding differ
INSET = 3  # rectangles are checked this far inside their edges (antialiasing, rounding)
SLACK = 2  # a colour that may appear only inside a rectangle may spill this far
MIN_FILL = 0.97  # share of a rectangle's pixels that must have its colour


def parse_colour(text):
  return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def colour_mask(image, rgb):
  """A one-band image: 255 where the picture has colour `rgb` within the tolerance."""
  masks = []
  for band, value in zip(image.split(), rgb):
    low, high = value - TOLERANCE, value + TOLERANCE
    masks.append(band.point(lambda v, low=low, high=high: 255 if low <= v <= high else 0))
  return ImageChops.multiply(ImageChops.multiply(masks[0], masks[1]), masks[2])


def box_of(rect, size):
  """The rectangle (left, top, right, bottom) in picture pixels; fy/fh are shares of height."""
  if "fy" in rect:
    top, height = rect["fy"] * size[1], rect["fh"] * size[1]
  else:
    top, height = rect["y"], rect["h"]
  return (rect["x"], int(round(top)), rect["x"] + rect["w"], int(round(top + height)))


def check_rect(image, rect):
  left, top, right, bottom = box_of(rect, image.size)
  inner = (left + INSET, top + INSET, right - INSET, bottom - INSET)
  if inner[2] > image.size[0] or inner[3] > image.size[1]:
    return f"{rect['colour']} block at y {top}-{bottom} lies outside the picture"
  mask = colour_mask(image.crop(inner), parse_colour(rect["colour"]))
  area = (inner[2] - inner[0]) * (inner[3] - inner[1])
  share = mask.histogram()[255] / area
  if share >= MIN_FILL:
    return None
  found = image.getpixel(((inner[0] + inner[2]) // 2, (inner[1] + inner[3]) // 2))
  return (f"{rect['colour']} block x {left}-{right} y {top}-{bottom} is {share:.0%} that colour"
          f" (its middle is #{found[0]:02x}{found[1]:02x}{found[2]:02x})")


def check_only_within(image, rect):
  mask = colour_mask(image, parse_colour(rect["colour"]))
  count = mask.histogram()[255]
  if count < rect["min_pixels"]:
    return f"{rect['colour']} shows on {count} pixels, fewer than {rect['min_pixels']}"
  left, top, right, bottom = box_of(rect, image.size)
  found = mask.getbbox()
  if (found[0] < left - SLACK or found[1] < top - SLACK or found[2] > right + SLACK or
      found[3] > bottom + SLACK):
    return (f"{rect['colour']} must show only at y {top}-{bottom} but reaches y "
            f"{found[1]}-{found[3]}, x {found[0]}-{found[2]}")
  return None


def check_ink(image, rect):
  left, top, right, bottom = box_of(rect, image.size)
  if bottom > image.size[1]:
    return f"text band at y {top}-{bottom} lies outside the picture"
  grey = image.crop((left, top, right, bottom)).convert("L")
  dark = sum(grey.histogram()[:100])
  share = dark / ((right - left) * (bottom - top))
  if share < rect["min"]:
    return f"text band at y {top}-{bottom} has {share:.1%} dark pixels, fewer than {rect['min']:.0%}"
  return None


def check_picture(path, expect):
  """The reasons a picture is wrong; empty when it is right."""
  try:
    with Image.open(path) as opened:
      image = opened.convert("RGB")
  except OSError as error:
    return [f"unreadable picture: {error}"]
  width, height = image.size
  size = expect["size"]
  reasons = []
  if not size["width"][0] <= width <= size["width"][1]:
    reasons.append(f"width {width}, expected {size['width'][0]}-{size['width'][1]}")
  if not size["height"][0] <= height <= size["height"][1]:
    reasons.append(f"height {height}, expected {size['height'][0]}-{size['height'][1]}")
  checks = ([(check_rect, s) for s in expect.get("rects", [])] +
            [(check_only_within, s) for s in expect.get("only_within", [])] +
            [(check_ink, s) for s in expect.get("ink", [])])
  for check, rect in checks:
    reason = check(image, rect)
    if reason:
      reasons.append(reason)
  return reasons


def find_picture(folder, relative):
  stem = relative[:-len(".html")]
  for name in (stem + ".bmp", stem + ".png", relative + ".bmp", relative + ".png"):
    if os.path.isfile(os.path.join(folder, name)):
      return os.path.join(folder, name)
  return None


def page_names(folder):
  for root, dirs, files in os.walk(folder):
    dirs.sort()
    for name in sorted(files):
      if name.endswith(".html"):
        yield os.path.relpath(os.path.join(root, name), folder)


def main():
  args = [a for a in sys.argv[1:] if a != "--quiet"]
  quiet = "--quiet" in sys.argv[1:]
  if len(args) != 3:
    sys.exit(__doc__)
  with open(args[0]) as manifest:
    pages = json.load(manifest)["pages"]
  right = total = 0
  for relative in page_names(args[1]):
    total += 1
    name = re.sub(r"\.html$", "", os.path.basename(relative))
    picture = find_picture(args[2], relative)
    if name not in pages:
      reasons = ["not in the manifest"]
    elif picture is None:
      reasons = ["no picture"]
    else:
      reasons = check_picture(picture, pages[name])
    if not reasons:
      right += 1
    if reasons or not quiet:
      print(f"{'WRONG' if reasons else 'right'} {relative}" +
            (": " + "; ".join(reasons) if reasons else ""))
  print(f"right {right} of {total}")


if __name__ == "__main__":
  main()
