#!/bin/sh
# Starts Dusklorne in a run directory of the player's own: the program reads config.txt and its
# data, and writes camData.txt and screenshots/, relative to the folder it runs in, and the
# installed copy is read-only. The data is found from this script's own place, so the package's
# tree runs wherever it is unpacked.
set -eu

fail() {
    echo "dusklorne: $*" >&2
    exit 1
}

self=$(readlink -f -- "$0")
prefix=$(dirname -- "$(dirname -- "$self")")
data=$prefix/share/games/dusklorne
program=$prefix/lib/games/dusklorne/dusklorne-demo
[ -x "$program" ] && [ -f "$data/config.txt" ] && [ -d "$data/Dusklorne" ] && [ -d "$data/Model" ] ||
    fail "the game's files are not in $prefix (looked for lib/games/dusklorne and share/games/dusklorne)"

[ -n "${XDG_DATA_HOME:-}" ] || [ -n "${HOME:-}" ] || fail "neither HOME nor XDG_DATA_HOME is set"
run=${XDG_DATA_HOME:-$HOME/.local/share}/dusklorne
mkdir -p -- "$run" 2>/dev/null && [ -w "$run" ] || fail "cannot make the run directory $run"

# The player's settings: copied once, never overwritten.
first=false
if [ ! -e "$run/config.txt" ] && [ ! -L "$run/config.txt" ]; then
    cp -- "$data/config.txt" "$run/config.txt" || fail "cannot write $run/config.txt"
    first=true
fi

# The data is linked from the installed copy, and the links follow it when it is upgraded or
# moved. A real folder there (an older copy of the data) is kept, moved aside.
for item in Dusklorne Model; do
    link=$run/$item
    if [ -L "$link" ]; then
        [ "$(readlink -- "$link")" = "$data/$item" ] && continue
        rm -f -- "$link"
    elif [ -e "$link" ]; then
        aside=$link.old
        n=1
        while [ -e "$aside" ] || [ -L "$aside" ]; do
            n=$((n + 1))
            aside=$link.old$n
        done
        mv -- "$link" "$aside" || fail "cannot move the older $link aside"
        echo "dusklorne: moved the older copy of $item to $aside"
    fi
    ln -s -- "$data/$item" "$link" || fail "cannot link $link to $data/$item"
done

if $first; then
    echo "dusklorne: runs in $run: edit config.txt there for the window size;" \
        "camData.txt (SPACE) and screenshots/ (F8) are saved there."
fi
cd -- "$run"
exec "$program" "$@"
