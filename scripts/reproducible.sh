#!/usr/bin/env bash
# Builds the last commit twice, from two clones at different paths, at different times, with
# different file times and umasks (022 and 077), and compares what ships: the .deb, both
# Gridlark.exe, the Windows zip and the web page. SOURCE_DATE_EPOCH is left to the build.
# Usage: reproducible.sh [deb] [windows] [web]   (all three by default; the web build is slow)
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
what=("$@")
[ ${#what[@]} -gt 0 ] || what=(deb windows web)
wants() { printf '%s\n' "${what[@]}" | grep -qx "$1"; }
wants deb && scripts/setup.sh test >/dev/null
wants windows && scripts/setup.sh windows >/dev/null
wants web && scripts/setup.sh web >/dev/null
jobs=$(($(nproc) < 2 ? $(nproc) : 2))
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset SOURCE_DATE_EPOCH

build() { # clone-folder
  local s=$1 out=$1/artifacts
  mkdir -p "$out"
  if wants deb; then
    cmake -S "$s" -B "$s/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGRIDLARK_TESTS=OFF >/dev/null
    cmake --build "$s/build" -j "$jobs" >/dev/null
    (cd "$s/build" && cpack -G DEB >/dev/null)
    cp "$s"/build/gridlark_*.deb "$out/"
  fi
  if wants windows; then
    cmake -S "$s" -B "$s/build-win32" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
      -DCMAKE_BUILD_TYPE=Release -DGRIDLARK_TESTS=OFF >/dev/null
    cmake --build "$s/build-win32" -j "$jobs" >/dev/null
    cmake -S "$s" -B "$s/build-win64" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
      -DCMAKE_BUILD_TYPE=Release -DGRIDLARK_TESTS=OFF \
      -DGRIDLARK_WIN32_EXE="$s/build-win32/Gridlark.exe" >/dev/null
    cmake --build "$s/build-win64" -j "$jobs" >/dev/null
    (cd "$s/build-win64" && cpack -G ZIP >/dev/null)
    cp "$s/build-win32/Gridlark.exe" "$out/Gridlark-32bit.exe"
    cp "$s/build-win64/Gridlark.exe" "$out/Gridlark-64bit.exe"
    cp "$s"/build-win64/Gridlark-*-windows.zip "$out/"
  fi
  if wants web; then
    (export NODE_PATH=/usr/share/nodejs
      emcmake cmake -S "$s" -B "$s/build-page" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DGRIDLARK_TESTS=OFF \
        -DGRIDLARK_CLOSURE="$src/platform/web/tools/node_modules/.bin/google-closure-compiler" \
        >/dev/null
      cmake --build "$s/build-page" -j "$jobs" --target gridlark >/dev/null)
    mkdir "$out/web"
    (cd "$s/build-page" && cp gridlark.html gridlark.js gridlark.wasm gridlark.boot.js gridlark.css \
      ./*.png "$out/web/")
  fi
  (cd "$out" && find . -type f | LC_ALL=C sort | xargs sha256sum)
}

git clone -q --no-hardlinks "$src" "$work/a"
git clone -q --no-hardlinks "$src" "$work/second/path/b"
# Other checkout times for the second clone's files, as a later checkout would give them.
find "$work/second/path/b" -path '*/.git' -prune -o -type f -exec touch -d '2001-02-03 04:05' {} +
(umask 022 && build "$work/a") >"$work/a.sums"
sleep 2
(umask 077 && build "$work/second/path/b") >"$work/b.sums"
sed 's|  \./|  |' "$work/a.sums"
if cmp -s "$work/a.sums" "$work/b.sums"; then
  echo "reproducible: ok, $(wc -l <"$work/a.sums") files identical"
else
  echo "FAIL: the two builds differ:" >&2
  diff "$work/a.sums" "$work/b.sums" >&2 || true
  exit 1
fi
