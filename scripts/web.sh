#!/usr/bin/env bash
# Installs what is missing, builds the web page as it ships (build-page/) and serves it on this
# machine only. The files in build-page/ (index.html, gridlark.html, .js, .wasm, .css and the
# artwork) are static: any web server can serve them, with .wasm as application/wasm.
# Usage: web.sh [port]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh web
export NODE_PATH=/usr/share/nodejs # Emscripten's own JavaScript tools, for any node
port=${1:-8000}
[ -f build-page/CMakeCache.txt ] ||
  emcmake cmake -S . -B build-page -G Ninja -DCMAKE_BUILD_TYPE=Release -DGRIDLARK_TESTS=OFF \
    >/dev/null
cmake --build build-page --target gridlark
echo "Gridlark (compressed, with cache validators and the content policy):"
exec python3 scripts/serve.py build-page "$port"
