#!/bin/bash
# fuzz-ci.sh [BUILD]: the short fuzz runs of CI. Configures and builds the
# fuzz build (Clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer; BUILD defaults to build-fuzz) and runs every
# target for FUZZ_SECONDS (30) on a copy of its committed corpus, so that the
# run does not grow the repository. Any finding -- a crash, a sanitizer
# report, a hang past 10 s, a leak, running out of memory -- fails the script
# after all targets ran; the input that found it is kept in
# BUILD/fuzz-findings/ and each target's log in BUILD/fuzz-logs/.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
seconds=${FUZZ_SECONDS:-30}

./scripts/apt-install.sh clang libclang-rt-14-dev || exit 1
cmake -S . -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DLAGRULL_GUI=OFF -DLAGRULL_FUZZ=ON -DLAGRULL_BENCH=OFF -DLAGRULL_TESTS=OFF >/dev/null || exit 1
cmake --build "$build" --target fuzz_targets || exit 1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/fuzz-findings" "$build/fuzz-logs"
failed=()
for dir in tests/fuzz/corpus/*/; do
  t=$(basename "$dir")
  mkdir -p "$work/$t"
  cp "$dir"* "$work/$t/"
  log="$build/fuzz-logs/$t.log"
  rm -f "$build/fuzz-findings/$t-"*
  if "$build/tests/fuzz/fuzz_$t" "$work/$t" -dict="tests/fuzz/dict/$t.dict" \
       -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$build/fuzz-findings/$t-" >"$log" 2>&1; then
    echo "fuzz_$t: $(grep -E '^stat::number_of_executed_units' "$log" | cut -d' ' -f2) kjøringer, ingen funn"
  else
    echo "fuzz_$t: FUNN (se $log)"
    grep -E '^(==[0-9]+==|SUMMARY|artifact_prefix|Test unit written)' "$log" | head -5
    # The finding's input, in hex, so that it can be replayed from CI's output.
    for unit in "$build/fuzz-findings/$t-"*; do
      [ -f "$unit" ] || continue
      echo "Inndata ($(basename "$unit"), hex): $(head -c 2048 "$unit" | od -An -tx1 -v | tr -d ' \n')"
    done
    failed+=("$t")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing fant feil i: ${failed[*]}" >&2
  exit 1
fi
echo "Fuzzing: ingen funn"
