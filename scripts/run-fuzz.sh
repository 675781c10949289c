#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer)
# in build-fuzz/ and runs each for SECONDS (default 30) on a copy of its seed corpus, so the
# checked-in corpus does not grow. Fails on the first crash, leak or sanitizer report; the
# input that caused it is left in the run's directory, named in the output.
#   scripts/run-fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
build="${PLUSRAIL_FUZZ_BUILD:-build-fuzz}"

scripts/install-deps.sh --sanitizers
# The ranking server's target stores into SQLite and hashes with OpenSSL.
scripts/install-deps.sh --server
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPLUSRAIL_FUZZ=ON >/dev/null
cmake --build "$build" -j "$(nproc)"

bin="$(cd "$build" && pwd)/fuzz"
work="$(mktemp -d "${TMPDIR:-/tmp}/plusrail-fuzz.XXXXXX")"
failed=()
for source in fuzz/fuzz_*.cpp; do
  target="$(basename "$source" .cpp)"
  run="$work/$target"
  mkdir -p "$run/corpus"
  if [ -d "fuzz/corpus/$target" ]; then cp "fuzz/corpus/$target"/* "$run/corpus/"; fi
  echo "== $target: ${seconds}s"
  if (cd "$run" && "$bin/$target" -max_total_time="$seconds" \
        -artifact_prefix="$run/" -print_final_stats=1 corpus >"$run/log.txt" 2>&1); then
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$run/log.txt" || true
  else
    tail -n 40 "$run/log.txt"
    echo "$target FAILED; its log and the input are in $run" >&2
    failed+=("$target")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}" >&2
  exit 1
fi
rm -rf "$work"
