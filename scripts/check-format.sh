#!/usr/bin/env bash
# Fails when a source file differs from what clang-format makes of it (.clang-format at the
# top), or a test line is longer than 100 columns.
#   scripts/check-format.sh          check
#   scripts/check-format.sh --fix    format every file in place
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "check-format: clang-format is missing" >&2; exit 2; }
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
status=0
if ! report=$(clang-format --dry-run --Werror "${files[@]}" 2>&1); then
    grep -E '^[^ ].*(error|warning):' <<<"$report" >&2 || echo "$report" >&2
    status=1
fi
# Characters, not bytes: a Japanese message counts one column a character, as clang-format counts.
if LC_ALL=C.UTF-8 grep -nP '^.{101,}' $(git ls-files 'tests/*.cpp' 'tests/*.h') >&2; then
    status=1
fi
[ "$status" -eq 0 ] && echo "check-format: ${#files[@]} files formatted"
exit "$status"
