#!/usr/bin/env bash
# Sets up a Debian 12 machine for Tilvane, builds it, and then either starts the game
# (`run`) or runs the whole test suite (`test`). Safe to run again and again: it
# installs only the packages that are missing and rebuilds only what changed.
set -euo pipefail

usage() { echo "usage: $0 run|test [game arguments...]" >&2; exit 2; }
[ $# -ge 1 ] || usage
mode=$1; shift
case "$mode" in run|test) ;; *) usage ;; esac

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$here/build"

packages=(g++ make cmake qtbase5-dev qtbase5-dev-tools fonts-dejavu-core
          # the art tool's scalable icons, and the validators of the desktop files
          libqt5svg5-dev desktop-file-utils appstream libxml2-utils shared-mime-info
          libglib2.0-bin man-db)

# shellcheck source=tools/install-packages.sh
source "$here/tools/install-packages.sh"
install_missing_packages "${packages[@]}"

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$(nproc)"

if [ "$mode" = run ]; then
    exec "$build/bin/tilvane" "$@"
fi
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
