#!/bin/sh
# Soaks the whole program: plusrail-sim --soak drives it for FRAMES frames with random but valid
# presses through every screen and checks its invariants after each frame (walls and floor of
# the field, line values, phase and SceneId, counters, bitmap and wave slots, no allocation
# during play, a steady resident size).
#
#     scripts/run-soak.sh FRAMES [BUILD] [SEED]     # BUILD defaults to build, SEED to 1
#
# The run starts in an empty directory with BUILD's generated pictures and sounds and a normal
# ranking of ten empty entries, so that finished games reach the name entry. Exits 1 with the
# frame and the broken invariant on the first violation.
set -eu

[ $# -ge 1 ] || { echo "usage: scripts/run-soak.sh FRAMES [BUILD] [SEED]" >&2; exit 2; }
frames=$1
build=$(cd "${2:-build}" && pwd)
seed=${3:-1}
sim="$build/plusrail-sim"

[ -x "$sim" ] || { echo "run-soak: $sim is missing; build first" >&2; exit 1; }
for kind in bmp wave; do
    [ -d "$build/game/$kind" ] || { echo "run-soak: $build/game/$kind is missing; build the assets first" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$build/game/bmp" "$work/bmp"
ln -s "$build/game/wave" "$work/wave"
# 440 zero bytes: ten entries with blank names and no score, so any scoring game ranks.
head -c 440 /dev/zero > "$work/rank_n.dat"

"$sim" --dir "$work" --soak "$frames" --soak-seed "$seed"
