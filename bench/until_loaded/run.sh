#!/usr/bin/env bash
# Builds the until-loaded benchmark and runs it under a virtual display.
# Usage: bench/until_loaded/run.sh [build folder] [Wait]
# Renders in this process through the browser control, then through the command line program.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-/tmp/rendora-bench}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" --target bench_until_loaded rendora -j1
NO_AT_BRIDGE=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/bench/until_loaded/bench_until_loaded" "${2:-10}"
NO_AT_BRIDGE=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/bench/until_loaded/bench_until_loaded" --command-line "$build/rendora" "${2:-10}"
