#!/usr/bin/env bash
# Builds the core's tests with the address and undefined-behaviour sanitizers (the CMake preset
# "sanitize") and runs them; any sanitizer report fails the run. Leaks the libraries keep for the
# life of the process are listed in scripts/sanitizer.supp; ours are never there.
set -euo pipefail
cd "$(dirname "$0")/.."
core_tests=(test_base test_settings test_net test_convert test_download)
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$(nproc)" --target "${core_tests[@]}"
ctest --preset sanitize --timeout 900 -R '^(base|settings|net|convert|download)\.'
