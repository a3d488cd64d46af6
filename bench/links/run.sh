#!/usr/bin/env bash
# Crawls a generated site of 300 pages linked in every way real sites link (bench/links/
# make_site.py) with `rendora crawl`, optionally with a second rendora binary beside it (an older
# build, to compare), and with `wget -r`, one after the other against the same loopback server.
# For each: requests (those of the page engine drawing pages apart), requests answered 404,
# distinct addresses asked for, pictures written and seconds, from the server's own log.
#   bench/links/run.sh [build folder] [other rendora binary]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-/tmp/rendora-bench}
other=${2:-}
for tool in python3 wget; do
  command -v "$tool" > /dev/null || { echo "run.sh needs $tool" >&2; exit 1; }
done
launcher=()
command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" > /dev/null
cmake --build "$build" --target rendora -j2 > /dev/null

work=$(mktemp -d /tmp/rendora-links-bench.XXXXXX)
server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

python3 "$here/make_site.py" "$work"
python3 -u "$here/make_site.py" serve "$work" "$work/requests.log" > "$work/port" &
server_pid=$!
for _ in $(seq 1 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(head -n 1 "$work/port")
start_address="http://127.0.0.1:$port/index.html"
entries=$(find "$work/site" -type f | wc -l)
echo "site: $entries files (300 pages, 150 pictures, 50 texts, 1 query page) at $start_address"
printf '| tool | requests (fetches + engine) | 404 | distinct addresses | pictures or files | seconds |\n'
printf '|---|---:|---:|---:|---:|---:|\n'

# One row from the server log of the run just done and the files it wrote.
row() {
  local name=$1 seconds=$2 written=$3
  local requests missing distinct fetches
  requests=$(wc -l < "$work/requests.log")
  fetches=$(awk '$4 == "fetch"' "$work/requests.log" | wc -l)
  missing=$(awk '$3 == 404' "$work/requests.log" | wc -l)
  distinct=$(awk '{print $2}' "$work/requests.log" | sort -u | wc -l)
  printf '| %s | %d (%d + %d) | %d | %d | %d | %.1f |\n' "$name" "$requests" "$fetches" \
    $((requests - fetches)) "$missing" "$distinct" "$written" "$seconds"
  awk '$3 == 404 {print "    404: " $2}' "$work/requests.log" | sort -u | head -n 3 >&2 || true
  : > "$work/requests.log"
}

crawl() {
  local name=$1 binary=$2 out="$work/out-$1"
  local start end
  start=$(date +%s.%N)
  env -u DISPLAY "$binary" crawl "$start_address" "$out" --count 1000 --link-count 500 \
    > "$work/$name.log" 2>&1 || true
  end=$(date +%s.%N)
  row "$name" "$(echo "$end - $start" | bc)" \
    "$(find "$out" -type f \( -name '*.bmp' -o -name '*.png' \) | wc -l)"
}

: > "$work/requests.log"
crawl "rendora" "$build/rendora"
[ -n "$other" ] && crawl "rendora-other" "$other"
start=$(date +%s.%N)
wget -q -r -l inf -P "$work/wget" "$start_address" || true  # wget reports links that failed
end=$(date +%s.%N)
row "wget -r -l inf" "$(echo "$end - $start" | bc)" "$(find "$work/wget" -type f | wc -l)"
