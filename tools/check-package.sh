#!/usr/bin/env bash
# Builds the Debian package, installs it system-wide with apt-get, starts the installed
# game under a virtual X server until its board shows, starts the layout designer from
# the game's Tools menu, and removes the package again. It changes the system, so it is
# no part of the test suite; run it as root on a machine where that is fine.
#
# usage: tools/check-package.sh [BUILD_DIR] [DISPLAY]     (BUILD_DIR defaults to build-deb)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-"$here/build-deb"}
display=${2:-:96}
[ "$(id -u)" -eq 0 ] || { echo "run as root: the package is installed system-wide" >&2; exit 1; }

step() { printf '\n== %s\n' "$*"; }

# shellcheck source=tools/install-packages.sh
source "$here/tools/install-packages.sh"
# shellcheck source=tools/xwindow-helpers.sh
source "$here/tools/xwindow-helpers.sh"
install_missing_packages g++ make cmake qtbase5-dev qtbase5-dev-tools libqt5svg5-dev dpkg-dev \
    xvfb xdotool imagemagick desktop-file-utils shared-mime-info man-db

step "Build for packaging: installed below /usr, without the developer's data folder"
# Only what the package holds is built, not the tests and benchmarks; so cpack is told
# not to build everything before it installs.
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DTILVANE_DEVELOPER_DATA_DIR= -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
targets=(tilvane tilvane-cli tilvane_manual_pages)
known=$(cmake --build "$build" --target help)
if grep -q ' tilvane-designer$' <<<"$known"; then
    targets+=(tilvane-designer)
fi
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]}" >/dev/null

step "Package"
(cd "$build" && cpack -G DEB)
deb="$build/tilvane_2.2.4_amd64.deb"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb" | awk '{print $6, $7, $8}' | grep -v '/Tilvane/\(tiles\|docs\)/'
echo "(and $(dpkg-deb --contents "$deb" | grep -c '/Tilvane/tiles/') files of tile pictures," \
     "$(dpkg-deb --contents "$deb" | grep -c '/Tilvane/docs/') of the manual)"

step "Install"
apt-get install -y "$deb"

step "The desktop knows it"
desktop-file-validate /usr/share/applications/org.tilvane.Tilvane*.desktop && echo "menu entries: valid"
grep tilvane /usr/share/mime/globs2
grep -h tilvane /usr/share/applications/mimeinfo.cache
man -w tilvane tilvane-cli
strings /usr/bin/tilvane | grep -F "$here" && { echo "the game names the source tree" >&2; exit 1; }
echo "no path into $here in /usr/bin/tilvane"

step "Start /usr/bin/tilvane under Xvfb"
work=$(mktemp -d)
Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
game=""
cleanup() {
    [ -z "$game" ] || kill "$game" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=$display HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data \
    XDG_CACHE_HOME=$work/cache

dealt() { [ -n "$(find "$XDG_DATA_HOME" -name '*.tlgf' 2>/dev/null)" ]; }

wait_for xdotool getdisplaygeometry >/dev/null 2>&1
(cd "$work" && exec /usr/bin/tilvane >"$work/game.log" 2>&1) &
game=$!
# A new deal is backed up once its board is on screen.
wait_for dealt
wait_for main_window Tilvane >/dev/null
window=$(main_window Tilvane)
echo "board dealt: $(find "$XDG_DATA_HOME" -name '*.tlgf')"
echo "window: $(xdotool getwindowname "$window"), $(xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p')"
import -window "$window" "$build/package-game.png"
echo "screenshot: $build/package-game.png"

if [ -x "/usr/bin/Layout Designer" ]; then
    step "Start the designer from the game's Tools menu"
    menu_x=$(( $(xdotool getwindowgeometry "$window" | sed -n 's/ *Position: \([0-9]*\),.*/\1/p') + 124 ))
    menu_y=$(( $(xdotool getwindowgeometry "$window" | sed -n 's/ *Position: [0-9]*,\([0-9]*\).*/\1/p') + 10 ))
    xdotool mousemove "$menu_x" "$menu_y" click 1
    # The last entry of the menu is Layout Designer.
    xdotool key --clearmodifiers Up Return
    wait_for main_window "Layout Designer" >/dev/null
    designer=$(main_window "Layout Designer")
    echo "window: $(xdotool getwindowname "$designer"), $(xdotool getwindowgeometry "$designer" | sed -n 's/ *Geometry: //p')"
    import -window "$designer" "$build/package-designer.png"
    echo "screenshot: $build/package-designer.png"
    xdotool windowfocus --sync "$designer" key --clearmodifiers ctrl+q
    wait_for sh -c "! xdotool search --onlyvisible --class 'Layout Designer' >/dev/null 2>&1"
    echo "designer closed"
fi

xdotool windowfocus --sync "$window" key --clearmodifiers ctrl+q
wait_for sh -c "! kill -0 $game 2>/dev/null"
status=0
wait "$game" || status=$?
game=""
echo "game quit with exit code $status"
[ -s "$work/game.log" ] && { echo "the game said:"; cat "$work/game.log"; }

step "Remove"
apt-get remove -y tilvane
for gone in /usr/bin/tilvane /usr/share/Tilvane /usr/share/applications/org.tilvane.Tilvane.desktop; do
    [ ! -e "$gone" ] || { echo "$gone is still there" >&2; exit 1; }
done
! grep -q tilvane /usr/share/mime/globs2 || { echo "the file types are still registered" >&2; exit 1; }
echo "package removed, file types unregistered"
