#!/bin/sh
# Starts the installed game. The game keeps its settings and rankings in its working
# directory, so it runs in the player's data directory, where links lead to the installed
# pictures and sounds: the install itself is never written to, and it may be moved.
set -eu

# Follow links to this script (one in ~/bin, say) back to the install it belongs to.
self=$0
while [ -L "$self" ]; do
    target=$(readlink "$self")
    case $target in
        /*) self=$target ;;
        *) self=$(dirname "$self")/$target ;;
    esac
done
prefix=$(dirname "$self")/..
if ! share=$(cd "$prefix/share/plusrail" 2>/dev/null && pwd) ||
    [ ! -x "$prefix/libexec/plusrail/plusrail" ]; then
    echo "plusrail: the game's files are missing beside $self (../libexec/plusrail, ../share/plusrail)" >&2
    exit 1
fi
game=$(cd "$prefix/libexec/plusrail" && pwd)/plusrail

# A relative or empty XDG_DATA_HOME is to be ignored.
case ${XDG_DATA_HOME:-} in
    /*) data=$XDG_DATA_HOME/plusrail ;;
    *) data=${HOME:?plusrail: HOME is not set}/.local/share/plusrail ;;
esac
mkdir -p "$data"

# The links are made again on every start, so that they follow an upgraded or moved install;
# anything else of that name is the player's and stays.
for dir in bmp wave; do
    if [ -L "$data/$dir" ] || [ ! -e "$data/$dir" ]; then
        rm -f "$data/$dir"
        ln -s "$share/$dir" "$data/$dir"
    else
        [ -d "$data/$dir" ] ||
            echo "plusrail: $data/$dir is not a folder; the game will miss its files" >&2
    fi
done

cd "$data"
exec "$game" "$@"
