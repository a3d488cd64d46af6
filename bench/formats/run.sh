#!/usr/bin/env bash
# The picture formats' benchmark: the page benchmark's 44 distinct pages converted once to BMP by
# `rendora convert`, then every bitmap encoded in each format by bench_formats (sizes, encode
# and write times, a markdown table).
#   bench/formats/run.sh [build folder] [repetitions]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-/tmp/rendora-bench}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$build" -j2 --target rendora bench_formats >/dev/null
work=$(mktemp -d /tmp/formats-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
python3 "$root/bench/pages/make_pages.py" "$work/set" 1 >/dev/null
env -u DISPLAY "$build/rendora" convert "$work/set/distinct" "$work/bmp" --format bmp --quiet
"$build/bench/formats/bench_formats" "$work/bmp" "${2:-3}"
# One tall Japanese article of about 57,000 pixels, whole and split at 2,000 rows.
mkdir -p "$work/article"
python3 "$here/make_japanese_page.py" "$work/article/article.html" 57000
env -u DISPLAY "$build/rendora" convert "$work/article" "$work/article-bmp" --format bmp --quiet
"$build/bench/formats/bench_formats" "$work/article-bmp" "${2:-3}" 0
"$build/bench/formats/bench_formats" "$work/article-bmp" "${2:-3}" 2000
