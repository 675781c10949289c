#!/usr/bin/env bash
# Runs the simulator built for WebAssembly under Node on every golden session and compares its
# state, event log, back-buffer digests and replays byte for byte with the recordings, which
# the native simulator replays exactly (GoldenTest): the rules must not depend on the compiler
# or the machine.
#
#     scripts/web-sim-compare.sh [NATIVE_BUILD] [WEB_BUILD]    # build and build-web by default
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/common.sh"
native=$(cd "${1:-build}" && pwd)
web=$(cd "${2:-build-web}" && pwd)
sim="$web/plusrail-sim.js"
[ -f "$sim" ] || { echo "web-sim-compare: $sim is missing; run make web first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
# Under Node as natively: the help and the version on stdout with status 0, a wrong argument
# refused with status 2.
status=0
node "$sim" --help >"$work/help.txt" || status=$?
if [ "$status" -ne 0 ] || ! grep -q "^usage: plusrail-sim" "$work/help.txt"; then
    echo "web-sim-compare: --help under Node ended with status $status or gave no usage"
    failed=1
fi
status=0
node "$sim" --version >"$work/version.txt" || status=$?
if [ "$status" -ne 0 ] || ! grep -qE "^plusrail-sim [0-9].*rules version" "$work/version.txt"; then
    echo "web-sim-compare: --version under Node ended with status $status or named no version"
    failed=1
fi
status=0
node "$sim" --bogus 2>/dev/null || status=$?
[ "$status" -eq 2 ] || { echo "web-sim-compare: a wrong argument under Node ended $status"; failed=1; }
for script in "$root"/tests/golden/*.script; do
    name=$(basename "$script" .script)
    if golden_session "$work/$name" "$script" "$native/game" node "$sim" &&
       golden_compare "$root/tests/golden" "$name" "$work/$name"; then
        echo "web-sim-compare: $name identical ($(cat "$work/$name"/*.{json,txt} | wc -c) bytes)"
    else
        echo "web-sim-compare: $name DIFFERS"
        failed=1
    fi
done
exit $failed
