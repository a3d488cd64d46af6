#!/usr/bin/env bash
# Pages per second of the rendora command at --jobs 1, 2, 4 and 8, at Wait 1 and Wait 10, on 40
# local pages of mixed height; and in the same run the same pages through wkhtmltoimage and
# CutyCapt, one process per page, as such tools are scripted. Needs a built build/rendora;
# installs the two other tools from the Debian archive when they are missing.
#   bench/command_line/run.sh [build folder] [jobs list] [waits list]
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
jobs_list="${2:-1 2 4 8}"
waits="${3:-1 10}"
rendora="$(pwd)/$build/rendora"
[ -x "$rendora" ] || { echo "no $rendora: build first (scripts/build.sh)"; exit 1; }
for tool in wkhtmltopdf cutycapt; do
  dpkg-query -W -f='${Status}' "$tool" 2>/dev/null | grep -q 'install ok installed' ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$tool" >/dev/null
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
pages="$work/pages"
mkdir -p "$pages"
# 40 pages: heights from one screen's part to several screens, text and colour bands.
for i in $(seq 1 40); do
  height=$(( (i * 677) % 5200 + 300 ))
  {
    echo "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>page $i</title></head>"
    echo "<body style=\"font-family:sans-serif;margin:16px\"><h1>ページ $i</h1>"
    echo "<p>A page of $height pixels of bands and text. 日本語の本文。</p>"
    echo "<div style=\"height:${height}px;background:linear-gradient(hsl($((i*37%360)),70%,60%),#fff)\"></div>"
    echo "</body></html>"
  } > "$pages/page$i.html"
done
count=$(ls "$pages" | wc -l)

rate() { awk -v n="$1" -v s="$2" 'BEGIN { printf "%.2f", n / s }'; }
seconds_of() { local start=$1 end; end=$(date +%s.%N); awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }'; }

printf '%-28s %8s %10s %8s\n' "renderer" "seconds" "pages/s" "written"
for wait in $waits; do
  for jobs in $jobs_list; do
    out="$work/out-$wait-$jobs"
    start=$(date +%s.%N)
    "$rendora" convert "$pages" "$out" --wait "$wait" --jobs "$jobs" --quiet 2>/dev/null || true
    s=$(seconds_of "$start")
    written=$(find "$out" -name '*.bmp' | wc -l)
    printf '%-28s %8s %10s %8s\n' "rendora Wait $wait --jobs $jobs" "$s" "$(rate "$count" "$s")" "$written"
  done
done

out="$work/wkhtml"; mkdir -p "$out"
start=$(date +%s.%N)
for page in "$pages"/*.html; do
  name=$(basename "$page" .html)
  wkhtmltoimage --quiet --format bmp --width 800 --javascript-delay 0 "$page" "$out/$name.bmp" >/dev/null 2>&1 || true
done
s=$(seconds_of "$start")
printf '%-28s %8s %10s %8s\n' "wkhtmltoimage (per page)" "$s" "$(rate "$count" "$s")" "$(find "$out" -name '*.bmp' | wc -l)"

out="$work/cutycapt"; mkdir -p "$out"
start=$(date +%s.%N)
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  for page in "$1"/*.html; do
    name=$(basename "$page" .html)
    cutycapt --url="file://$page" --out="$2/$name.bmp" --min-width=800 >/dev/null 2>&1 || true
  done' _ "$pages" "$out"
s=$(seconds_of "$start")
printf '%-28s %8s %10s %8s\n' "CutyCapt (per page)" "$s" "$(rate "$count" "$s")" "$(find "$out" -name '*.bmp' | wc -l)"
