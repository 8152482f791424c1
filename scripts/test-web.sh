#!/usr/bin/env bash
# Installs what is missing, builds the page as it ships (build-page/) and the shared suite as
# WebAssembly (build-web/), and runs them in headless Chromium: the suite (again on a screen of
# ratio 2) and the page played end to end with Playwright. Usage: test-web.sh [ctest arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh web
. scripts/suite.sh

# Emscripten's own JavaScript tools are Debian's; a node that is not Debian's needs their path.
export NODE_PATH=/usr/share/nodejs

jobs=$(nproc)
# The page as it ships (build-page/, as scripts/web.sh serves it), which the end-to-end checks
# play, and the suite's build beside it.
emcmake cmake -S . -B build-page -G Ninja -DCMAKE_BUILD_TYPE=Release -DGRIDLARK_TESTS=OFF >/dev/null
cmake --build build-page -j "$jobs"
emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DGRIDLARK_TESTS=ON \
  -DGRIDLARK_WEB_PAGE="$PWD/build-page" >/dev/null
cmake --build build-web -j "$jobs"
suite Web build-web -j "$jobs" "$@"
[ "$suites_failed" -eq 0 ]
