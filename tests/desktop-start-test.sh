#!/usr/bin/env bash
# Starts the real game headless (SDL's dummy video and audio drivers) the ways a player would:
# from an unrelated folder, as BUILD/plusrail beside a game folder and as a game folder's own
# plusrail. Each time it must find its pictures and sounds, keep its three data files beside
# them rather than in the starting folder, and end cleanly on SIGTERM (a close request). A
# second start while the first runs must say the game is already running and end at once.
#   tests/desktop-start-test.sh BUILD
set -euo pipefail
build="$(cd "${1:?usage: desktop-start-test.sh BUILD}" && pwd)"

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "desktop-start-test: $*" >&2
  for log in "$tmp"/*.log; do
    [ -f "$log" ] && { echo "--- $log" >&2; cat "$log" >&2; }
  done
  exit 1
}

# The two layouts: an executable with a game folder beside it (the build), and a game folder
# holding its executable (an unpacked game). Copies, not links: the game looks beside the
# file it was started from.
mkdir -p "$tmp/build/game" "$tmp/unpacked" "$tmp/elsewhere"
cp "$build/plusrail" "$tmp/build/plusrail"
cp "$build/plusrail" "$tmp/unpacked/plusrail"
for dir in bmp wave; do
  ln -s "$build/game/$dir" "$tmp/build/game/$dir"
  ln -s "$build/game/$dir" "$tmp/unpacked/$dir"
done

export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$tmp"

wait_gone() {  # PID SECONDS: true once the process has ended
  for _ in $(seq $((10 * $2))); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}

# Starts GAME from the unrelated folder; when SECOND is set, starts it again while the first
# runs. Then closes the first and checks where its files went (FOLDER).
run() {
  local game="$1" folder="$2" name="$3" second="${4:-}"
  (cd "$tmp/elsewhere" && exec "$game" 2>"$tmp/$name.log") &
  local pid=$!
  # The credits take about four seconds; the title is up after them.
  sleep 4.5
  kill -0 "$pid" 2>/dev/null || fail "$name: the game ended by itself"
  if [ -n "$second" ]; then
    (cd "$tmp/elsewhere" && exec "$game" 2>"$tmp/$name-second.log") &
    local again=$!
    wait_gone "$again" 3 || fail "$name: a second start did not end"
    wait "$again" || fail "$name: a second start ended with status $?"
    grep -q "already running" "$tmp/$name-second.log" ||
      fail "$name: a second start did not say the game is already running"
    kill -0 "$pid" 2>/dev/null || fail "$name: a second start ended the first"
  fi
  kill -TERM "$pid"
  wait_gone "$pid" 5 || fail "$name: the game did not end on SIGTERM"
  local status=0
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "$name: the game ended with status $status"
  if grep -E "(BMP|WAVE)\[" "$tmp/$name.log" | grep -q "Could not open"; then
    fail "$name: pictures or sounds were not found"
  fi
  for file in config.dat rank_n.dat rank_e.dat; do
    [ -s "$folder/$file" ] || fail "$name: $file was not kept in $folder"
  done
  [ -z "$(ls -A "$tmp/elsewhere")" ] || fail "$name: files were written in the starting folder"
}

run "$tmp/build/plusrail" "$tmp/build/game" build second
run "$tmp/unpacked/plusrail" "$tmp/unpacked" unpacked
echo "desktop-start-test: both layouts found their files from elsewhere; a second start ended"
