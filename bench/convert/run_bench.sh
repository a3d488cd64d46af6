#!/usr/bin/env bash
# Builds the conversion benchmark and runs it under a virtual display.
# Usage: bench/convert/run_bench.sh [build folder] [repetitions at Wait 1] [repetitions at Wait 10]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-/tmp/rendora-bench}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" --target bench_convert -j2
NO_AT_BRIDGE=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/bench/convert/bench_convert" "${2:-5}" "${3:-3}"
