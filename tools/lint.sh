#!/bin/bash
# Static analysis of the program's sources (src/ and src/Obj/): clang-tidy
# with the committed .clang-tidy, then cppcheck; both read the compile
# commands that CMake writes when it configures (nothing is built). Any
# finding fails the script.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
build=$root/${RT_LINT_BUILD_DIR:-build-lint}

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DRT_BUILD_TESTS=OFF > /dev/null
mapfile -t sources < <(cd "$root" && ls src/*.cpp src/*/*.cpp)

echo "clang-tidy: ${#sources[@]} files"
status=0
# Without the count of system-header warnings that each file reports.
(cd "$root" && printf '%s\n' "${sources[@]}" |
    xargs -P "$(nproc)" -n 1 clang-tidy-14 -p "$build" --quiet 2>&1 |
    { grep -v '^[0-9]* warnings\? generated\.$' || true; }
    exit "${PIPESTATUS[1]}") || status=1

echo "cppcheck"
(cd "$root" && cppcheck --project="$build/compile_commands.json" --file-filter="$root/src/*" \
    --std=c++17 --enable=warning,performance,portability --inline-suppr \
    --suppressions-list="$root/tools/cppcheck-suppressions.txt" \
    --error-exitcode=1 -q -j "$(nproc)") || status=1

[ "$status" -eq 0 ] && echo "lint: clean" || echo "lint: findings above"
exit "$status"
