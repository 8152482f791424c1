#!/usr/bin/env bash
# The web page's footprint (bench/web/run.mjs): bytes transferred, the waterfall, and start-up
# (unthrottled and on emulated Slow 4G) against a bare canvas page, in headless Chromium. Builds
# the page first (bench/build-web/). Usage: web.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh web
export NODE_PATH=/usr/share/nodejs
# The page as it would be put on a server: a Release build without the tests (and so without
# the exception support that only the suite needs), in a folder of its own.
emcmake cmake -S . -B bench/build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DGRIDLARK_TESTS=OFF \
  >/dev/null
cmake --build bench/build-web --target gridlark
node bench/web/run.mjs bench/build-web "$@"
