#!/usr/bin/env bash
# The time each page option adds per page: the same local pages converted by `rendora convert`
# one page at a time (--jobs 1, so that pages do not share the time of others), once without
# options and once with each option. Prints the median time per page of the report's records
# and its difference to the run without options.
#   bench/page_options/run.sh [build folder] [pages]
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
count="${2:-20}"
rendora="$(pwd)/$build/rendora"
[ -x "$rendora" ] || { echo "no $rendora: build first (scripts/build.sh)"; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
pages="$work/pages"
mkdir -p "$pages"
# Pages with what the options act on: a banner to hide, an aside to remove, an article to take
# alone, a script of their own, a rule for dark readers and one for sharp screens.
for i in $(seq 1 "$count"); do
  height=$(( (i * 677) % 4000 + 600 ))
  cat > "$pages/page$i.html" <<PAGE
<!DOCTYPE html><html><head><meta charset="utf-8"><title>page $i</title><style>
body { font-family: sans-serif; margin: 16px }
#cookie { position: fixed; bottom: 0; left: 0; right: 0; padding: 20px; background: #333; color: #fff }
aside { height: 200px; background: #ddd }
article { height: ${height}px; background: linear-gradient(hsl($((i * 37 % 360)), 70%, 60%), #fff) }
@media (prefers-color-scheme: dark) { body { background: #111; color: #eee } }
</style></head><body><h1>ページ $i</h1><aside>aside</aside><article><p>本文 $i</p></article>
<div id="cookie">Cookies?</div>
<script>document.querySelector('h1').textContent += ' (script)';</script></body></html>
PAGE
done

median_ms() {
  python3 -c '
import json, sys
ms = sorted(json.loads(l)["ms"] for l in open(sys.argv[1]) if "summary" not in l)
print(ms[len(ms) // 2] if ms else 0)' "$1"
}

declare -a names=("no option" "--selector article" "--hide #cookie --remove aside"
  "--style" "--script" "--no-javascript" "--scale-factor 2" "--color-scheme dark"
  "--confine" "--no-network")
declare -a options=("" "--selector article" "--hide #cookie --remove aside"
  "--style body{background:#eef}" "--script document.body.dataset.done=1"
  "--no-javascript" "--scale-factor 2" "--color-scheme dark" "--confine" "--no-network")

printf '%-32s %12s %12s\n' "option" "ms per page" "added ms"
base=0
for k in "${!names[@]}"; do
  out="$work/out$k"
  # shellcheck disable=SC2086
  "$rendora" convert "$pages" "$out" --jobs 1 --format png --quiet --report "$work/r$k.jsonl" \
    ${options[$k]} 2>/dev/null || true
  ms=$(median_ms "$work/r$k.jsonl")
  [ "$k" -eq 0 ] && base=$ms
  printf '%-32s %12s %12s\n' "${names[$k]}" "$ms" "$((ms - base))"
done
