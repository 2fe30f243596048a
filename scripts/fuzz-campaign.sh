#!/bin/bash
# fuzz-campaign.sh BUILD [TARGET...]: a long fuzzing run of the targets of a
# -DLAGRULL_FUZZ=ON build, one after the other (one process at a time, at low
# priority, so the machine stays usable). Each target runs until its number
# of executions (FUZZ_RUNS, 1,000,000 for the two heavy ones) or its time
# (FUZZ_SECONDS) is reached, on a working copy of its corpus that grows; a
# finding stops the target, its input is kept under artifacts/, and the run
# goes on with the next target. Logs and corpora go to FUZZ_OUT
# (.campaign/); merge a grown corpus back with
#   fuzz_X -merge=1 tests/fuzz/corpus/X .campaign/corpus/X
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:?"bruk: $0 BYGGEKATALOG [MÅL...]"}
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(return_file rtf_reader ini expression postnr giro_export
                                     member_import template_engine script_host transmission)
out=${FUZZ_OUT:-.campaign}
mkdir -p "$out/corpus" "$out/artifacts"
for t in "${targets[@]}"; do
  runs=${FUZZ_RUNS:-10000000}
  case $t in template_engine | script_host) runs=${FUZZ_HEAVY_RUNS:-1000000} ;; esac
  mkdir -p "$out/corpus/$t"
  cp -n tests/fuzz/corpus/"$t"/* "$out/corpus/$t/" 2>/dev/null
  echo "=== $t: $runs kjøringer, høyst ${FUZZ_SECONDS:-600} s ($(date -u +%H:%M:%S))"
  nice -n 10 "$build/tests/fuzz/fuzz_$t" "$out/corpus/$t" \
    -dict="tests/fuzz/dict/$t.dict" -runs="$runs" -max_total_time="${FUZZ_SECONDS:-600}" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/$t-" >"$out/$t.log" 2>&1
  echo "    slutt $?: $(grep -E '^#[0-9]+' "$out/$t.log" | tail -1)"
  grep -E '^stat::number_of_executed_units' "$out/$t.log"
done
