#!/usr/bin/env bash
# Measures the game's start-up under a real X server (Xvfb): the time from launch until
# the splash screen is mapped, until the main window is mapped with its board, and the
# resident memory once it is up. Prints the median of several runs.
#
# usage: bench/startup.sh [BUILD_DIR] [RUNS]      (needs xvfb and xdotool)
set -euo pipefail

build=${1:-"$(cd "$(dirname "$0")/.." && pwd)/build"}
runs=${2:-5}
game="$build/bin/tilvane"
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: apt-get install xvfb xdotool" >&2; exit 1; }
done
[ -x "$game" ] || { echo "no game at $game; build it first" >&2; exit 1; }

display=:97
Xvfb "$display" -screen 0 1920x1080x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
for attempt in $(seq 50); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done

# A private home, so that the measurement neither reads nor writes the player's files.
home=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$home"' EXIT

now_ms() { date +%s%3N; }

# The splash is the first visible window of the process; the main window is the
# visible one wider than the splash's 450 pixels.
widest_visible() {
    local widest=0 id width
    for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        width=$(xdotool getwindowgeometry "$id" 2>/dev/null | awk '/Geometry/ {split($2, a, "x"); print a[1]}')
        [ -n "$width" ] && [ "$width" -gt "$widest" ] && widest=$width
    done
    echo "$widest"
}

splash_times=() window_times=() rss_values=()
for run in $(seq "$runs"); do
    start=$(now_ms)
    HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" "$game" >"$home/run$run.log" 2>&1 &
    pid=$!
    splash=""
    window=""
    while [ -z "$window" ]; do
        width=$(widest_visible "$pid")
        [ -z "$splash" ] && [ "$width" -gt 0 ] && splash=$(( $(now_ms) - start ))
        [ "$width" -gt 460 ] && window=$(( $(now_ms) - start ))
        if ! kill -0 "$pid" 2>/dev/null || [ $(( $(now_ms) - start )) -gt 20000 ]; then
            echo "run $run: no main window; the game said:" >&2; cat "$home/run$run.log" >&2; kill "$pid" 2>/dev/null; exit 1
        fi
    done
    sleep 1
    rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "run $run: splash ${splash} ms, window ${window} ms, resident $((rss / 1024)) MiB"
    splash_times+=("$splash") window_times+=("$window") rss_values+=("$rss")
done

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
echo "median of $runs: splash $(median "${splash_times[@]}") ms, main window $(median "${window_times[@]}") ms, resident $(( $(median "${rss_values[@]}") / 1024 )) MiB"
