#!/usr/bin/env bash
# Starts the real game headless (SDL's dummy video and audio drivers) the ways a player would:
# from an unrelated folder, as BUILD/plusrail beside a game folder and as a game folder's own
# plusrail. Each time it must find its pictures and sounds, keep its three data files beside
# them rather than in the starting folder, and end cleanly on SIGTERM (a close request). A
# second start while the first runs must say the game is already running and end at once.
# Then the command line: help, version, a wrong argument, a start without a sound device, with
# --no-sound, without a display; and on an X screen (Xvfb) full screen and --window.
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

# START NAME [ENV...] -- ARGS...: starts the game from the unrelated folder with ENV, waits for
# it to end (10 seconds at most) and leaves its status in $status, its output in NAME.out and
# NAME.log.
start() {
  local name="$1"
  shift
  local env=()
  while [ "$1" != -- ]; do
    env+=("$1")
    shift
  done
  shift
  status=0
  (cd "$tmp/elsewhere" && exec env "${env[@]}" timeout 10 "$tmp/build/plusrail" "$@" \
    >"$tmp/$name.out" 2>"$tmp/$name.log") || status=$?
  [ "$status" -ne 124 ] || fail "$name: the game did not end by itself"
}

# The help, the version and a wrong argument: each where it belongs, with its status.
start help -- --help
[ "$status" -eq 0 ] || fail "--help ended with status $status"
[ ! -s "$tmp/help.log" ] || fail "--help wrote to stderr"
for says in "usage: plusrail \[--window\] \[--no-sound\] \[--replay FILE\]" \
  "Z, C *KEY 1, KEY 4 *confirm" "Enter *nothing" "EXPERT MODE" "3 the game could not start"; do
  grep -q "$says" "$tmp/help.out" || fail "--help does not say \"$says\""
done
start version -- --version
[ "$status" -eq 0 ] || fail "--version ended with status $status"
grep -qE "^plusrail [0-9][^ ]* \(rules version 1, replay format version 1\)$" \
  "$tmp/version.out" || fail "--version printed: $(cat "$tmp/version.out")"
start wrong -- --fullscreen
[ "$status" -eq 2 ] || fail "a wrong argument ended with status $status, not 2"
[ ! -s "$tmp/wrong.out" ] || fail "a wrong argument wrote to stdout"
grep -q "^usage: plusrail" "$tmp/wrong.log" || fail "a wrong argument did not give the usage"

# No sound device: the box (on stderr too) with Linux's way out, and status 3.
start nosound SDL_AUDIODRIVER=no-such-driver --
[ "$status" -eq 3 ] || fail "a start without a sound device ended with status $status, not 3"
grep -q "Could not open a sound device.*plusrail --no-sound" "$tmp/nosound.log" ||
  fail "a start without a sound device did not say how to play without sound"
grep -q "DirectSoundの構築に失敗しました。" "$tmp/nosound.log" ||
  fail "a start without a sound device did not give the message in Japanese"
if grep -qiE "\.cmd|Windows|browser|reload" "$tmp/nosound.log"; then
  fail "a start without a sound device gave another platform's advice"
fi

# The same machine with --no-sound (and --window) plays; SIGTERM ends it well.
(cd "$tmp/elsewhere" && SDL_AUDIODRIVER=no-such-driver exec "$tmp/build/plusrail" --no-sound \
  --window 2>"$tmp/silent.log") &
pid=$!
sleep 4.5
kill -0 "$pid" 2>/dev/null || fail "--no-sound: the game ended by itself"
kill -TERM "$pid"
wait_gone "$pid" 5 || fail "--no-sound: the game did not end on SIGTERM"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "--no-sound: the game ended with status $status"
if grep -q "sound device" "$tmp/silent.log"; then fail "--no-sound: a sound device was asked for"; fi

# No display at all: the game says so in both languages and ends with status 3, rather than
# running unseen and holding the lock; a start right after is not told it is already running.
start nodisplay -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER --
[ "$status" -eq 3 ] || fail "a start without a display ended with status $status, not 3"
grep -q "Could not create the game's window.*ウインドウの作成に失敗しました" "$tmp/nodisplay.log" ||
  fail "a start without a display did not say so in English and Japanese"
(cd "$tmp/elsewhere" && exec "$tmp/build/plusrail" 2>"$tmp/after.log") &
pid=$!
sleep 2
kill -0 "$pid" 2>/dev/null || fail "the start after a start without a display ended"
kill -TERM "$pid"
wait_gone "$pid" 5 || fail "the start after a start without a display did not end on SIGTERM"
wait "$pid" || true
if grep -q "already running" "$tmp/after.log"; then
  fail "the start after a start without a display was told the game is already running"
fi
# On a real X screen: full screen covers it, --window opens a window that does not.
if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
  cat >"$tmp/screen.sh" <<'SCREEN'
# GAME OUT ARGS...: the game's window size (WIDTHxHEIGHT) into OUT, a few seconds after start.
game="$1" out="$2"
shift 2
"$game" "$@" 2>/dev/null &
pid=$!
for _ in $(seq 50); do
  id=$(xdotool search --onlyvisible --name '^Untitled$' 2>/dev/null | head -1) || true
  [ -n "$id" ] && break
  sleep 0.1
done
sleep 1
[ -n "$id" ] && xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: //p' >"$out"
kill -TERM "$pid"
wait "$pid"
SCREEN
  # Under the sanitizers, leaks are not looked for here: SDL loads and unloads the system's X and
  # D-Bus libraries, which keep allocations of their own; the game's own are checked headless.
  x_asan="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
  for how in full window; do
    args=(--no-sound)
    [ "$how" = full ] || args+=(--window)
    (cd "$tmp/elsewhere" && env -u SDL_VIDEODRIVER ASAN_OPTIONS="$x_asan" xvfb-run -a -s "-screen 0 1024x768x24" \
      bash "$tmp/screen.sh" "$tmp/build/plusrail" "$tmp/$how.size" "${args[@]}") ||
      fail "$how: the game on an X screen did not end well"
  done
  [ "$(cat "$tmp/full.size" 2>/dev/null)" = 1024x768 ] ||
    fail "full screen: the window is $(cat "$tmp/full.size" 2>/dev/null), not the screen"
  window="$(cat "$tmp/window.size" 2>/dev/null)"
  [ -n "$window" ] && [ "${window%x*}" -lt 1024 ] ||
    fail "--window: the window is ${window:-not there}, not a window on the screen"
  echo "desktop-start-test: on a 1024x768 X screen, full screen $(cat "$tmp/full.size"), --window $window"
fi

echo "desktop-start-test: both layouts found their files from elsewhere; a second start ended;"
echo "desktop-start-test: help, version, wrong arguments, no sound device, --no-sound and no"
echo "desktop-start-test: display ended with their statuses and said what they should"
