#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs the sample installer
# under Wine. Without a DISPLAY it runs on a virtual X screen, takes a
# screenshot and stops; with a DISPLAY it runs until you close it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"
exec python3 scripts/run_sample.py build/windows "$@"
