#!/usr/bin/env bash
# Re-records the golden sessions: runs plusrail-sim on every tests/golden/*.script and rewrites
# NAME.state.json, NAME.events.txt and NAME.digests.txt beside it, and NAME.FILE.rpl for each
# replay the session leaves in its replays/ folder.
#
#     scripts/record-golden.sh [BUILD] [GOLDEN]  # build and tests/golden by default
#
# The golden test (GoldenTest in tests/golden_test.cpp) compares these files byte for byte, so
# re-record only for an intended change of behaviour or of the pictures, never to make a failing
# test pass. Look at the differences (git diff tests/golden) and say in the commit message why
# they had to change.
#
# Each script starts with a line "# frames N": the number of FrameCallback calls to run. Every
# session starts in an empty directory with the generated pictures and sounds of BUILD, at
# calendar time 0, exactly as the test runs it (scripts/lib/common.sh, golden_session).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/common.sh"
build=$(cd "${1:-build}" && pwd)
golden=$(cd "${2:-$root/tests/golden}" && pwd)
sim="$build/plusrail-sim"

[ -x "$sim" ] || { echo "record-golden: $sim is missing; build first" >&2; exit 1; }
for kind in bmp wave; do
    [ -d "$build/game/$kind" ] ||
        { echo "record-golden: $build/game/$kind is missing; build the assets first" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for script in "$golden"/*.script; do
    name=$(basename "$script" .script)
    golden_session "$work/$name" "$script" "$build/game" "$sim"
    for kind in state.json events.txt digests.txt; do
        cp "$work/$name/$kind" "$golden/$name.$kind"
    done
    # The replays as the session left them: none recorded before survives a session that no
    # longer writes it.
    rm -f "$golden/$name".*.rpl
    for replay in "$work/$name"/game/replays/*.rpl; do
        [ -e "$replay" ] || continue
        cp "$replay" "$golden/$name.$(basename "$replay")"
    done
    echo "record-golden: $name ($(golden_frames "$script") frames)"
done
