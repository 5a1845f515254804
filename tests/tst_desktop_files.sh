#!/usr/bin/env bash
# Checks the files that put the game on the desktop with the desktop's own validators:
#   tst_desktop_files.sh entries DESKTOP_FILE...
#   tst_desktop_files.sh metainfo METAINFO_FILE...
#   tst_desktop_files.sh mime MIME_PACKAGE GAME_FILE LAYOUT_FILE
#   tst_desktop_files.sh manual PAGE...
# Exits 77, which ctest counts as skipped, when a validator is not installed.
set -euo pipefail

needs() {  # program, Debian package
    command -v "$1" >/dev/null || { echo "SKIP: $1 is missing; apt-get install $2"; exit 77; }
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The validators and the desktop's file-type lookup see only this folder, never a home.
export HOME=$work XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
failed=0

# Runs a validator; any complaint, even a warning, fails the check.
quiet() {
    local said
    if ! said=$("$@" 2>&1) || [ -n "$said" ]; then
        echo "$*:"; echo "$said"; failed=1
    fi
}

# Asks the desktop which type FILE has; it must be TYPE.
type_is() {
    local file=$1 type=$2 found
    found=$(GIO_USE_VFS=local gio info -a standard::content-type "$file" | sed -n 's/^ *standard::content-type: //p')
    if [ "$found" != "$type" ]; then
        echo "$(basename "$file") is taken for '$found', not $type"; failed=1
    fi
}

check=$1; shift
case "$check" in
entries)
    needs desktop-file-validate desktop-file-utils
    for entry in "$@"; do quiet desktop-file-validate "$entry"; done
    ;;
metainfo)
    needs appstreamcli appstream
    # Only the pedantic remark about capitals in the reverse-DNS ids is allowed.
    appstreamcli validate --no-net --pedantic "$@" || failed=1
    ;;
mime)
    needs xmllint libxml2-utils
    needs update-mime-database shared-mime-info
    needs gio libglib2.0-bin
    package=$1 game=$2 layout=$3
    quiet xmllint --noout "$package"
    mkdir -p "$XDG_DATA_HOME/mime/packages"
    cp "$package" "$XDG_DATA_HOME/mime/packages/"
    quiet update-mime-database "$XDG_DATA_HOME/mime"
    # By name, and by content alone once the name says nothing.
    cp "$game" "$work/saved.tlgf"; cp "$game" "$work/saved-game"
    cp "$layout" "$work/mine.tllf"; cp "$layout" "$work/my-layout"
    printf '<?xml version="1.0"?>\n<gamepad buttons="4"/>\n' >"$work/other-data"
    type_is "$work/saved.tlgf" application/x-tilvane-game
    type_is "$work/saved-game" application/x-tilvane-game
    type_is "$work/mine.tllf" application/x-tilvane-layout
    type_is "$work/my-layout" application/x-tilvane-layout
    type_is "$work/other-data" application/xml
    ;;
manual)
    needs man man-db
    for page in "$@"; do
        # The page itself goes nowhere; what man and groff say about it is kept.
        said=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
        [ -z "$said" ] || { echo "$page:"; echo "$said"; failed=1; }
    done
    ;;
*)
    echo "unknown check '$check'" >&2; exit 2
    ;;
esac
exit "$failed"
