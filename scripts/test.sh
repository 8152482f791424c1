#!/usr/bin/env bash
# Installs what is missing, builds Gridlark and passes every test: the suite and the soak on the
# headless backend, in seconds (build-headless/), the suite on Qt's offscreen platform with
# end-to-end checks under Xvfb (build/), the suite again with the sanitizers (build-asan/), and the Windows builds with the same suite under Wine (build-win64/,
# build-win32/), and the web build with the same suite in headless Chromium (build-web/). Every
# suite runs even when one fails; the last lines count each suite's tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
export GRIDLARK_SUMMARY
GRIDLARK_SUMMARY=$(mktemp)
trap 'rm -f "$GRIDLARK_SUMMARY"' EXIT
. scripts/suite.sh

jobs=$(nproc)
# First the quick one: no window system, no program, only the suite and the soak.
cmake -S . -B build-headless -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRIDLARK_TESTS=ON \
  -DGRIDLARK_SANITIZE=OFF -DGRIDLARK_BACKEND=headless >/dev/null
cmake --build build-headless -j "$jobs" --target gridlark_tests gridlark_soak
suite Headless build-headless -j "$jobs"

# Every option the suite relies on is given here, whatever the folder's cache holds.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRIDLARK_TESTS=ON \
  -DGRIDLARK_SANITIZE=OFF >/dev/null
cmake --build build -j "$jobs"
suite Linux build -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGRIDLARK_TESTS=ON \
  -DGRIDLARK_SANITIZE=ON >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  suite "Linux with sanitizers" build-asan -j "$jobs" -LE e2e

scripts/test-windows.sh || suites_failed=$((suites_failed + 1))
scripts/test-web.sh || suites_failed=$((suites_failed + 1))

echo
echo "Summary"
cat "$GRIDLARK_SUMMARY"
read -r passed failed < <(awk '/^[^:]+: [0-9]+ passed, [0-9]+ failed$/ {
  p += $(NF - 3); f += $(NF - 1) } END { print p + 0, f + 0 }' "$GRIDLARK_SUMMARY")
echo "total: $passed passed, $failed failed"
[ "$suites_failed" -eq 0 ] && [ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
