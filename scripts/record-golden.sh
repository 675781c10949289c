#!/bin/sh
# Re-records the golden sessions: runs plusrail-sim on every tests/golden/*.script and rewrites
# NAME.state.json, NAME.events.txt and NAME.digests.txt beside it.
#
#     scripts/record-golden.sh [BUILD]      # BUILD defaults to build
#
# The golden test (GoldenTest in tests/golden_test.cpp) compares these files byte for byte, so
# re-record only for an intended change of behaviour or of the pictures, never to make a failing
# test pass. Look at the differences (git diff tests/golden) and say in the commit message why
# they had to change.
#
# Each script starts with a line "# frames N": the number of FrameCallback calls to run. Every
# session starts in an empty directory with the generated pictures and sounds of BUILD, at
# calendar time 0, exactly as the test runs it.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
sim="$build/plusrail-sim"
golden="$root/tests/golden"

[ -x "$sim" ] || { echo "record-golden: $sim is missing; build first" >&2; exit 1; }
for kind in bmp wave; do
    [ -d "$build/game/$kind" ] || { echo "record-golden: $build/game/$kind is missing; build the assets first" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for script in "$golden"/*.script; do
    name=$(basename "$script" .script)
    frames=$(sed -n '1s/^# frames \([0-9][0-9]*\)$/\1/p' "$script")
    [ -n "$frames" ] || { echo "record-golden: $script does not start with \"# frames N\"" >&2; exit 1; }
    dir="$work/$name"
    mkdir -p "$dir"
    ln -s "$build/game/bmp" "$dir/bmp"
    ln -s "$build/game/wave" "$dir/wave"
    "$sim" --dir "$dir" --frames "$frames" --input "$script" --clock-start 0 \
        --state "$golden/$name.state.json" --events "$golden/$name.events.txt" \
        --digests "$golden/$name.digests.txt"
    echo "record-golden: $name ($frames frames)"
done
