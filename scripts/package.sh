#!/usr/bin/env bash
# Builds the Debian package (rendora_VERSION_ARCH.deb in build/, or in the build folder given as
# $1) with CPack, checks it with lintian and prints its path. Install it with
#   sudo apt install ./build/rendora_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${1:-build}"
scripts/setup.sh
scripts/build.sh "$build_dir"
rm -f "$build_dir"/rendora_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
deb=$(ls "$build_dir"/rendora_*.deb)
lintian --fail-on error "$deb"
echo "$deb"
