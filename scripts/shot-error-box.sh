#!/usr/bin/env bash
# Shows the box a player without a sound device meets, on a virtual X server, and saves a
# picture of it: once on a desktop with a Japanese X font (the English, then the Japanese) and
# once without one (the English alone). OK is then pressed and the game must end with 3, the
# status of a start that failed.
#   scripts/shot-error-box.sh [BUILD] [OUTDIR]     # writes OUTDIR/error-box-{ja,en}.png
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-build}" && pwd)"
out="$(mkdir -p "${2:-$build/shots}" && cd "${2:-$build/shots}" && pwd)"
"$root/scripts/install-deps.sh" --screenshots
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The box asks X for a 12-point font of each character set; the Japanese font installed is
# 16 pixels high, so a font alias offers it at that size.
mkdir -p "$work/fonts"
printf '0\n' > "$work/fonts/fonts.dir"
echo '"-misc-fixed-medium-r-normal--16-120-75-75-c-160-jisx0208.1983-0"' \
  '"-misc-fixed-medium-r-normal--16-150-75-75-c-160-jisx0208.1990-0"' > "$work/fonts/fonts.alias"
x11=/usr/share/fonts/X11

cat > "$work/shoot.sh" <<'SHOOT'
#!/usr/bin/env bash
set -u
cd "$WORK"
SDL_AUDIODRIVER=nonexistent "$GAME" 2>>"$WORK/game.log" &
pid=$!
sleep 3
xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng > "$PICTURE"
# OK sits at the middle of the box's bottom row, which is centred on the 800 x 600 screen.
for y in 320 300 290 340; do
  kill -0 "$pid" 2>/dev/null || break
  xdotool mousemove 400 "$y" click 1
  sleep 0.5
done
kill -0 "$pid" 2>/dev/null && { echo "shot-error-box: the game did not end after OK" >&2; kill "$pid"; exit 1; }
status=0
wait "$pid" || status=$?
[ "$status" -eq 3 ] || { echo "shot-error-box: the game ended with status $status, not 3" >&2; exit 1; }
SHOOT
chmod +x "$work/shoot.sh"

for kind in ja en; do
  fonts="$x11/misc,$x11/Type1,$x11/75dpi,built-ins"
  [ "$kind" = ja ] && fonts="$work/fonts,$fonts"
  WORK="$work" GAME="$build/plusrail" PICTURE="$out/error-box-$kind.png" XDG_RUNTIME_DIR="$work" \
    xvfb-run -a -s "-screen 0 800x600x24 -fp $fonts" "$work/shoot.sh"
done
echo "shot-error-box: $out/error-box-ja.png and $out/error-box-en.png"
