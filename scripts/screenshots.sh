#!/usr/bin/env bash
# Regenerates the screenshots of docs/ (main window, download options, filter lists, about) on a
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
echo "docs/: main-window.png download-options.png filter-lists.png connection.png about.png"
