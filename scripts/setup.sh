#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Rendora needs (Debian 12).
# Packages already present are left alone; nothing else is fetched at build time.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libwxgtk3.2-dev libwxgtk-webview3.2-dev libwebkit2gtk-4.0-dev
  libcurl4-openssl-dev libpng-dev libjpeg62-turbo-dev libwebp-dev
  webp-pixbuf-loader
  libcli11-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev libssl-dev openssl
  xvfb xauth x11-utils
  fonts-noto-cjk
  fp-utils
  clang-format
  clang libclang-rt-14-dev
  python3
  dpkg-dev fakeroot lintian file man-db
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
