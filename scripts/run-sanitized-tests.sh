#!/usr/bin/env bash
# The whole test suite built with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan/; any report stops the test that made it, so every test passing means nothing
# was reported.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${PLUSRAIL_ASAN_BUILD:-build-asan}"
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

scripts/install-deps.sh --sanitizers
# Benchmarks are left out: they are no test, and under the sanitizers only slow the build.
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$build" -j "$(nproc)"
# Leaks are faults too; a report halts the process, which fails its test.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build" && ctest --output-on-failure -j "$(nproc)"
