#!/usr/bin/env bash
# Crawls a generated local site of 300 pages and 300 files twice, once with the real main window
# (under a virtual display) and once with wget -r, and prints both times.
# Usage: bench/crawl/run.sh [build folder] [Wait]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-/tmp/rendora-bench}
wait=${2:-1}
for tool in python3 wget xvfb-run; do
  command -v "$tool" > /dev/null || { echo "run.sh needs $tool (scripts/setup.sh)" >&2; exit 1; }
done

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" --target bench_crawl -j2 > /dev/null

work=$(mktemp -d /tmp/rendora-crawl-bench.XXXXXX)
server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The site: an index linking 300 pages in 10 folders; every page shows a picture (a ".cgi"
# address, which the crawl downloads as a file) and links back to the index and to the next page
# of its folder.
site="$work/site/site"
mkdir -p "$site/files"
{
  echo '<html><body style="margin:0;background:#ffffff"><h1>index</h1>'
  for i in $(seq 0 299); do
    printf '<a href="d%d/p%03d.html">page %d</a>\n' $((i / 30)) "$i" "$i"
  done
  echo '</body></html>'
} > "$site/index.html"
for i in $(seq 0 299); do
  folder="$site/d$((i / 30))"
  mkdir -p "$folder"
  printf '<html><body style="margin:0;background:#%02x%02x80"><img src="../files/f%03d.cgi">
<p>page %d</p><a href="../index.html">index</a> <a href="p%03d.html">next</a>
<div style="height:300px"></div></body></html>\n' $((i % 256)) $(((i * 7) % 256)) "$i" "$i" \
    $((i / 30 * 30 + (i + 1) % 30)) > "$folder/$(printf 'p%03d.html' "$i")"
  head -c 4096 /dev/urandom > "$site/files/$(printf 'f%03d.cgi' "$i")"
done

# A threaded static server on an ephemeral loopback port; its first line names the port.
python3 -u -m http.server --bind 127.0.0.1 --directory "$work/site" 0 > "$work/server.log" 2>&1 &
server_pid=$!
port=""
for _ in $(seq 1 50); do
  port=$(sed -n 's/.* port \([0-9]\+\) .*/\1/p' "$work/server.log" | head -n 1)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "the site server did not start" >&2; cat "$work/server.log" >&2; exit 1; }
address="http://127.0.0.1:$port/site/index.html"

echo "site: 1 index + 300 pages + 300 files at $address; Wait $wait"
echo -n "rendora: "
NO_AT_BRIDGE=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/bench/crawl/bench_crawl" "$address" "$work/rendora" "$wait" 2> "$work/rendora.log" ||
  { cat "$work/rendora.log" >&2; exit 1; }

start=$(date +%s.%N)
wget -q -r -l inf -np -P "$work/wget" "$address" || true  # wget reports the pages it skipped
end=$(date +%s.%N)
fetched=$(find "$work/wget" -type f | wc -l)
awk -v s="$start" -v e="$end" -v n="$fetched" 'BEGIN {
  printf "wget -r: entries=%d seconds=%.2f ms_per_entry=%.1f\n", n, e - s, (e - s) / n * 1000 }'
