#!/usr/bin/env bash
# Takes the screenshots that the software centre shows (data/desktop/screenshots/) from
# the game as a player sees it, on a virtual X server, in a private home folder. Run it
# again whenever the tiles or the window change; the deals are fixed, so only the look
# changes.
#
# usage: tools/make-screenshots.sh [BUILD_DIR] [DISPLAY]     (needs xvfb, xdotool, imagemagick)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=tools/xwindow-helpers.sh
source "$here/tools/xwindow-helpers.sh"
WAIT_SECONDS=30
build=${1:-"$here/build"}
display=${2:-:95}
out="$here/data/desktop/screenshots"
game="$build/bin/tilvane"
cli="$build/bin/tilvane-cli"
designer="$build/bin/Layout Designer"

for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: apt-get install xvfb xdotool imagemagick" >&2; exit 1; }
done
for program in "$game" "$cli"; do
    [ -x "$program" ] || { echo "no $program; build the game first" >&2; exit 1; }
done

work=$(mktemp -d)
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
started=()
cleanup() {
    for pid in "${started[@]}" "$xvfb"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=$display

wait_for xdotool getdisplaygeometry >/dev/null 2>&1

has_backup() { [ -n "$(find "$1/data" -name '*.tlgf' 2>/dev/null)" ]; }

# A private home whose settings choose the tile set (0 classic, 1 modern, 2 picasso).
make_home() {
    local home="$work/$1"
    mkdir -p "$home/config/vk"
    printf '[Tilvane]\nGame\\Preferences\\TileStyle=%s\nGame\\Preferences\\TileHeight=%s\n' "$2" "$3" \
        >"$home/config/vk/Tilvane.conf"
    echo "$home"
}

# Runs a program in a private home, in the background.
start_in() {
    local home=$1; shift
    HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_CACHE_HOME=$home/cache \
        "$@" >"$home/log" 2>&1 &
    started+=($!)
}

# shot NAME LAYOUT SEED STYLE TILE_HEIGHT [KEY]: opens a fixed deal on LAYOUT, presses KEY
# (a hint, say) and saves the main window as NAME.png.
shot() {
    local name=$1 layout=$2 seed=$3 style=$4 height=$5 key=${6:-}
    local home window
    home=$(make_home "$name" "$style" "$height")
    "$cli" deal "$layout" --seed "$seed" --winnable -o "$home/deal.tlgf" >/dev/null
    start_in "$home" "$game" "$home/deal.tlgf"
    # An opened game is backed up once its board is on screen.
    wait_for has_backup "$home"
    wait_for main_window Tilvane >/dev/null
    window=$(main_window Tilvane)
    if [ -n "$key" ]; then
        xdotool windowfocus --sync "$window"
        xdotool key --clearmodifiers "$key"
    fi
    # Let the last repaint reach the screen.
    sleep 1
    import -window "$window" "$out/$name.png"
    kill "${started[-1]}"
    echo "$out/$name.png: $(identify -format '%wx%h' "$out/$name.png")"
}

mkdir -p "$out"
shot tilvane-turtle Turtle 11 0 76
shot tilvane-hint Butterfly 5 1 76 ctrl+i
shot tilvane-canyon Canyon 3 2 76

if [ -x "$designer" ]; then
    home=$(make_home designer 0 76)
    start_in "$home" "$designer" "$here/data/layouts/Butterfly.tllf"
    wait_for main_window "Layout Designer" >/dev/null
    sleep 2
    import -window "$(main_window "Layout Designer")" "$out/designer.png"
    echo "$out/designer.png: $(identify -format '%wx%h' "$out/designer.png")"
fi
