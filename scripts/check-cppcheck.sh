#!/usr/bin/env bash
# Runs cppcheck over the core's folders and the platform layers; exits 1 on any finding that
# scripts/cppcheck-suppressions.txt (or an inline cppcheck-suppress comment) does not explain.
#   scripts/check-cppcheck.sh
set -euo pipefail
cd "$(dirname "$0")/.."

command -v cppcheck >/dev/null || { echo "check-cppcheck: cppcheck is not installed" >&2; exit 2; }

folders=(frame input sound shell options game scenes app platform)
exec cppcheck \
    --enable=warning,style,performance,portability \
    --std=c++20 --language=c++ -I . \
    --inline-suppr --suppressions-list=scripts/cppcheck-suppressions.txt \
    --error-exitcode=1 --quiet -j "$(nproc)" \
    --template='{file}:{line}: {severity} [{id}] {message}' \
    "${folders[@]}"
