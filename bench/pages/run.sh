#!/usr/bin/env bash
# The page benchmark: one named page set (44 distinct pages of every kind, repeated) converted by
# `rendora convert` in its modes, by wkhtmltoimage and by a bare capture loop of our own engine;
# for each run the wall time, the CPU time of all its processes (the engine's own included),
# and how many pictures are right by the manifest. Prints a markdown table and writes it to
# pages-bench.md in the work folder (kept, and named at the end).
#   bench/pages/run.sh [build folder] [copies] [jobs]
# copies: how often the 44 pages are repeated for the large runs (default 10: 440 pages);
# jobs: the concurrency to compare at (default: the job count `rendora --help` gives).
# Installs wkhtmltopdf and python3-pil from the Debian archive when they are missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-/tmp/rendora-bench}
copies=${2:-10}
jobs_arg=${3:-}
python=/usr/bin/python3  # Debian's, which python3-pil serves

for package in wkhtmltopdf python3-pil xvfb; do
  [[ $(dpkg-query -W -f='${Status}' "$package" 2>/dev/null) == *"install ok installed"* ]] ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$package" \
      >/dev/null
done

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$root")} \
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$root")} \
  cmake --build "$build" -j2 --target rendora bench_bare_capture bench_cpu_time >/dev/null
rendora=$build/rendora
bare=$build/bench/pages/bench_bare_capture
timer=$build/bench/pages/bench_cpu_time

work=$(mktemp -d /tmp/pages-bench.XXXXXX)
"$python" "$here/make_pages.py" "$work/set" "$copies"
manifest=$work/set/manifest.json
distinct=$work/set/distinct
all=$work/set/all
mkdir -p "$work/one"
cp "$distinct/01_short.html" "$work/one/"
count() { find "$1" -name '*.html' | wc -l; }

# The job count of rendora's default: the number its help gives for --jobs (on its line or the
# next, where a long description wraps), else the core count.
help=$("$rendora" --help 2>&1 || true)
default_jobs=$(printf '%s\n' "$help" | grep -A1 -e '--jobs' | grep -o '既定値: *[0-9]*' |
  grep -o '[0-9]*' | head -n1 || true)
jobs=${jobs_arg:-${default_jobs:-$(nproc)}}
# Without --fixed-wait, today's default is the fixed-wait mode itself: it runs once, on the
# distinct pages (at its speed the repeated set would not fit the benchmark's time).
default_set=$all
default_note="all copies"
fixed=(--fixed-wait)
if ! grep -q -e '--fixed-wait' <<<"$help"; then
  fixed=()
  default_set=$distinct
  default_note="no --fixed-wait yet: today's default is the fixed waits, so this row stands for both; 44 distinct pages, per page"
  echo "rendora has no --fixed-wait: its default is today's fixed waits; one run on the distinct pages" >&2
fi

rows=()
wrongs=()
# measure LABEL NOTE PAGES_FOLDER PICTURES_FOLDER COMMAND...: runs the command under the CPU
# counter, checks its pictures and adds a table row.
measure() {
  local label=$1 note=$2 pages=$3 out=$4
  shift 4
  local n result wall cpu status check right
  n=$(count "$pages")
  mkdir -p "$out"
  echo "== $label ($n pages)" >&2
  rm -f "$work/time.txt"
  "$timer" "$work/time.txt" "$@" >"$out.log" 2>&1 || true
  read -r wall cpu _ _ status <"$work/time.txt"
  "$python" "$here/check_pictures.py" --quiet "$manifest" "$pages" "$out" >"$out.check" || true
  right=$(tail -n1 "$out.check" | awk '{ print $2 }')
  [ "$status" = 0 ] || note="$note; exit status $status"
  # rendora's report names how each picture was taken.
  if [ -f "$out.jsonl" ]; then
    note="$note; $(grep -c '"capture":"snapshot"' "$out.jsonl" || true) by one snapshot"
  fi
  rows+=("$(awk -v l="$label" -v n="$n" -v w="$wall" -v c="$cpu" -v r="$right" -v note="$note" \
    'BEGIN { printf "| %s | %d | %.1f | %.2f | %.1f | %.0f | %d/%d | %s |", l, n, w, n / w, c, \
      1000 * c / n, r, n, note }')")
  # What went wrong, once per distinct page and reason, with the number of copies it hit.
  grep '^WRONG' "$out.check" | sed -E 's#^WRONG c[0-9]+/#WRONG #' | sort | uniq -c |
    awk -v l="$label" '{ n = $1; $1 = ""; printf "  %s:%s (%d)\n", l, $0, n }' >&2 || true
  wrongs+=("- $label: $({ grep '^WRONG' "$out.check" || true; } | sed -E 's#^WRONG (c[0-9]+/)?##; s#\.html:.*##' |
    sort | uniq -c | awk '{ printf "%s%s%s", sep, $2, ($1 > 1 ? " ×" $1 : ""); sep = ", " }
      END { if (sep == "") printf "none" }')")
  # The repeated set's pictures take gigabytes: kept only when asked for.
  if [ "$pages" = "$all" ] && [ -z "${KEEP_PICTURES:-}" ]; then rm -rf "$out"; fi
}

# The checker must tell a wrong picture: a right one with its top band painted over must fail.
check_the_checker() {
  local right=$1
  mkdir -p "$work/wrong"
  "$python" - "$right" "$work/wrong/01_short.png" <<'PYTHON'
import sys
from PIL import Image, ImageDraw
image = Image.open(sys.argv[1]).convert("RGB")
ImageDraw.Draw(image).rectangle([0, 0, 799, 99], fill=(240, 50, 230))
image.save(sys.argv[2])
PYTHON
  local verdict
  verdict=$("$python" "$here/check_pictures.py" "$manifest" "$work/one" "$work/wrong")
  if ! grep -q '^WRONG' <<<"$verdict"; then
    echo "the checker takes a wrong picture for right: its results cannot be trusted" >&2
    exit 1
  fi
}

export NO_AT_BRIDGE=1
measure "rendora convert, 1 page (start-up)" "defaults" "$work/one" "$work/out-one" \
  "$rendora" convert "$work/one" "$work/out-one" --quiet
check_the_checker "$(find "$work/out-one" -name '01_short.*' | head -n1)"
measure "rendora convert (defaults)" "$default_note" "$default_set" "$work/out-default" \
  "$rendora" convert "$default_set" "$work/out-default" --quiet --report "$work/out-default.jsonl"
if [ ${#fixed[@]} -gt 0 ]; then
  measure "rendora convert --fixed-wait" "44 distinct pages, per page" "$distinct" "$work/out-fixed" \
    "$rendora" convert "$distinct" "$work/out-fixed" --fixed-wait --quiet
fi
measure "rendora convert --until-loaded --jobs 1" "44 distinct pages, per page" "$distinct" \
  "$work/out-until" "$rendora" convert "$distinct" "$work/out-until" --until-loaded --jobs 1 --quiet \
  --report "$work/out-until.jsonl"

wk() { # PAGES OUT PAGE...: one wkhtmltoimage per page, pictures mirroring the pages' paths
  local pages=$1 out=$2 page rel
  shift 2
  for page in "$@"; do
    rel=${page#"$pages"/}
    mkdir -p "$out/$(dirname "$rel")"
    wkhtmltoimage --quiet --format png --width 800 --javascript-delay 0 \
      --enable-local-file-access "$page" "$out/${rel%.html}.png" >/dev/null 2>&1 || true
  done
}
export -f wk
measure "wkhtmltoimage, one at a time" "per page; 44 distinct pages" "$distinct" "$work/out-wk1" \
  bash -c 'find "$1" -name "*.html" -print0 | sort -z | xargs -0 -n 1 bash -c '"'"'wk "$@"'"'"' _ "$1" "$2"' \
  _ "$distinct" "$work/out-wk1"
measure "wkhtmltoimage, $jobs at a time (xargs -P $jobs)" "all copies" "$all" "$work/out-wkn" \
  bash -c 'find "$1" -name "*.html" -print0 | sort -z | xargs -0 -n 8 -P "$3" bash -c '"'"'wk "$@"'"'"' _ "$1" "$2"' \
  _ "$all" "$work/out-wkn" "$jobs"
measure "bare capture, 1 page (start-up)" "own engine, one view" "$work/one" "$work/out-bare-one" \
  xvfb-run -a -s "-screen 0 1280x1024x24" "$bare" "$work/one" "$work/out-bare-one"
measure "bare capture (own engine)" "all copies; one view, no waits" "$all" "$work/out-bare" \
  xvfb-run -a -s "-screen 0 1280x1024x24" "$bare" "$all" "$work/out-bare"

table=$work/pages-bench.md
{
  echo "Page set: $(count "$distinct") distinct pages, $(count "$all") in all ($copies copies);" \
    "jobs compared at $jobs (rendora's default: ${default_jobs:-not a number in --help});" \
    "$(nproc) cores. CPU counts every process of a run: rendora's render workers, the engine's" \
    "web and network processes and the virtual display (rendora's own, the bare loop's" \
    "xvfb-run); wkhtmltoimage needs no display."
  echo
  echo "| run | pages | wall s | pages/s | CPU s (all processes) | CPU ms/page | right | note |"
  echo "|---|---:|---:|---:|---:|---:|---:|---|"
  printf '%s\n' "${rows[@]}"
  echo
  echo "Wrong pictures per run (page ×copies; the reasons are in the run's .check file):"
  echo
  printf '%s\n' "${wrongs[@]}"
} >"$table"
cat "$table"
echo
echo "Table: $table; logs, checker output (*.check) and the distinct pages' pictures in $work"
