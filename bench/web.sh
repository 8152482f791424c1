#!/usr/bin/env bash
# The web page's footprint (bench/web/run.mjs): bytes transferred, and start-up against a bare
# canvas page, in headless Chromium. Builds the page first. Usage: web.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh web
export NODE_PATH=/usr/share/nodejs
[ -f build-web/CMakeCache.txt ] ||
  emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-web --target gridlark
node bench/web/run.mjs build-web "$@"
