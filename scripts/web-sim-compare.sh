#!/usr/bin/env bash
# Runs the simulator built for WebAssembly under Node on every golden session and compares its
# state, event log and back-buffer digests byte for byte with the recordings, which the native
# simulator replays exactly (GoldenTest): the rules must not depend on the compiler or the
# machine.
#
#     scripts/web-sim-compare.sh [NATIVE_BUILD] [WEB_BUILD]    # build and build-web by default
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native=$(cd "${1:-build}" && pwd)
web=$(cd "${2:-build-web}" && pwd)
sim="$web/plusrail-sim.js"
[ -f "$sim" ] || { echo "web-sim-compare: $sim is missing; run make web first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for script in "$root"/tests/golden/*.script; do
    name=$(basename "$script" .script)
    frames=$(sed -n '1s/^# frames \([0-9][0-9]*\)$/\1/p' "$script")
    dir="$work/$name"
    mkdir -p "$dir/game"
    ln -s "$native/game/bmp" "$dir/game/bmp"
    ln -s "$native/game/wave" "$dir/game/wave"
    # Node's own fetch cannot read a file path; the module is read from the disk instead.
    (cd "$dir" && node --no-experimental-fetch "$sim" --dir game --frames "$frames" \
        --input "$script" --clock-start 0 --state state.json --events events.txt \
        --digests digests.txt >out.txt 2>err.txt) || {
        echo "web-sim-compare: $name: the simulator failed"; cat "$dir/err.txt"; failed=1; continue; }
    for kind in state.json events.txt digests.txt; do
        if cmp -s "$root/tests/golden/$name.$kind" "$dir/$kind"; then
            echo "web-sim-compare: $name.$kind identical ($(wc -c <"$dir/$kind") bytes)"
        else
            echo "web-sim-compare: $name.$kind DIFFERS:"
            diff "$root/tests/golden/$name.$kind" "$dir/$kind" | head -5
            failed=1
        fi
    done
done
exit $failed
