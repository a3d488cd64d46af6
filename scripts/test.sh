#!/usr/bin/env bash
# Installs what is missing, builds Rendora with its tests and runs every test. The tests that
# need a display run under Xvfb (1280x1024, 24 bits).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
cd build
export NO_AT_BRIDGE=1
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure --timeout 900 "$@"
../scripts/fuzz.sh 30
../scripts/sanitize.sh
../scripts/check_format.sh
