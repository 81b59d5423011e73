#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs the sample installer,
# or the INSTALLER given, under Wine. Without a DISPLAY it runs on a virtual X
# screen, saves a screenshot of the wizard's first page and stops; with a
# DISPLAY it runs until you close it.
#
# Usage: scripts/run-sample.sh [INSTALLER]
set -euo pipefail
installer=()
if [ $# -gt 0 ]; then
  installer=("$(realpath -m -- "$1")")
fi
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"
exec python3 scripts/run_sample.py build/windows "${installer[@]}"
