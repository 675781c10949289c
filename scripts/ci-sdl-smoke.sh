#!/usr/bin/env bash
# Smoke test of the real SDL build: starts it on a virtual X server with a silent audio
# driver in a fresh working directory, presses Escape once the title is up, and checks that
# the game ended cleanly and wrote its three data files.
#   scripts/ci-sdl-smoke.sh [BUILD]
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
game="$build/plusrail"
[ -x "$game" ] || { echo "ci-sdl-smoke: $game has not been built" >&2; exit 1; }
for tool in xvfb-run xdotool; do
  command -v "$tool" >/dev/null || { echo "ci-sdl-smoke: $tool is missing" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# The generated pictures and sounds, when there are any; the game runs without them too.
for dir in bmp wave; do
  [ -d "$build/game/$dir" ] && ln -s "$build/game/$dir" "$work/$dir"
done

cat > "$work/drive.sh" <<'DRIVE'
#!/usr/bin/env bash
set -u
cd "$WORK"
"$GAME" 2> game.log &
pid=$!
window=""
for _ in $(seq 100); do
  window="$(xdotool search --name '^Untitled$' 2>/dev/null | head -n 1)" && [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "ci-sdl-smoke: no game window appeared" >&2
  kill "$pid" 2>/dev/null
  exit 1
fi
# The credits stay for 200 frames and fade out over 20 more: at 60 frames a second the
# title is up after less than four seconds.
sleep 6
xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key --clearmodifiers Escape
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "ci-sdl-smoke: the game did not end after Escape on the title" >&2
  kill "$pid"
  exit 1
fi
wait "$pid"
DRIVE
chmod +x "$work/drive.sh"

status=0
WORK="$work" GAME="$game" SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$work" \
  xvfb-run -a -s "-screen 0 1024x768x24" "$work/drive.sh" || status=$?
if [ "$status" -ne 0 ]; then
  echo "ci-sdl-smoke: the game ended with status $status" >&2
  sed 's/^/  game: /' "$work/game.log" >&2 || true
  exit 1
fi

expect_size() {
  local file="$work/$1" size="$2"
  if [ ! -f "$file" ]; then echo "ci-sdl-smoke: $1 was not written" >&2; return 1; fi
  local actual
  actual="$(stat -c %s "$file")"
  if [ "$actual" -ne "$size" ]; then
    echo "ci-sdl-smoke: $1 has $actual bytes, not $size" >&2
    return 1
  fi
}
expect_size config.dat 20
expect_size rank_n.dat 440
expect_size rank_e.dat 440
echo "ci-sdl-smoke: the game came up, ended on Escape and wrote its three files"
