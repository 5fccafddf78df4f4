#!/bin/sh
# Installs what is missing, builds the project and runs the whole test suite.
# RT_BUILD_DIR and RT_CMAKE_ARGS choose another build (for example sanitizers).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/${RT_BUILD_DIR:-build}
"$root/tools/setup.sh"
cmake -S "$root" -B "$build" ${RT_CMAKE_ARGS:-} > /dev/null
cmake --build "$build" -j "$(nproc)"
cd "$build" && ctest --output-on-failure -j "$(nproc)"
