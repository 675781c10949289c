#!/usr/bin/env bash
# The game's window on a 2560 x 1440 desktop (a virtual X server with no window manager, so
# the work area is the whole screen and windows have no frame): Alt+Enter from full screen
# gives a 3x window, 1920 x 1440, centred, whose picture is the game's 640 x 480 one with every
# pixel a 3 x 3 block; resizing it snaps to 2x; full screen and back returns to the factor it
# had. Escape then ends the game cleanly.
#   tests/window-scale-test.sh BUILD [SHOTDIR]    # leaves SHOTDIR/window-3x.png, window-2x.png
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:?usage: window-scale-test.sh BUILD [SHOTDIR]}" && pwd)"
shots="$(mkdir -p "${2:-$build/shots}" && cd "${2:-$build/shots}" && pwd)"
for tool in xvfb-run xdotool xwd python3; do
  command -v "$tool" >/dev/null || { echo "window-scale-test: $tool is missing" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for dir in bmp wave; do
  ln -s "$build/game/$dir" "$work/$dir"
done

# Checks a screenshot: the window's client area at (X, Y) holds the picture at FACTOR, each
# of its 640 x 480 pixels a FACTOR x FACTOR block of one colour, and the picture is not blank;
# writes the whole screen as a PNG.
cat > "$work/blocks.py" <<'PY'
import runpy
import sys

shot, png, x0, y0, factor = sys.argv[1], sys.argv[2], *map(int, sys.argv[3:6])
xwd = runpy.run_path(sys.argv[6])
width, height, _, rows = xwd["read_xwd"](shot)
xwd["write_png"](png, width, height, rows)
if x0 + 640 * factor > width or y0 + 480 * factor > height:
    sys.exit("window-scale-test: the picture would leave the screen")
broken, colours = 0, {}
for py in range(480):
    for px in range(640):
        block = {rows[y0 + py * factor + dy][x0 + px * factor + dx]
                 for dy in range(factor) for dx in range(factor)}
        if len(block) != 1:
            broken += 1
        pixel = rows[y0 + py * factor][x0 + px * factor]
        colours[pixel] = colours.get(pixel, 0) + 1
commonest = max(colours.values()) / (640 * 480)
print("window-scale-test: %dx picture, %d colours, the commonest on %.1f%%, %d blocks not of "
      "one colour" % (factor, len(colours), commonest * 100, broken))
if broken:
    sys.exit(1)
# Still the credits, mostly black: the caller waits for the title.
if len(colours) < 8 or commonest > 0.98:
    sys.exit(2)
PY

cat > "$work/drive.sh" <<'DRIVE'
#!/usr/bin/env bash
set -u
cd "$WORK"
fail() { echo "window-scale-test: $*" >&2; kill "$pid" 2>/dev/null; exit 1; }
"$GAME" 2> game.log &
pid=$!
window=""
for _ in $(seq 100); do
  window="$(xdotool search --name '^Untitled$' 2>/dev/null | head -n 1)" && [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$window" ] || fail "no game window appeared"
geometry() {  # the window's client area: "X Y WIDTH HEIGHT"
  xdotool getwindowgeometry --shell "$window" |
    awk -F= '{v[$1]=$2} END {print v["X"], v["Y"], v["WIDTH"], v["HEIGHT"]}'
}
expect_geometry() {  # WANT WHAT: waits up to five seconds for the window to take that shape
  local seen=""
  for _ in $(seq 50); do
    seen="$(geometry)"
    [ "$seen" = "$1" ] && return 0
    sleep 0.1
  done
  fail "$2: the window is at $seen, not $1"
}
focus() { xdotool windowfocus --sync "$window" 2>/dev/null; }
alt_enter() {
  focus
  xdotool keydown alt keydown Return keyup Return keyup alt
}
shoot() {  # NAME X Y FACTOR: waits for the title (the credits take longer on a slow machine)
  local status
  for _ in $(seq 30); do
    sleep 0.5
    xwd -root -silent > "$WORK/$1.xwd" || fail "no screenshot"
    status=0
    python3 "$WORK/blocks.py" "$WORK/$1.xwd" "$SHOTS/$1.png" "$2" "$3" "$4" "$XWD_CHECK" ||
      status=$?
    [ "$status" -eq 0 ] && return 0
    [ "$status" -eq 2 ] || fail "$1: the window does not show the picture at ${4}x"
  done
  fail "$1: the title never came up"
}
# The game starts in full screen.
focus
expect_geometry "0 0 2560 1440" "full screen"
alt_enter
expect_geometry "320 0 1920 1440" "Alt+Enter into a window"
shoot window-3x 320 0 3
# The player drags the window smaller: it snaps to 2x and keeps its place.
xdotool windowsize "$window" 1400 1000
expect_geometry "320 0 1280 960" "resized to 1400 x 1000"
shoot window-2x 320 0 2
alt_enter
expect_geometry "0 0 2560 1440" "Alt+Enter back to full screen"
alt_enter
expect_geometry "640 240 1280 960" "Alt+Enter into the window again"
focus
xdotool key --clearmodifiers Escape
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the game did not end after Escape on the title"
wait "$pid"
DRIVE
chmod +x "$work/drive.sh"

status=0
# Under the sanitizers, leaks are not looked for here: SDL loads and unloads the system's X and
# D-Bus libraries, which keep allocations of their own; the game's own are checked headless.
WORK="$work" GAME="$build/plusrail" SHOTS="$shots" XWD_CHECK="$root/scripts/xwd-check.py" \
  SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$work" ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
  xvfb-run -a -s "-screen 0 2560x1440x24" "$work/drive.sh" || status=$?
if [ "$status" -ne 0 ]; then
  echo "window-scale-test: the run failed with status $status" >&2
  sed 's/^/  game: /' "$work/game.log" >&2 || true
  exit 1
fi
echo "window-scale-test: 3x window, snapped to 2x, full screen and back; $shots/window-3x.png"
