#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs every test through CTest:
# the native suites under the sanitizers, a short fuzzing run, then the
# Windows build's suites and end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz

cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
ctest --preset windows
echo "All tests passed."
