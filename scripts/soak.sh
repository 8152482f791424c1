#!/usr/bin/env bash
# The long soak: a million random events (or $1) through the real Qt backend, offscreen.
# Prints its seed; GRIDLARK_SOAK_SEED=<seed> replays a run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target gridlark_soak
GRIDLARK_SOAK_EVENTS=${1:-1000000} build/tests/gridlark_soak 2>&1 | grep -v 'does not support raise'
