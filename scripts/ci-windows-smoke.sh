#!/usr/bin/env bash
# Smoke runs of the Windows game under Wine on a virtual X server, each in a fresh copy of
# build-windows/dist: the game must reach the title, take Escape, end with status 0 and leave
# the three data files byte for byte as the Linux build leaves them after the same session.
#   - on a 640 x 480 x 16 screen (the full-screen mode is the desktop's own), with a picture of
#     the title that must not be blank, twice in the same folder (the second save replaces the
#     first one's files);
#   - on a 1024 x 768 x 24 screen in a window: Wine's own desktop window, in which the forced
#     16-bit full-screen mode is set;
#   - on a 1024 x 768 x 16 screen in Wine's desktop window with Alt+Enter into the windowed mode
#     and back before Escape (the windowed picture is taken: a 640 x 480 window centred on the
#     1024 x 768 desktop);
#   - plusrail.exe --replay FILE on a golden session's replay, to its recorded result, and on a
#     file that is not there.
#   scripts/ci-windows-smoke.sh [BUILD] [WINDOWS_BUILD] [WORK]
# WINEPREFIX and ALSA_CONFIG_PATH are used as set (scripts/ci-windows.sh sets both); without
# them a prefix and a null ALSA device are made in WORK.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-build}" && pwd)"
wbuild="$(cd "${2:-build-windows}" && pwd)"
work="${3:-$(mktemp -d)}"
mkdir -p "$work"
work="$(cd "$work" && pwd)"
for tool in wine xvfb-run xdotool xwd; do
  command -v "$tool" >/dev/null || { echo "ci-windows-smoke: $tool is missing" >&2; exit 1; }
done
[ -x "$build/plusrail" ] || { echo "ci-windows-smoke: $build/plusrail has not been built" >&2; exit 1; }
[ -f "$wbuild/dist/plusrail.exe" ] || { echo "ci-windows-smoke: $wbuild/dist is missing; make windows" >&2; exit 1; }
export WINEDEBUG="${WINEDEBUG:--all}"
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="$work/prefix" WINEDLLOVERRIDES="mscoree,mshtml="
  wineboot -i
fi
# A new prefix is still being written by processes that outlive wineboot; a caller's may still
# be ending its last Wine programs, with a desktop on another X server (or none). The first run
# below starts the prefix's server afresh, as every later one does.
wineserver -w
if [ -z "${ALSA_CONFIG_PATH:-}" ]; then
  printf 'pcm.!default { type null }\nctl.!default { type null }\n' > "$work/asound.conf"
  export ALSA_CONFIG_PATH="$work/asound.conf"
fi

# The session, driven inside the X server: wait for the window, let the credits pass (200
# frames and a 20-frame fade at 60 a second), take a picture, optionally toggle, Escape.
cat > "$work/drive.sh" <<'DRIVE'
#!/usr/bin/env bash
set -u
cd "$RUN"
$GAME > game.log 2>&1 &
pid=$!
window=""
for _ in $(seq 150); do
  window="$(xdotool search --name "$WINDOW_NAME" 2>/dev/null | head -n 1)" && [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if [ -z "$window" ]; then
  echo "ci-windows-smoke: no game window appeared" >&2
  kill "$pid" 2>/dev/null
  exit 1
fi
sleep 7
xwd -root -silent > title.xwd
xdotool windowfocus --sync "$window" 2>/dev/null
if [ "${TOGGLE:-0}" = 1 ]; then
  xdotool keydown alt keydown Return keyup Return keyup alt
  sleep 2
  xwd -root -silent > windowed.xwd
  xdotool keydown alt keydown Return keyup Return keyup alt
  sleep 2
fi
xdotool key --clearmodifiers Escape
for _ in $(seq 150); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "ci-windows-smoke: the game did not end after Escape on the title" >&2
  kill "$pid"
  exit 1
fi
wait "$pid"
DRIVE
chmod +x "$work/drive.sh"

# run NAME SCREEN GAME WINDOW_NAME [TOGGLE [AGAIN]]; AGAIN=1 runs in NAME's folder as the last
# run left it, so that the save replaces the files there.
run() {
  local name="$1" screen="$2" game="$3" window="$4" toggle="${5:-0}" again="${6:-0}" status=0
  local dir="$work/$name"
  if [ "$again" != 1 ]; then
    rm -rf "$dir"
    mkdir -p "$dir"
    cp -r "$wbuild/dist/." "$dir/"
  fi
  RUN="$dir" GAME="$game" WINDOW_NAME="$window" TOGGLE="$toggle" \
    xvfb-run -a -s "-screen 0 $screen" "$work/drive.sh" || status=$?
  # The prefix's server and desktop process belong to the X server that has just gone: the next
  # run starts them afresh on its own.
  wineserver -k >/dev/null 2>&1 || true
  if [ "$status" -ne 0 ]; then
    echo "ci-windows-smoke: $name: the game ended with status $status" >&2
    sed 's/^/  game: /' "$dir/game.log" >&2 || true
    return 1
  fi
}

# The same session on the Linux build, for its data files.
linux="$work/linux"
rm -rf "$linux"
mkdir -p "$linux"
ln -s "$build/game/bmp" "$linux/bmp"
ln -s "$build/game/wave" "$linux/wave"
RUN="$linux" GAME="$build/plusrail" WINDOW_NAME='^Untitled$' SDL_AUDIODRIVER=dummy \
  XDG_RUNTIME_DIR="$linux" xvfb-run -a -s "-screen 0 1024x768x24" "$work/drive.sh"

same_files() {
  local name="$1" status=0 file
  for file in config.dat rank_n.dat rank_e.dat; do
    if ! cmp "$linux/$file" "$work/$name/$file"; then
      echo "ci-windows-smoke: $name: $file differs from the Linux build's" >&2
      status=1
    fi
  done
  return $status
}

status=0
run full-screen-16 640x480x16 "wine plusrail.exe" '^Untitled$' || status=1
same_files full-screen-16 || status=1
"$root/scripts/xwd-check.py" "$work/full-screen-16/title.xwd" "$work/full-screen-16/title.png" || status=1
# A second session over the files the first one saved: each save must replace its file.
run full-screen-16 640x480x16 "wine plusrail.exe" '^Untitled$' 0 1 || status=1
if grep -a "Could not save" "$work/full-screen-16/game.log" >&2; then
  echo "ci-windows-smoke: the second session could not save over the first one's files" >&2
  status=1
fi
same_files full-screen-16 || status=1

run window-24 1024x768x24 "wine explorer /desktop=plusrail,1024x768 plusrail.exe" \
  'Wine desktop$' || status=1
same_files window-24 || status=1
"$root/scripts/xwd-check.py" "$work/window-24/title.xwd" "$work/window-24/title.png" || status=1

run toggle-16 1024x768x16 "wine explorer /desktop=plusrail,1024x768 plusrail.exe" \
  'Wine desktop$' 1 || status=1
same_files toggle-16 || status=1
"$root/scripts/xwd-check.py" "$work/toggle-16/windowed.xwd" "$work/toggle-16/windowed.png" || status=1

# A replay watched to its end, as `plusrail --replay FILE` does on Linux: a golden session's
# game (level 100, to its game over) plays, says that it reached its recorded result and ends
# by itself with status 0; a file that is not there is refused with status 1 before any window.
cat > "$work/watch.sh" <<'WATCH'
#!/usr/bin/env bash
set -u
cd "$RUN"
timeout 180 wine plusrail.exe --replay "$REPLAY" > watch.log 2>&1
echo $? > watch.status
WATCH
chmod +x "$work/watch.sh"
# watch FILE STATUS TEXT WHAT: plusrail.exe --replay FILE must end with STATUS and say TEXT.
watch() {
  local dir="$work/replay"
  RUN="$dir" REPLAY="$1" xvfb-run -a -s "-screen 0 640x480x16" "$work/watch.sh"
  wineserver -k >/dev/null 2>&1 || true
  if [ "$(cat "$dir/watch.status")" != "$2" ] || ! grep -a "$3" "$dir/watch.log"; then
    echo "ci-windows-smoke: plusrail.exe --replay $1 did not $4" >&2
    sed 's/^/  game: /' "$dir/watch.log" >&2 || true
    return 1
  fi
}
rm -rf "$work/replay"
mkdir -p "$work/replay"
cp -r "$wbuild/dist/." "$work/replay/"
cp "$root/tests/golden/level100.last.rpl" "$work/replay/game.rpl"
watch game.rpl 0 "reached its recorded result" "play the replay to its result" || status=1
watch missing.rpl 1 "missing.rpl: the replay file cannot be opened" "refuse a missing file" ||
  status=1

if [ "$status" -eq 0 ]; then
  echo "ci-windows-smoke: the game came up under Wine, ended on Escape with status 0 and wrote the Linux build's three files, full screen, in a window and across Alt+Enter; a replay played to its recorded result"
fi
exit $status
