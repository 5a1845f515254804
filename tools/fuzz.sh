#!/usr/bin/env bash
# Builds the libFuzzer targets of the file readers in build-fuzz (clang, TILVANE_FUZZ=ON)
# and runs one or both for the given number of seconds, then prints what they did and
# what they found. The repository's seed corpus is copied to a scratch folder first, so
# the inputs a run adds stay out of the repository; the folder is kept for inspection.
#
#   tools/fuzz.sh layout|gamefile|all SECONDS
#
# `all` runs both targets at once, each on its own core. Exits 1 when anything was found.
set -euo pipefail

usage() { echo "usage: $0 layout|gamefile|all SECONDS" >&2; exit 2; }
[ $# -eq 2 ] || usage
case "$1" in layout) targets=(layout) ;; gamefile) targets=(gamefile) ;; all) targets=(layout gamefile) ;; *) usage ;; esac
seconds=$2
[[ "$seconds" =~ ^[1-9][0-9]*$ ]] || usage

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$here/build-fuzz"
fuzz_dir="$here/tests/fuzz"

# Layouts and game files are a few kilobytes; inputs up to 64 KiB leave room for
# growth without letting libFuzzer spend its time on huge files.
max_input_bytes=65536
timeout_seconds=10
rss_limit_mb=2048

# clang brings the compiler; libclang-rt-14-dev brings the libFuzzer and sanitizer
# runtimes that -fsanitize=fuzzer links.
packages=(clang libclang-rt-14-dev cmake make qtbase5-dev qtbase5-dev-tools)

# shellcheck source=tools/install-packages.sh
source "$here/tools/install-packages.sh"
install_missing_packages "${packages[@]}"

CC=clang CXX=clang++ cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTILVANE_FUZZ=ON >/dev/null
for target in "${targets[@]}"; do
    cmake --build "$build" --target "tilvane-fuzz-$target" --parallel "$(nproc)"
done

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tilvane-fuzz.XXXXXX")
echo "Scratch folder: $scratch"

cores=$(nproc)
pids=()
index=0
for target in "${targets[@]}"; do
    work="$scratch/$target"
    mkdir -p "$work/corpus" "$work/findings"
    cp "$fuzz_dir/corpus/$target/"* "$work/corpus/"
    pin=()
    if command -v taskset >/dev/null && [ "$cores" -gt 1 ]; then
        pin=(taskset -c "$((index % cores))")
    fi
    echo "Running tilvane-fuzz-$target for $seconds s (log: $work/fuzz.log)"
    "${pin[@]}" "$build/bin/tilvane-fuzz-$target" \
        -max_total_time="$seconds" -max_len="$max_input_bytes" \
        -timeout="$timeout_seconds" -rss_limit_mb="$rss_limit_mb" \
        -dict="$fuzz_dir/$target.dict" -artifact_prefix="$work/findings/" \
        -print_final_stats=1 "$work/corpus" >"$work/fuzz.log" 2>&1 &
    pids+=($!)
    index=$((index + 1))
done

status=0
for pid in "${pids[@]}"; do
    wait "$pid" || status=1
done

for target in "${targets[@]}"; do
    work="$scratch/$target"
    echo
    echo "== tilvane-fuzz-$target"
    # The last status line has the coverage (cov), features (ft) and corpus (corp).
    grep -E '^#[0-9]+[[:space:]]+(DONE|NEW|REDUCE|pulse|INITED)' "$work/fuzz.log" | tail -n 1 || true
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' \
        "$work/fuzz.log" || true
    echo "corpus files: $(find "$work/corpus" -type f | wc -l)"
    findings=$(find "$work/findings" -type f | sort)
    if [ -n "$findings" ]; then
        status=1
        echo "FINDINGS:"
        echo "$findings"
        grep -E 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|fuzz: ' \
            "$work/fuzz.log" | head -n 20 || true
    else
        echo "findings: none"
    fi
done
exit "$status"
