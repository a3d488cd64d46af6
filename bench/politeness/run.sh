#!/usr/bin/env bash
# The crawl's transfers on a generated 600-entry loopback site (one index page linking 599
# files): `rendora crawl` at the defaults (--per-server 2), at --per-server 4 and at --delay 0.2
# --per-server 1, beside wget -r and wget -r --wait 0.2
# of the same site in the same run. From the server's log: requests, requests per second over the
# file entries, the most requests in flight, and milliseconds per file entry beyond the pauses
# (the span of the file requests less the pauses between them, over the file entries). Only the
# crawler's own requests count: those of the engine that renders the index page are left out.
# Usage: bench/politeness/run.sh [build folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
for tool in python3 wget; do
  command -v "$tool" > /dev/null || { echo "run.sh needs $tool (scripts/setup.sh)" >&2; exit 1; }
done
[ -x "$build/rendora" ] || { echo "build rendora first: cmake --build $build --target rendora" >&2; exit 1; }

# "cgi-bin" makes the crawl take the files as files to download.
source "$root/bench/support/file_site.sh"
start_file_site politeness 'cgi-bin/f%03d.dat'

# Figures of the log lines since line $1 whose agent matches $3 (the rendering engine fetches the
# index page's pictures too, under its own agent), with $2 the pause asked between requests.
figures() {
  tail -n +"$(($1 + 1))" "$log" | awk -v pause="$2" -v agent="$3" '
    $4 !~ agent { next }
    { start[n] = $1; end[n] = $2; n++
      if ($5 ~ /\/cgi-bin\//) { f++; if (!fs || $1 < fs) fs = $1; if ($2 > fe) fe = $2 } }
    END { for (i = 0; i < n; i++) { c = 0
            # the server notes the end of an answer a moment after the client has it: overlaps
            # under a millisecond are the next request of a client that waits for each answer
            # (a server thread put aside at that moment can still add one now and then)
            for (j = 0; j < n; j++) if (start[j] <= start[i] && end[j] - start[i] > 0.001) c++
            if (c > most) most = c }
          span = fe - fs; beyond = span - pause * (f - 1); if (beyond < 0) beyond = 0
          printf "requests=%d files=%d files_per_second=%.1f most_in_flight=%d ms_per_file_beyond_pauses=%.2f\n",
                 n, f, f / span, most, beyond / f * 1000 }'
}

run() {
  local name=$1 pause=$2 agent=$3
  shift 3
  local before
  before=$(wc -l < "$log")
  rm -rf "$work/out"
  local start end
  start=$(date +%s.%N)
  "$@" > "$work/run.log" 2>&1 || true
  end=$(date +%s.%N)
  printf '%-42s wall=%5.2fs ' "$name" "$(echo "$end - $start" | bc)"
  figures "$before" "$pause" "$agent"
}

echo "site: 1 index page + 599 files of 4 KB at $address"
run "rendora crawl (defaults)" 0 "HTML_Get_Sample|My_Session" \
  env -u DISPLAY "$build/rendora" crawl "$address" "$work/out" --count 1000 --quiet
run "rendora crawl --per-server 4" 0 "HTML_Get_Sample|My_Session" \
  env -u DISPLAY "$build/rendora" crawl "$address" "$work/out" --count 1000 --quiet --per-server 4
run "rendora crawl --delay 0.2 --per-server 1" 0.2 "HTML_Get_Sample|My_Session" \
  env -u DISPLAY "$build/rendora" crawl "$address" "$work/out" --count 1000 --quiet --delay 0.2 \
  --per-server 1
run "wget -r" 0 "Wget" wget -q -r -l inf -np -P "$work/out" "$address"
run "wget -r --wait 0.2" 0.2 "Wget" wget -q -r -l inf -np --wait 0.2 -P "$work/out" "$address"
