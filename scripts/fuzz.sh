#!/usr/bin/env bash
# Builds the fuzz targets (build-fuzz: clang with AddressSanitizer, UndefinedBehaviorSanitizer and
# libFuzzer) and runs each for the given number of seconds (default 60), one a core, starting
# from its seed corpus in fuzz/<target>/corpus/, with the words of fuzz/<target>/dict where it
# has one. Fails on any crash, leak, sanitizer report, broken check or input that takes more
# than 10 s; the input is kept in build-fuzz/fuzz-runs/<target>/findings/ and the target's log
# shown. Inputs found interesting are kept in build-fuzz/fuzz-runs/<target>/corpus/ for the next
# run; the repository's seed corpus is never written.
# Usage: scripts/fuzz.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."

usage="scripts/fuzz.sh [seconds] [target...]"
. scripts/sanitizer-env.sh
seconds=${1:-60}
check_seconds "$seconds" "$usage"
shift || true

# A target is a folder of fuzz/ with a seed corpus.
known=()
for corpus in fuzz/*/corpus; do known+=("$(basename "$(dirname "$corpus")")"); done
targets=("$@")
for target in "${targets[@]}"; do
  if [[ ! $target =~ ^[A-Za-z0-9_]+$ ]] || [ ! -d "fuzz/$target/corpus" ]; then
    echo "fuzz.sh: no fuzz target '$target' (no fuzz/$target/corpus); targets: ${known[*]}" >&2
    echo "Usage: $usage" >&2
    exit 2
  fi
done
[ ${#targets[@]} -gt 0 ] || targets=("${known[@]}")

./scripts/setup.sh --fuzz
configure_fuzz_build
cmake --build build-fuzz --target grainlink_fuzzers
check_leak_detection build-fuzz/fuzz/simulator_records_fuzzer -runs=0 -artifact_prefix=build-fuzz/

# One target; its log and a "failed" mark stay in its runs folder.
fuzz_one() {
  local target=$1 runs=build-fuzz/fuzz-runs/$1
  mkdir -p "$runs/corpus" "$runs/findings"
  rm -f "$runs/failed"
  local dict=()
  [ -f "fuzz/$target/dict" ] && dict=(-dict="fuzz/$target/dict")
  "build-fuzz/fuzz/${target}_fuzzer" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -artifact_prefix="$runs/findings/" -print_final_stats=1 "${dict[@]}" \
    "$runs/corpus" "fuzz/$target/corpus" >"$runs/log" 2>&1 || touch "$runs/failed"
}

# As many targets at once as there are cores: each runs on one.
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do wait -n || true; done
  echo "fuzzing $target for $seconds s"
  fuzz_one "$target" &
done
wait

failed=()
for target in "${targets[@]}"; do
  runs=build-fuzz/fuzz-runs/$target
  if [ -e "$runs/failed" ]; then
    echo "--- $target:"
    tail -n 60 "$runs/log"
    failed+=("$target")
  fi
  echo "$target:"
  grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$runs/log" | tail -n 2 | sed 's/^/  /' || true
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]} (inputs in build-fuzz/fuzz-runs/<target>/findings/)"
  exit 1
fi
echo "every fuzz target ran $seconds s without a finding"
