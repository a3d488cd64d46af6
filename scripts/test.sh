#!/usr/bin/env bash
# Installs what is missing, builds Rendora with its tests and runs every test. The tests that
# need a display run under Xvfb (1280x1024, 24 bits).
#
#   scripts/test.sh            the build and every test: whether the build works
#   scripts/test.sh --full     also each fuzzing harness for 30 s, the whole suite again on a
#                              build with the address and undefined-behaviour sanitizers, and the
#                              layout check (what CI runs)
#
# Other arguments go to ctest (e.g. -R '^cli\.').
set -euo pipefail
cd "$(dirname "$0")/.."
full=false
ctest_arguments=()
for argument in "$@"; do
  if [ "$argument" = "--full" ]; then full=true; else ctest_arguments+=("$argument"); fi
done
scripts/setup.sh
scripts/build.sh build
(
  cd build
  export NO_AT_BRIDGE=1
  # Tests without a window run side by side (the command-line tests start a display each); the
  # window and browser tests share one display, where a view covered by another would be
  # throttled, so they run one at a time.
  ctest --output-on-failure --timeout 900 -LE display -j "$(nproc)" "${ctest_arguments[@]}"
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure --timeout 900 -L display \
    "${ctest_arguments[@]}"
)
if $full; then
  scripts/fuzz.sh 30
  scripts/sanitize.sh
  scripts/check_format.sh
fi
