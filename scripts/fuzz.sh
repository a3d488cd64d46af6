#!/usr/bin/env bash
# Builds the fuzzing harnesses with clang (libFuzzer, address and undefined-behaviour sanitizers)
# and runs each for SECONDS (default 30) on its committed seed corpus. New inputs found go to
# the build folder's own corpus, crashes to its artifacts folder; a harness that finds a fault
# fails the script. FUZZ_BUILD names another build folder (default: build-fuzz in the checkout).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
build="${FUZZ_BUILD:-build-fuzz}"
harnesses=(link_scanner harvest address_rules text profile_file address_template robots_txt crawl_journal)
# Input sizes: the step-by-step references run only on short pages inside the harnesses.
declare -A max_len=([link_scanner]=4096 [harvest]=4096 [address_rules]=2048 [text]=2048
                    [profile_file]=2048 [address_template]=1024 [robots_txt]=4096
                    [crawl_journal]=2048)

cmake -S tests/fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  > "$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
targets=()
for harness in "${harnesses[@]}"; do targets+=(--target "fuzz_$harness"); done
cmake --build "$build" -j"${FUZZ_JOBS:-1}" "${targets[@]}"

failed=0
for harness in "${harnesses[@]}"; do
  mkdir -p "$build/corpus/$harness" "$build/artifacts"
  echo "== fuzz_$harness for ${seconds}s"
  if ! "$build/fuzz_$harness" -max_total_time="$seconds" -max_len="${max_len[$harness]}" \
      -print_final_stats=1 -artifact_prefix="$build/artifacts/$harness-" \
      "$build/corpus/$harness" "tests/fuzz/corpus/$harness" 2>"$build/$harness.log"; then
    tail -n 40 "$build/$harness.log"
    failed=1
  fi
  grep -a "DONE" "$build/$harness.log" | tail -n 1 || true
done
exit "$failed"
