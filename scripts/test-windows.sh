#!/usr/bin/env bash
# Installs what is missing, cross-builds Gridlark.exe with mingw-w64 (i686) and passes every test
# under Wine: the suite through CTest's emulator, the resources read back from the program, and
# the program itself played on Xvfb. Usage: test-windows.sh [ctest arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh windows

build=build-win32
jobs=$(nproc)
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build "$build" -j "$jobs"

export WINEPREFIX=$PWD/$build/wine WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
pids=()
cleanup() {
  wineserver -k 2>/dev/null || true
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
cat >"$work/settings.reg" <<'EOF'
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
EOF

# One prefix per build folder, made once. Wine's helpers outlive the command that starts them
# and keep its output open: start them here, away from CTest's pipes.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Making the Wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1 </dev/null
fi
wineserver -p >/dev/null 2>&1 </dev/null || true # one may be up already (wineboot starts it)
wine wineboot >/dev/null 2>&1 </dev/null
if ! cmp -s "$work/settings.reg" "$WINEPREFIX/gridlark-settings.reg"; then
  cp "$work/settings.reg" "$WINEPREFIX/gridlark-settings.reg"
  wine regedit /S "$(winepath -w "$WINEPREFIX/gridlark-settings.reg")" >/dev/null 2>&1 </dev/null
  # Wine reads the colour scheme once per session: start a new one with the settings in place.
  wineserver -k >/dev/null 2>&1 </dev/null || true
  wineserver -w >/dev/null 2>&1 </dev/null || true
  wineserver -p >/dev/null 2>&1 </dev/null || true
  wine wineboot >/dev/null 2>&1 </dev/null
fi

# One test at a time: the windows of parallel tests would take each other's focus.
ctest --test-dir "$build" --output-on-failure -j1 "$@"
