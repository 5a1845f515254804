#!/usr/bin/env bash
# Helpers for the scripts that drive Tilvane's windows under Xvfb; sourced, not run.

# Runs the command until it succeeds, for at most WAIT_SECONDS (default 60) seconds.
wait_for() {
    local _ tries=$(( ${WAIT_SECONDS:-60} * 10 ))
    for _ in $(seq "$tries"); do
        "$@" && return 0
        sleep 0.1
    done
    echo "gave up waiting for: $*" >&2
    return 1
}

# The widest visible window of the given class, if wider than a splash: the main
# window, not the splash screen.
main_window() {
    local id width widest=0 found=""
    for id in $(xdotool search --onlyvisible --class "$1" 2>/dev/null); do
        width=$(xdotool getwindowgeometry "$id" | awk '/Geometry/ {split($2, a, "x"); print a[1]}')
        if [ "${width:-0}" -gt "$widest" ]; then widest=$width; found=$id; fi
    done
    [ "$widest" -gt 500 ] && echo "$found"
}
