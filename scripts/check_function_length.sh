#!/usr/bin/env bash
# Fails when a function of src/ runs longer than 60 lines, counted from the first line of its
# name to its closing brace. Lambdas and local classes count as part of the function around them.
# Usage: check_function_length.sh [folder] (src/ by default)
set -euo pipefail
cd "$(dirname "$0")/.."
exec python3 - "${1:-src}" <<'PYTHON'
import pathlib
import re
import sys

LIMIT = 60
SCOPES = re.compile(r"\b(namespace|class|struct|union|enum)\b")
LABEL = re.compile(r"^\s*(public|protected|private)\s*:\s*$")


def code_only(text):
  """The text with comments, string and character literals blanked out, lines kept."""
  out, i, n = [], 0, len(text)
  while i < n:
    c = text[i]
    if text.startswith("//", i):
      while i < n and text[i] != "\n":
        i += 1
    elif text.startswith("/*", i):
      end = text.find("*/", i + 2)
      end = n if end < 0 else end + 2
      out.append("\n" * text.count("\n", i, end))
      i = end
    elif c == "R" and text.startswith('R"', i) and (i == 0 or not text[i - 1].isalnum()):
      open_end = text.index("(", i)
      close = ")" + text[i + 2:open_end] + '"'
      end = text.index(close, open_end) + len(close)
      out.append('""' + "\n" * text.count("\n", i, end))
      i = end
    elif c in "\"'" and not (c == "'" and i > 0 and text[i - 1].isalnum()):
      j = i + 1
      while j < n and text[j] != c:
        j += 2 if text[j] == "\\" else 1
      out.append(c + c)
      i = j + 1
    else:
      out.append(c)
      i += 1
  return "".join(out)


def is_function(head):
  """Whether the text before an opening brace is a function's head."""
  if "(" not in head or SCOPES.match(head.strip()) or head.rstrip().endswith(("=", ",", "(")):
    return False
  before_call = head.split("(", 1)[0]
  return "=" not in before_call or "operator" in before_call


def first_line(head, line):
  """The line where a head that ends on `line` begins, blank lines and access labels skipped."""
  lines = head.split("\n")
  first = line - len(lines) + 1
  for text in lines:
    if text.strip() and not LABEL.match(text):
      return first
    first += 1
  return line


def long_functions(path):
  text = path.read_text(encoding="utf-8", errors="replace")
  code = code_only("\n".join("" if l.lstrip().startswith("#") else l for l in text.split("\n")))
  found, stack, head_start, line = [], [], 0, 1
  for i, c in enumerate(code):
    if c == "\n":
      line += 1
    elif c == "{":
      head = code[head_start:i]
      inside = any(kind == "function" for kind, _, _ in stack)
      kind = "function" if not inside and is_function(head) else "block"
      first = first_line(head, line)
      name = " ".join(head.split())
      stack.append((kind, first, name))
      head_start = i + 1
    elif c == "}":
      if stack:
        kind, first, name = stack.pop()
        if kind == "function" and line - first + 1 > LIMIT:
          found.append((line - first + 1, first, name))
      head_start = i + 1
    elif c == ";":
      head_start = i + 1
  return found


failed = 0
for path in sorted(pathlib.Path(sys.argv[1]).rglob("*")):
  if path.suffix not in (".h", ".cpp"):
    continue
  for length, first, name in long_functions(path):
    print(f"{path}:{first}: {length} lines: {name[:90]}")
    failed = 1
if not failed:
  print(f"function length: every function is at most {LIMIT} lines")
sys.exit(failed)
PYTHON
