#!/usr/bin/env bash
# The sanitizer run, CI's second step after scripts/test.sh: builds everything in build-fuzz
# (clang with AddressSanitizer, UndefinedBehaviorSanitizer and the fuzzing coverage), runs the
# whole test suite there (the programs the tests start are the sanitized ones), then every fuzz
# target for the given number of seconds (default 30). Fails on a failing test, on any sanitizer
# report (also one from a program a test started and did not watch) and on any fuzz finding.
# Usage: scripts/sanitize.sh [fuzz seconds]
set -euo pipefail
cd "$(dirname "$0")/.."

. scripts/sanitizer-env.sh
fuzz_seconds=${1:-30}
check_seconds "$fuzz_seconds" "scripts/sanitize.sh [fuzz seconds]"
./scripts/setup.sh --fuzz
configure_fuzz_build
cmake --build build-fuzz

# Reports go to files, so that none is lost in a child's unread output; the options built into the
# programs (cmake/sanitizer_defaults.cpp) apply as well.
reports=build-fuzz/sanitizer-reports
rm -rf "$reports"
mkdir -p "$reports"
check_leak_detection build-fuzz/fuzz/simulator_records_fuzzer -runs=0 -artifact_prefix=build-fuzz/
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}log_path=$PWD/$reports/report"
export UBSAN_OPTIONS="log_path=$PWD/$reports/report"

status=0
QT_QPA_PLATFORM=offscreen ctest --test-dir build-fuzz --output-on-failure -j2 || status=1
if [ -n "$(ls -A "$reports")" ]; then
  for report in "$reports"/*; do
    echo "==== $report"
    cat "$report"
  done
  echo "FAILED: sanitizer reports above"
  status=1
fi
unset ASAN_OPTIONS UBSAN_OPTIONS

./scripts/fuzz.sh "$fuzz_seconds" || status=1
exit $status
