#!/bin/bash
# Builds the libFuzzer harnesses with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time on top of its
# stored corpus, fuzz/corpus/<name>. Prints the executions per harness and
# the total; fails when any harness reports a crash, hang, leak or sanitizer
# error, leaving the input in $RT_FUZZ_BUILD_DIR/artifacts/<name>/.
# Usage: tools/fuzz.sh [harness...]   (default: scene number bmp obj mtl)
# RT_FUZZ_TIME: seconds per harness (default 60).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
build=$root/${RT_FUZZ_BUILD_DIR:-build-fuzz}
seconds=${RT_FUZZ_TIME:-60}
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(scene number bmp obj mtl)

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DRT_FUZZ=ON -DRT_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" -j "$(nproc)" --target "${harnesses[@]/#/fuzz_}"

# Every input goes through a file: keep them in memory where possible.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
total=0
failed=()
for name in "${harnesses[@]}"; do
    artifacts=$build/artifacts/$name
    mkdir -p "$work/$name" "$artifacts"
    log=$build/fuzz_$name.log
    # New inputs go to the first, scratch directory; the stored corpus is
    # only read. Output of the readers is closed (fd mask 3); reports stay.
    dict=()
    [ -f "$root/fuzz/$name.dict" ] && dict=(-dict="$root/fuzz/$name.dict")
    status=0
    "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="$artifacts/" "${dict[@]}" \
        "$work/$name" "$root/fuzz/corpus/$name" > "$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    runs=${runs:-0}
    total=$((total + runs))
    if [ "$status" -eq 0 ]; then
        printf '%-6s %10d executions\n' "$name" "$runs"
    else
        printf '%-6s %10d executions, FAILED (status %d): see %s\n' "$name" "$runs" "$status" "$log"
        grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | head -n 5 || true
        failed+=("$name")
    fi
done
printf '%-6s %10d executions\n' total "$total"
[ ${#failed[@]} -eq 0 ] || { echo "fuzzing found faults in: ${failed[*]}"; exit 1; }
