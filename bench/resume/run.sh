#!/usr/bin/env bash
# Nothing done twice, on a generated 600-entry loopback site (one index page linking 599 files of
# 4 KB by anchors, so that the page engine asks for none of them):
# 1. time per file entry of `rendora crawl` without a journal and with `--state` (one line per
#    queued entry, one line made durable per finished entry), from the server's log: the span
#    of the file requests over the file entries; the best of RUNS runs each;
# 2. a crawl killed with SIGKILL half-way and resumed with `--resume`, beside an uninterrupted
#    one: the totals of both reports, and from the server's log the crawl's requests, distinct
#    targets and targets asked for twice.
# Usage: bench/resume/run.sh [build folder] [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-3}
command -v python3 > /dev/null || { echo "run.sh needs python3" >&2; exit 1; }
[ -x "$build/rendora" ] || { echo "build rendora first: cmake --build $build --target rendora" >&2; exit 1; }

source "$root/bench/support/file_site.sh"
start_file_site resume 'files/f%03d_cgi.bin'
crawl=("$build/rendora" crawl "$address" --count 600 --wait 1 --jobs 1 --quiet)

# Milliseconds per file entry of the crawl's log lines since line $1: over all file entries, and
# over the first and the last 100 (a journal that is appended to costs the same at its end).
per_entry() {
  tail -n +"$(($1 + 1))" "$log" | awk '$4 == "HTML_Get_Sample" && $5 ~ /\/files\// {
      start[f + 0] = $1; f++ }
    END { printf "%.3f %.3f %.3f", (start[f - 1] - start[0]) / (f - 1) * 1000,
            (start[100] - start[0]) / 100 * 1000, (start[f - 1] - start[f - 101]) / 100 * 1000 }'
}

# The crawl's requests since line $1: all, distinct targets, targets asked for more than once.
requests() {
  tail -n +"$(($1 + 1))" "$log" | awk '$4 == "HTML_Get_Sample" { n++; c[$5]++ }
    END { for (t in c) { d++; if (c[t] > 1) twice++ }
          printf "requests=%d distinct=%d asked_twice=%d", n, d, twice + 0 }'
}

summary() { tail -n 1 "$1" | python3 -c 'import json,sys; s=json.load(sys.stdin)
print(" ".join(f"{k}={s[k]}" for k in ("written","failed","skipped","incomplete") if k in s))'; }

echo "site: 1 index + 599 files at $address; best of $runs runs"
for mode in none state; do
  results=""
  for _ in $(seq 1 "$runs"); do
    rm -rf "$work/out" "$work/state"
    before=$(wc -l < "$log")
    extra=()
    [ "$mode" = state ] && extra=(--state "$work/state")
    (cd "$work" && "${crawl[@]}" out "${extra[@]}" > /dev/null 2>&1)
    results="$results$(per_entry "$before")\n"
  done
  best=$(printf "$results" | sort -n | head -n 1)
  read -r ms first last <<< "$best"
  echo "journal=$mode ms_per_file_entry=$ms first_100=$first last_100=$last" \
    "(all runs: $(printf "$results" | cut -d' ' -f1 | tr '\n' ' '))"
done

rm -rf "$work/whole" "$work/out" "$work/state"
before=$(wc -l < "$log")
(cd "$work" && "${crawl[@]}" whole --report whole.jsonl > /dev/null 2>&1) || true
echo "uninterrupted: $(summary "$work/whole.jsonl") $(requests "$before")"

before=$(wc -l < "$log")
(cd "$work" && exec "${crawl[@]}" out --state state > /dev/null 2>&1) &
crawl_pid=$!
while [ "$(tail -n +"$((before + 1))" "$log" | grep -c HTML_Get_Sample)" -lt 300 ]; do sleep 0.01; done
kill -KILL "$crawl_pid"
wait "$crawl_pid" 2> /dev/null || true
killed=$(requests "$before")
middle=$(wc -l < "$log")
(cd "$work" && "${crawl[@]}" out --resume state --report resumed.jsonl > /dev/null 2>&1) || true
echo "killed at: $killed"
echo "resumed: $(summary "$work/resumed.jsonl") $(requests "$middle")"
echo "killed and resumed together: $(requests "$before")"
if diff -r "$work/whole" "$work/out" > /dev/null; then
  echo "files: the resumed crawl's output equals the uninterrupted one's"
else
  echo "files: the outputs differ"
fi
