#!/usr/bin/env bash
# Starts the game built in BUILD, in BUILD/game: the game reads its pictures and sounds from
# its working directory and writes its settings and rankings there.
set -euo pipefail
build="${1:-build}"
if [ ! -e "$build/plusrail" ]; then
  echo "run.sh: $build/plusrail has not been built (the SDL2 development files are needed)" >&2
  exit 1
fi
mkdir -p "$build/game"
cd "$build/game"
exec ../plusrail
