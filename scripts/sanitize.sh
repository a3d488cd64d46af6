#!/usr/bin/env bash
# Builds the program and every test with the address and undefined-behaviour sanitizers (the
# CMake preset "sanitize") and runs the whole test suite on it, the tests that need a display
# under Xvfb as in scripts/test.sh. Any sanitizer report fails the run. Leaks the libraries keep
# for the life of the process are listed in scripts/sanitizer.supp and the sanitizer's misreadings
# of the libraries' types in scripts/ubsan.supp; ours are never there. Arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$(nproc)"
export NO_AT_BRIDGE=1
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset sanitize --timeout 900 "$@"
