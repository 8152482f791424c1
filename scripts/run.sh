#!/usr/bin/env bash
# Installs what is missing, builds Gridlark and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DGRIDLARK_TESTS=OFF >/dev/null
cmake --build build
exec build/gridlark "$@"
