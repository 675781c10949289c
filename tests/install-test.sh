#!/usr/bin/env bash
# Installs the build into a scratch prefix, makes the prefix read-only and starts the installed
# command from an unrelated folder with a fresh home, headless, twice: once with the default data
# directory, once from a moved install through a link, with XDG_DATA_HOME set, a stale link and
# a sound folder of the player's own. Each run must find every picture and sound, end cleanly on
# SIGTERM (a close request) and save its three files in the data directory, and nothing under
# the prefix may change.
#   [CMAKE=cmake] tests/install-test.sh BUILD
set -euo pipefail
build="$(cd "${1:?usage: install-test.sh BUILD}" && pwd)"

tmp="$(mktemp -d)"
# The prefix is read-only by then; removing it needs its folders writable again.
trap 'chmod -R u+w "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT
fail() {
  echo "install-test: $*" >&2
  exit 1
}

prefix="$tmp/prefix"
# The component holds every rule; naming it makes cmake keep this install's list apart
# (install_manifest_plusrail.txt), so the list of a real install stays for `make uninstall`.
"${CMAKE:-cmake}" --install "$build" --prefix "$prefix" --component plusrail >/dev/null

for file in bin/plusrail libexec/plusrail/plusrail; do
  if [ ! -f "$prefix/$file" ] || [ ! -x "$prefix/$file" ]; then
    fail "$file is not an installed program"
  fi
done
# The command that sends replays to a ranking server, in a build that has it.
if [ -x "$build/plusrail-submit" ]; then
  [ -x "$prefix/bin/plusrail-submit" ] || fail "bin/plusrail-submit is not an installed program"
  "$prefix/bin/plusrail-submit" --help | grep -q '^usage: plusrail-submit' ||
    fail "the installed plusrail-submit does not run"
fi
for file in share/plusrail/bmp/game/line_x.bmp share/plusrail/bmp/back/back00.bmp \
  share/plusrail/wave/erasing.wav share/applications/plusrail.desktop share/man/man6/plusrail.6; do
  [ -s "$prefix/$file" ] || fail "$file was not installed"
done
# Each icon is a PNG of the size its folder names.
for size in 16 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/plusrail.png"
  [ -f "$icon" ] || fail "the ${size}x${size} icon was not installed"
  # The signature, the IHDR chunk's length and name, then its width and height.
  expected="89504e470d0a1a0a0000000d49484452$(printf '%08x%08x' "$size" "$size")"
  header="$(head -c 24 "$icon" | od -An -tx1 | tr -d ' \n')"
  [ "$header" = "$expected" ] || fail "the ${size}x${size} icon is not a ${size}x${size} PNG"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/plusrail.desktop" ||
    fail "the desktop entry does not validate"
fi

# Every name, kind, mode, size, time and content under the prefix, to show that the runs wrote
# nothing there even as root, whom the read-only modes do not stop.
snapshot() {
  (cd "$1" && find . -printf '%P %y %m %s %T@\n' | LC_ALL=C sort &&
    find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum)
}
chmod -R a-w "$prefix"
before="$(snapshot "$prefix")"

home="$tmp/home"
elsewhere="$tmp/elsewhere"
mkdir -p "$home" "$elsewhere"

# Runs COMMAND from the unrelated folder until the title is up, closes it with SIGTERM and
# checks that it ended with status 0 and found every picture and sound; LOG keeps its errors.
run_game() {
  local log="$1" command="$2" pid status=0
  (cd "$elsewhere" && exec env -u XDG_DATA_HOME HOME="$home" "${@:3}" \
    SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$tmp" "$command") 2>"$log" &
  pid=$!
  # The credits last 220 frames at 60 a second; the title is up after less than four seconds.
  sleep 4.5
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid" || true
    sed 's/^/  game: /' "$log" >&2
    fail "the game ended by itself"
  fi
  kill -TERM "$pid"
  wait "$pid" || status=$?
  if [ "$status" -ne 0 ]; then
    sed 's/^/  game: /' "$log" >&2
    fail "the game ended with status $status"
  fi
  if grep -E '(BMP|WAVE)\[.*\]のオープンに失敗しました' "$log" >&2; then
    fail "the installed game did not find its pictures and sounds"
  fi
  [ -z "$(ls -A "$elsewhere")" ] || fail "the game wrote into the folder it was started from"
}

expect_saved() {
  local dir="$1" name size
  for name in config.dat:20 rank_n.dat:440 rank_e.dat:440; do
    size="${name#*:}"
    name="${name%:*}"
    [ -f "$dir/$name" ] || fail "$name was not saved in $dir"
    [ "$(stat -c %s "$dir/$name")" -eq "$size" ] || fail "$dir/$name does not have $size bytes"
  done
}

# 1. The default data directory, which the command makes.
run_game "$tmp/first.log" "$prefix/bin/plusrail"
data="$home/.local/share/plusrail"
expect_saved "$data"
for dir in bmp wave; do
  [ "$(readlink "$data/$dir")" = "$prefix/share/plusrail/$dir" ] ||
    fail "$data/$dir does not lead to the installed $dir"
done

# 2. The install moved and started through a link to its command; XDG_DATA_HOME names another
# data directory, where an old install left a link that leads nowhere and the player keeps a
# sound folder of their own.
moved="$tmp/moved"
mv "$prefix" "$moved"
mkdir -p "$home/bin"
ln -s "$moved/bin/plusrail" "$home/bin/plusrail"
xdg="$tmp/xdg"
mkdir -p "$xdg/plusrail"
ln -s "$tmp/gone/share/plusrail/bmp" "$xdg/plusrail/bmp"
cp -R "$moved/share/plusrail/wave" "$xdg/plusrail/wave"
chmod -R u+w "$xdg/plusrail/wave"
touch "$xdg/plusrail/wave/mine"
first_data="$(snapshot "$data")"
run_game "$tmp/second.log" "$home/bin/plusrail" XDG_DATA_HOME="$xdg"
expect_saved "$xdg/plusrail"
[ "$(readlink "$xdg/plusrail/bmp")" = "$moved/share/plusrail/bmp" ] ||
  fail "the stale bmp link was not made to lead to the moved install"
if [ -L "$xdg/plusrail/wave" ] || [ ! -f "$xdg/plusrail/wave/mine" ]; then
  fail "the player's own wave folder was replaced"
fi
[ "$first_data" = "$(snapshot "$data")" ] ||
  fail "the second run wrote into the default data directory"

[ "$before" = "$(snapshot "$moved")" ] || fail "the runs changed something under the prefix"
echo "install-test: the installed game ran from two places, saved in its data directories" \
  "and wrote nothing under the prefix"
