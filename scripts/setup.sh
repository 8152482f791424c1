#!/usr/bin/env bash
# Installs the Debian packages that Gridlark needs and are missing.
# Usage: setup.sh [run|test|windows|web]
set -euo pipefail

what=${1:-test}
packages=(cmake ninja-build g++ qt6-base-dev fonts-dejavu-core fonts-liberation)
if [ "$what" = web ]; then
  # The browser build alone: Emscripten, GoogleTest's sources, and Chromium for the suites.
  packages=(cmake ninja-build emscripten googletest chromium fonts-dejavu-core fonts-liberation
    brotli)
  command -v node >/dev/null || packages+=(nodejs)
  command -v npm >/dev/null || packages+=(npm)
  command -v java >/dev/null || packages+=(default-jre-headless) # the Closure Compiler's
elif [ "$what" != run ]; then
  packages+=(googletest libgtest-dev libqt6test6 xvfb xdotool x11-utils imagemagick openbox procps
    desktop-file-utils appstream dpkg-dev lintian devscripts)
  # The screen reader's view: a session bus, the accessibility bus and a client for it.
  [ "$what" = test ] && packages+=(dbus at-spi2-core python3-pyatspi)
  # A real screen reader, speaking through speech-dispatcher's dummy output to its log.
  [ "$what" = test ] && packages+=(orca speech-dispatcher)
fi
if [ "$what" = windows ]; then
  # Both Windows builds are always made; Wine's 32-bit loader only where it can run.
  packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
    binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 icoutils wine wine64)
  "$(dirname "$0")/can-run-32bit.sh" && packages+=(wine32:i386)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
    $sudo dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q -o DPkg::Lock::Timeout=300 "${missing[@]}"
fi

# The Closure Compiler that shrinks the shipped page's script, in the version of Emscripten's
# release; its Java build only (the optional native one is 219 MB).
tools=$(dirname "$0")/../platform/web/tools
if [ "$what" = web ] && [ ! "$tools/node_modules/.package-lock.json" -nt "$tools/package-lock.json" ]; then
  npm ci --prefix "$tools" --omit=optional --no-audit --no-fund >/dev/null
fi

# Playwright's library for the web suites, as the lock file pins it. It drives Debian's Chromium
# and downloads no browser of its own.
web=$(dirname "$0")/../tests/web
if [ "$what" = web ] && [ ! "$web/node_modules/.package-lock.json" -nt "$web/package-lock.json" ]; then
  npm ci --prefix "$web" --no-audit --no-fund >/dev/null
fi
