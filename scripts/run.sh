#!/usr/bin/env bash
# Installs what is missing, builds Gridlark and starts it. The build has a folder of its own
# (build-run/), so the test command's build/ keeps its tests whichever ran first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=Release -DGRIDLARK_TESTS=OFF \
  -DGRIDLARK_SANITIZE=OFF >/dev/null
cmake --build build-run
exec build-run/gridlark "$@"
