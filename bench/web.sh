#!/usr/bin/env bash
# The web page's footprint (bench/web/run.mjs): bytes transferred, the waterfall, and start-up
# (unthrottled and on emulated Slow 4G) against a bare canvas page, in headless Chromium. Builds
# the page as it ships first (build-page/, as scripts/web.sh does). Usage: web.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh web
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build-page -G Ninja -DCMAKE_BUILD_TYPE=Release -DGRIDLARK_TESTS=OFF >/dev/null
cmake --build build-page --target gridlark
node bench/web/run.mjs build-page "$@"
