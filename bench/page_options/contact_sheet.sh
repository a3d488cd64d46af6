#!/usr/bin/env bash
# One page converted in each mode of the page options, and a page that reaches out of its folder
# with and without --confine, laid side by side on one contact sheet that rendora itself renders
# (a PNG picture).
#   bench/page_options/contact_sheet.sh [build folder] [sheet.png]
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
sheet="$(realpath -m "${2:-page_options_sheet.png}")"
rendora="$(pwd)/$build/rendora"
[ -x "$rendora" ] || { echo "no $rendora: build first (scripts/build.sh)"; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/page" "$work/untrusted" "$work/sheet"
cat > "$work/page/page.html" <<'PAGE'
<!DOCTYPE html><html><head><meta charset="utf-8"><style>
body { font: 15px/1.4 sans-serif; margin: 0; background: #fff; color: #222 }
header { background: #246; color: #fff; padding: 12px 16px; font-size: 22px }
main { display: flex; gap: 16px; padding: 16px }
aside { width: 180px; background: #e8e0c8; padding: 8px } article { flex: 1; border: 0.5px solid #888; padding: 8px }
#cookie { position: fixed; top: 70px; right: 16px; width: 150px; background: #c33; color: #fff; padding: 14px }
#badge { display: inline-block; padding: 2px 8px; background: #999; color: #fff }
.sharp { font-size: 11px } @media (min-resolution: 2dppx) { .sharp { color: #060 } }
@media (prefers-color-scheme: dark) { body { background: #1b1b1f; color: #ddd } aside { background: #333 } }
</style></head><body><header>Rendora news</header><main><aside>Sidebar: links, ads</aside>
<article><h2>An article</h2><p>Page scripts: <span id="badge">did not run</span></p>
<p class="sharp">Small print that a device scale of 2 draws sharp (green at 2 dppx).</p>
<p>日本語の本文もあります。</p></article></main><div id="cookie">We use cookies. [OK]</div>
<script>var b = document.getElementById('badge'); b.textContent = 'ran'; b.style.background = '#2a2';</script>
</body></html>
PAGE
cat > "$work/untrusted/untrusted.html" <<'PAGE'
<!DOCTYPE html><html><body style="font: 15px sans-serif; margin: 8px">
<p>An untrusted page shows /etc/hostname and /etc/os-release in frames:</p>
<iframe src="file:///etc/hostname" style="width: 380px; height: 40px"></iframe>
<iframe src="file:///etc/os-release" style="width: 380px; height: 120px"></iframe>
</body></html>
PAGE

declare -a labels=() pictures=()
shoot() {  # label, source folder, page, options...
  local label="$1" source="$2" page="$3" out="$work/out${#labels[@]}"
  shift 3
  "$rendora" convert "$source" "$out" --format png --size 560 --quiet "$@" 2>/dev/null || true
  labels+=("$label")
  pictures+=("$out/$page.png")
}
shoot "no options" "$work/page" page
shoot "--selector article --padding 8" "$work/page" page --selector article --padding 8
shoot "--hide #cookie --remove aside" "$work/page" page --hide '#cookie' --remove aside
shoot "--style 'header { background: #a50 }'" "$work/page" page --style 'header { background: #a50 }'
shoot "--script (prepends a notice)" "$work/page" page \
  --script "document.querySelector('h2').insertAdjacentHTML('beforebegin', '<p><b>Added by --script</b></p>')"
shoot "--no-javascript" "$work/page" page --no-javascript
shoot "--color-scheme dark" "$work/page" page --color-scheme dark
shoot "--scale-factor 1, detail enlarged 2x" "$work/page" page --scale-factor 1
shoot "--scale-factor 2, detail at its own pixels" "$work/page" page --scale-factor 2
shoot "untrusted page, no options" "$work/untrusted" untrusted
shoot "untrusted page, --confine" "$work/untrusted" untrusted --confine

{
  echo '<!DOCTYPE html><html><head><meta charset="utf-8"><style>'
  echo 'body { margin: 10px; font: 13px sans-serif; background: #fff }'
  echo '.grid { display: grid; grid-template-columns: repeat(3, 580px); gap: 12px }'
  echo 'figure { margin: 0 } figcaption { padding: 4px 0; font-weight: bold }'
  echo 'img { display: block; width: 560px; height: 300px; object-fit: none; object-position: 0 0; border: 1px solid #888 }'
  echo 'img.detail1 { object-fit: none; object-position: -200px -100px; image-rendering: pixelated; transform-origin: 0 0 }'
  echo 'img.detail2 { object-fit: none; object-position: -400px -200px }'
  echo '</style></head><body><div class="grid">'
  for k in "${!labels[@]}"; do
    cp "${pictures[$k]}" "$work/sheet/p$k.png" 2>/dev/null || true
    class=""
    [[ "${labels[$k]}" == *"detail enlarged"* ]] && class="detail1"
    [[ "${labels[$k]}" == *"own pixels"* ]] && class="detail2"
    if [ "$class" = "detail1" ]; then
      echo "<figure><figcaption>${labels[$k]}</figcaption><div style=\"width:560px;height:300px;overflow:hidden;border:1px solid #888\"><img class=\"$class\" src=\"p$k.png\" style=\"width:280px;height:150px;transform:scale(2);border:0\"></div></figure>"
    else
      echo "<figure><figcaption>${labels[$k]}</figcaption><img class=\"$class\" src=\"p$k.png\"></figure>"
    fi
  done
  echo '</div></body></html>'
} > "$work/sheet/sheet.html"
"$rendora" convert "$work/sheet" "$work/sheet-out" --format png --size 1800 --quiet 2>/dev/null
cp "$work/sheet-out/sheet.png" "$sheet"
echo "$sheet"
