#!/usr/bin/env bash
# Installs what is missing, builds Rendora and starts it: with arguments, the command line with
# them; with a display, the window; without one, the conversion of the bundled sample pages.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
if [ $# -gt 0 ]; then
  exec build/rendora "$@"
fi
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec build/rendora
fi
echo "ディスプレイがないため、examples/ のページを out/ に変換します。"
status=0
build/rendora convert examples out --subfolders --report out-report.jsonl || status=$?
echo "画像: $(pwd)/out/ （結果: $(pwd)/out-report.jsonl）"
find out -type f | sort
exit "$status"
