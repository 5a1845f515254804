#!/usr/bin/env bash
# Renders the preview picture of every built-in layout into resources/, from the real
# layout files with the classic tiles. Needs a build (tilvane-render-board) and
# ImageMagick.
#
# usage: tools/render-board/make_previews.sh [BUILD_DIR]
set -euo pipefail

here=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-"$here/build"}
render="$build/bin/tilvane-render-board"
[ -x "$render" ] || { echo "build tilvane-render-board first" >&2; exit 1; }
command -v convert >/dev/null || { echo "ImageMagick is missing: apt-get install imagemagick" >&2; exit 1; }

# Every preview gets the same frame, within the size the preferences dialog shows.
size=1052x719
background='#008000'
seed=2024
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

for file in "$here"/data/layouts/*.tllf; do
    name=$(basename "$file" .tllf)
    QT_QPA_PLATFORM=offscreen "$render" --layout "$file" --style 0 --seed "$seed" \
        --tile-height 90 -o "$scratch/board.png" >/dev/null
    convert "$scratch/board.png" -resize "$size" -background "$background" -gravity center \
        -extent "$size" -colors 256 -define png:compression-level=9 \
        "$here/resources/${name}_Preview.png"
    echo "resources/${name}_Preview.png"
done
