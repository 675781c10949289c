#!/usr/bin/env bash
# The .deb on this machine, as a player's apt would see it: built (scripts/make-deb.sh), checked
# by lintian, installed with `apt-get install ./FILE.deb`, started headless through the command of
# its desktop entry (a golden session's replay watched to its recorded result, then the game
# itself up to the title, closed as the desktop closes it, its files saved in the player's data
# folder), then removed and purged: no file the package listed may be left. Needs root (CI runs
# as root; elsewhere through sudo).
#   scripts/ci-deb.sh [DEBBUILD]        # build-deb by default
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
debbuild="${1:-build-deb}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
fail() {
  echo "ci-deb: $*" >&2
  exit 1
}
if dpkg-query -W -f='${Status}' plusrail 2>/dev/null | grep -q 'installed'; then
  fail "plusrail is installed on this machine already; this check would remove it"
fi

tmp="$(mktemp -d)"
installed=0
cleanup() {
  [ "$installed" = 0 ] || $sudo dpkg --purge plusrail >/dev/null 2>&1 || true
  rm -rf "$tmp"
}
trap cleanup EXIT

deb="$(scripts/make-deb.sh "$debbuild" "$tmp/out")"
echo "ci-deb: lintian $(basename "$deb"):"
lintian "$deb" || fail "lintian found errors"

export DEBIAN_FRONTEND=noninteractive
installed=1
$sudo apt-get install -y -qq "$deb" >"$tmp/apt.log" 2>&1 || {
  cat "$tmp/apt.log" >&2
  fail "apt-get could not install $deb"
}
dpkg -L plusrail | LC_ALL=C sort >"$tmp/listed"
# What was a file or a link when installed, and what was a folder.
while IFS= read -r path; do
  if [ -d "$path" ] && [ ! -L "$path" ]; then echo "$path" >>"$tmp/folders"; else echo "$path" >>"$tmp/files"; fi
done <"$tmp/listed"
for path in /usr/games/plusrail /usr/libexec/plusrail/plusrail /usr/share/plusrail/bmp/game/line_x.bmp \
  /usr/share/plusrail/wave/erasing.wav /usr/share/applications/plusrail.desktop \
  /usr/share/icons/hicolor/48x48/apps/plusrail.png /usr/share/man/man6/plusrail.6.gz \
  /usr/share/doc/plusrail/copyright; do
  grep -qxF "$path" "$tmp/files" || fail "the package does not hold $path"
done

# The desktop menu starts what the entry's Exec line names; a player's shell finds the same
# command on the PATH a login gives (/etc/login.defs).
command="$(sed -n 's/^Exec=//p' /usr/share/applications/plusrail.desktop)"
[ "$(command -v "$command")" = /usr/games/plusrail ] ||
  fail "the desktop entry's command ($command) is not the installed plusrail"
user_path="$(sed -n 's/^ENV_PATH[[:space:]]*PATH=//p' /etc/login.defs)"
[ "$(PATH="${user_path:-/usr/local/bin:/usr/bin:/bin:/usr/games}" command -v plusrail)" = /usr/games/plusrail ] ||
  fail "plusrail is not on a player's PATH"

# The installed program says the package's version (without its Debian revision).
package_version="$(dpkg-query -W -f='${Version}' plusrail)"
"$command" --version | grep -qF "plusrail ${package_version%-*} " ||
  fail "plusrail --version does not say ${package_version%-*}: $("$command" --version)"

home="$tmp/home"
elsewhere="$tmp/elsewhere"
mkdir -p "$home" "$elsewhere" "$tmp/run"
chmod 0700 "$tmp/run"
# (play [timeout SECONDS]): becomes the installed command, with game_args, run from an unrelated
# folder with a fresh home and the dummy video and sound drivers asked for explicitly. Called in
# a subshell, which it replaces, so that a signal reaches the game itself.
play() {
  cd "$elsewhere"
  exec "$@" env -u XDG_DATA_HOME HOME="$home" XDG_RUNTIME_DIR="$tmp/run" \
    SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$command" ${game_args[@]+"${game_args[@]}"}
}

# 1. A recorded game, played to its end: the game ends by itself and says it reached the result.
replay="$root/tests/golden/level100.last.rpl"
status=0
game_args=(--replay "$replay")
(play timeout 120) >"$tmp/replay.out" 2>"$tmp/replay.err" || status=$?
if [ "$status" -ne 0 ] || ! grep -q 'reached its recorded result' "$tmp/replay.out"; then
  sed 's/^/  game: /' "$tmp/replay.out" "$tmp/replay.err" >&2
  fail "the installed game did not play the replay to its result (status $status)"
fi
data="$home/.local/share/plusrail"
for dir in bmp wave; do
  [ "$(readlink "$data/$dir")" = /usr/share/plusrail/$dir ] ||
    fail "$data/$dir does not lead to the installed $dir"
done

# 2. The game itself, up to the title (the credits take under four seconds), closed by SIGTERM
# as a desktop closes it: it saves the player's files in their data folder.
game_args=()
(play) >"$tmp/game.out" 2>"$tmp/game.err" &
pid=$!
sleep 4.5
kill -0 "$pid" 2>/dev/null || {
  wait "$pid" || true
  sed 's/^/  game: /' "$tmp/game.err" >&2
  fail "the installed game ended by itself"
}
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "the installed game ended with status $status"
if grep -E '(BMP|WAVE)\[.*\]のオープンに失敗しました' "$tmp/game.err" "$tmp/replay.err" >&2; then
  fail "the installed game did not find its pictures and sounds"
fi
for name in config.dat rank_n.dat rank_e.dat; do
  [ -s "$data/$name" ] || fail "the installed game did not save $name in $data"
done
[ -z "$(ls -A "$elsewhere")" ] || fail "the game wrote into the folder it was started from"

# 3. Removed with apt-get, then purged: nothing the package listed is left; its folders go unless another
# package shares them or something else lies in them.
$sudo apt-get remove -y -qq plusrail >>"$tmp/apt.log" 2>&1 || fail "apt-get remove failed"
# apt knows a package installed from a file only while it is installed; dpkg purges what is left.
$sudo dpkg --purge plusrail >>"$tmp/apt.log" 2>&1 || fail "dpkg --purge failed"
installed=0
left=0
while IFS= read -r path; do
  if [ -e "$path" ] || [ -L "$path" ]; then
    echo "ci-deb: left behind: $path" >&2
    left=1
  fi
done <"$tmp/files"
while IFS= read -r path; do
  if [ -d "$path" ] && [ -z "$(ls -A "$path")" ] && ! dpkg -S "$path" >/dev/null 2>&1; then
    echo "ci-deb: left behind, empty: $path" >&2
    left=1
  fi
done <"$tmp/folders"
[ "$left" = 0 ] || fail "apt-get remove left files of the package behind"
for path in /usr/libexec/plusrail /usr/share/plusrail /usr/share/doc/plusrail; do
  [ ! -e "$path" ] || fail "$path is still there"
done
if dpkg-query -W -f='${Status}' plusrail 2>/dev/null | grep -q 'installed\|config-files'; then
  fail "dpkg still knows plusrail after the purge"
fi
# The player's files are theirs: they stay.
[ -s "$data/rank_n.dat" ] || fail "the removal took the player's files"
echo "ci-deb: $(basename "$deb") installed, played a replay to its result and the game to its" \
  "title, and was removed with its $(wc -l <"$tmp/files") files"
