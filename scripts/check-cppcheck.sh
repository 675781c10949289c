#!/usr/bin/env bash
# Runs cppcheck over the folders of the program (the kinds rules, core and hosts in layers.txt);
# exits 1 on any finding that scripts/cppcheck-suppressions.txt (or an inline cppcheck-suppress
# comment) does not explain.
#   scripts/check-cppcheck.sh
set -euo pipefail
cd "$(dirname "$0")/.."

command -v cppcheck >/dev/null || { echo "check-cppcheck: cppcheck is not installed" >&2; exit 2; }

# The folders of the program: lines "folder kind" of layers.txt, past its comments.
mapfile -t folders < <(awk '!/^#/ && $2 ~ /^(rules|core|hosts)$/ { print $1 }' layers.txt)
if [ "${#folders[@]}" -eq 0 ]; then
    echo "check-cppcheck: layers.txt names no folder of the rules, the core or the hosts" >&2
    exit 2
fi
exec cppcheck \
    --enable=warning,style,performance,portability \
    --std=c++20 --language=c++ -I . \
    --inline-suppr --suppressions-list=scripts/cppcheck-suppressions.txt \
    --error-exitcode=1 --quiet -j "$(nproc)" \
    --template='{file}:{line}: {severity} [{id}] {message}' \
    "${folders[@]}"
