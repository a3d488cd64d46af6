#!/usr/bin/env bash
# The Debian package as a user gets it: built from this build with CPack, unpacked with dpkg-deb
# into a scratch folder, from where the program shows its version and converts a page; its
# layout, manual pages and desktop entry are whole, and apt resolves its dependencies.
#   package_test.sh BUILD_DIR
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/deb" >/dev/null
deb=$(ls "$scratch"/deb/rendora_*.deb)
dpkg-deb -x "$deb" "$scratch/root"
root=$scratch/root

# The installed layout: the program in /usr/lib/rendora, linked from /usr/bin; its help folder
# a link to the shared help pages.
test "$(readlink "$root/usr/bin/rendora")" = ../lib/rendora/rendora
test "$(readlink "$root/usr/lib/rendora/help")" = ../../share/rendora/help
test -s "$root/usr/lib/rendora/help/Rendora.chm"
test -s "$root/usr/lib/rendora/help/index.htm"

"$root/usr/bin/rendora" --version | grep -qx 'rendora [0-9.]*'
mkdir "$scratch/pages"
printf '<html><body style="margin:0;background:#3060c0"><h1>パッケージ</h1></body></html>' \
  >"$scratch/pages/page.html"
"$root/usr/bin/rendora" convert "$scratch/pages" "$scratch/out" --size 320 --jobs 1 --quiet
test "$(head -c 2 "$scratch/out/page.bmp")" = BM

# Installed, the program may not write its own folder: its settings live in the config folder,
# where `run` looks for the first-run settings file (and names it, as there is none yet). Root
# may write anywhere, so it runs as nobody (without a sanitizer build's suppression files, which
# nobody may not be able to read).
chmod 755 "$scratch"
chmod a-w "$root/usr/lib/rendora"
as_user=()
[ "$(id -u)" -eq 0 ] && as_user=(env -u LSAN_OPTIONS -u UBSAN_OPTIONS ASAN_OPTIONS=detect_leaks=0
  setpriv --reuid=65534 --regid=65534 --clear-groups)
message=$(XDG_CONFIG_HOME="$scratch/config" "${as_user[@]}" "$root/usr/bin/rendora" run 2>&1 || true)
grep -qF "$scratch/config/rendora/Corvane.ini" <<<"$message" || { echo "$message"; exit 1; }
chmod u+w "$root/usr/lib/rendora"

# The manual pages render without a warning, in both languages.
for page in man1/rendora.1.gz ja/man1/rendora.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then echo "$page: $warnings"; exit 1; fi
done
grep -qx 'Exec=rendora' "$root/usr/share/applications/rendora.desktop"
test -s "$root/usr/share/icons/hicolor/48x48/apps/rendora.png"

apt-get install --simulate "$deb" >"$scratch/apt.log" || { cat "$scratch/apt.log"; exit 1; }
lintian --fail-on error "$deb"
