#!/usr/bin/env bash
# Installs what is missing, cross-builds Gridlark.exe with mingw-w64 for 32-bit (build-win32/)
# and 64-bit (build-win64/) Windows and tests both: the resources read back from each program,
# then the suite through CTest's emulator and each program played on Xvfb under Wine. The 64-bit
# build runs under Wine's 64-bit loader, called directly; the 32-bit one under the 32-bit loader,
# only on machines that can run 32-bit programs. Usage: test-windows.sh [ctest arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh windows
. scripts/suite.sh

jobs=$(nproc)
run32=ON
scripts/can-run-32bit.sh || run32=OFF

# A folder configured with another generator (the README's command once used the default) is
# configured afresh: CMake refuses to switch generators in place.
for b in build-win32 build-win64; do
  if [ -f $b/CMakeCache.txt ] && ! grep -qx 'CMAKE_GENERATOR:INTERNAL=Ninja' $b/CMakeCache.txt; then
    rm -rf $b/CMakeCache.txt $b/CMakeFiles
  fi
done
cmake -S . -B build-win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DGRIDLARK_TESTS=ON -DGRIDLARK_WINE_TESTS=$run32 >/dev/null
# Without 32-bit support the tests' programs cannot run: the program alone is enough.
cmake --build build-win32 -j "$jobs" $([ "$run32" = ON ] || echo --target gridlark)
# The 64-bit build's zip carries the 32-bit program beside its own.
cmake -S . -B build-win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DGRIDLARK_TESTS=ON -DGRIDLARK_WINE_TESTS=ON \
  -DGRIDLARK_WIN32_EXE="$PWD/build-win32/Gridlark.exe" >/dev/null
cmake --build build-win64 -j "$jobs"

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
pids=()
prefixes=()
cleanup() {
  for p in "${prefixes[@]}"; do WINEPREFIX=$p wineserver -k 2>/dev/null || true; done
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own with a window manager: Wine waits 2 s at every hide without one.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")" XDG_RUNTIME_DIR=$work/xdg
mkdir -m 700 "$XDG_RUNTIME_DIR"
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)

# What the tests rely on: Windows 7 as the version and its colour scheme (which the core's
# stand-in scheme is), and windows that the window manager leaves where the suite puts them.
cat >"$work/settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine]
"Version"="win7"

[HKEY_CURRENT_USER\Control Panel\Colors]
"Scrollbar"="200 200 200"
"Background"="0 0 0"
"ActiveTitle"="153 180 209"
"InactiveTitle"="191 205 219"
"Menu"="240 240 240"
"Window"="255 255 255"
"WindowFrame"="100 100 100"
"MenuText"="0 0 0"
"WindowText"="0 0 0"
"TitleText"="0 0 0"
"ActiveBorder"="180 180 180"
"InactiveBorder"="244 247 252"
"AppWorkSpace"="171 171 171"
"Hilight"="51 153 255"
"HilightText"="255 255 255"
"ButtonFace"="240 240 240"
"ButtonShadow"="160 160 160"
"GrayText"="109 109 109"
"ButtonText"="0 0 0"
"InactiveTitleText"="67 78 84"
"ButtonHilight"="255 255 255"
"ButtonDkShadow"="105 105 105"
"ButtonLight"="227 227 227"
"InfoText"="0 0 0"
"InfoWindow"="255 255 225"
"ButtonAlternateFace"="0 0 0"
"HotTrackingColor"="0 102 204"
"GradientActiveTitle"="185 209 234"
"GradientInactiveTitle"="215 228 242"
"MenuHilight"="51 153 255"
"MenuBar"="240 240 240"

[HKEY_CURRENT_USER\Software\Wine\AppDefaults\gridlark_tests.exe\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\AppDefaults\gridlark_soak.exe\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\AppDefaults\win32_backend_tests.exe\X11 Driver]
"Managed"="N"
REG

# One prefix per build folder, made once, with the settings above. Wine's helpers outlive the
# command that starts them and keep its output open: start them here, away from CTest's pipes.
wine_session() { # build-folder loader win64|win32
  local build=$1 loader=$2
  export WINEPREFIX=$PWD/$build/wine WINELOADER=$loader WINEARCH=$3 GRIDLARK_WINE=$loader
  prefixes+=("$WINEPREFIX")
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix $WINEPREFIX"
    "$loader" wineboot -i >/dev/null 2>&1 </dev/null
  fi
  wineserver -p >/dev/null 2>&1 </dev/null || true # one may be up already (wineboot starts it)
  "$loader" wineboot >/dev/null 2>&1 </dev/null
  if ! cmp -s "$work/settings.reg" "$WINEPREFIX/gridlark-settings.reg"; then
    cp "$work/settings.reg" "$WINEPREFIX/gridlark-settings.reg"
    "$loader" regedit /S "$("$loader" winepath -w "$WINEPREFIX/gridlark-settings.reg" 2>/dev/null)" \
      >/dev/null 2>&1 </dev/null
    # Wine reads the colour scheme once per session: start a new one with the settings in place.
    wineserver -k >/dev/null 2>&1 </dev/null || true
    wineserver -w >/dev/null 2>&1 </dev/null || true
    wineserver -p >/dev/null 2>&1 </dev/null || true
    "$loader" wineboot >/dev/null 2>&1 </dev/null
  fi
}

end_session() {
  wineserver -k >/dev/null 2>&1 </dev/null || true
  wineserver -w >/dev/null 2>&1 </dev/null || true
}

# One test at a time: the windows of parallel tests would take each other's focus.
export SUITE_RETRY_SETUP=1
wine_session build-win64 /usr/lib/wine/wine64 win64
suite "Windows 64-bit" build-win64 -j1 "$@"
end_session

if [ "$run32" = ON ]; then
  wine_session build-win32 /usr/lib/wine/wine win32
  suite "Windows 32-bit" build-win32 -j1 "$@"
  end_session
else
  # Built and read back all the same: only running it needs a machine that runs 32-bit programs.
  suite "Windows 32-bit, resources and zip" build-win32
  note "Windows 32-bit suite: not run here: this machine cannot run 32-bit programs"
fi
[ "$suites_failed" -eq 0 ]
