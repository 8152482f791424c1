#!/usr/bin/env bash
# Desktops that misbehave: none at all, a display with no server, a Wayland session without a
# compositor, bad scale factors, a missing or broken platform plugin, starved processes, and an
# X server without a window manager, which ignores a minimise.
. "$(dirname "$0")/common.sh"

# One plain line and status 1 within 5 s: no abort, no core, no invisible window.
limit=
refused() { # what sentence-pattern env-arguments... [-- program-arguments...]
  local what=$1 pattern=$2 code envs=() args=()
  shift 2
  while [ $# -gt 0 ] && [ "$1" != -- ]; do envs+=("$1"); shift; done
  [ $# -gt 0 ] && { shift; args=("$@"); }
  set +e
  (ulimit -c 0; [ -z "$limit" ] || ulimit $limit
   exec timeout -s KILL 5 env -u QT_QPA_PLATFORM "${envs[@]}" "$GRIDLARK" "${args[@]}") \
    >"$work/out" 2>&1
  code=$?
  set -e
  [ "$code" -eq 1 ] || fail "$what: exit code $code: $(cat "$work/out")"
  [ "$(wc -l <"$work/out")" -eq 1 ] || fail "$what: said $(cat "$work/out")"
  grep -q "^Gridlark .*$pattern" "$work/out" || fail "$what: said $(cat "$work/out")"
}
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
free=$((900 + RANDOM % 90))
while [ -e "/tmp/.X11-unix/X$free" ]; do free=$((free + 1)); done
desktop='needs a graphical desktop'
refused "no display" "$desktop, and no display is set" -u DISPLAY -u WAYLAND_DISPLAY
refused "no server" "$desktop and could not open display \":$free\"" -u WAYLAND_DISPLAY \
  DISPLAY=":$free"
refused "no compositor" "$desktop and could not open Wayland display" -u DISPLAY \
  WAYLAND_DISPLAY=wayland-$free
refused "-display" "could not open display \":$((free + 1))\"" -u WAYLAND_DISPLAY \
  DISPLAY=":$free" -- -display ":$((free + 1))"
for factor in -1 0 nan inf 1e9 1e-9 two; do
  refused "scale $factor" "QT_SCALE_FACTOR is \"$factor\", and it must be a number" \
    QT_SCALE_FACTOR=$factor
done
refused "screen scale" 'QT_SCREEN_SCALE_FACTORS is "0"' "QT_SCREEN_SCALE_FACTORS=one=1;two=0"
refused "bogus platform" 'platform "bogus": no such platform plugin' QT_QPA_PLATFORM=bogus
refused "-platform bogus" 'platform "bogus": no such platform plugin' -- -platform bogus
# A library of the X plugin that does not map: the dynamic linker's words.
mkdir "$work/lib" && : >"$work/lib/libQt6XcbQpa.so.6"
refused "unmappable plugin" 'platform plugin "xcb": .*libQt6XcbQpa.so.6' \
  -u WAYLAND_DISPLAY LD_LIBRARY_PATH="$work/lib" DISPLAY=":$free"
limit="-n 8" refused "8 files" "needs 32 open files .* only 8"

# Without a window manager a double click minimises nothing: the next release still snaps.
start_x
# No thread for the session bus, which the first window's accessibility waits on.
limit="-v 100000" refused "no threads" "cannot start a thread: .*"
start_game
xdotool windowmove --sync "$main" 500 400
sleep 0.2
read -r x y _ _ < <(geometry "$main")
xdotool mousemove $((x + 100)) $((y + 178)) click --repeat 2 --delay 80 1
sleep 0.5
xprop -id "$main" WM_STATE 2>/dev/null | grep -q Iconic && fail "minimised with no window manager"
xdotool windowmove --sync "$main" 20 400
sleep 0.2
click_at "$main" 100 178
read -r x y _ _ < <(geometry "$main")
[ "$x $y" = "0 400" ] || fail "no snap after a refused minimise: at $x,$y"

# No font at all: said once, and the marks still differ (an X crosses its centre, an O does not).
kill "$game"
wait "$game" 2>/dev/null || true
mkdir "$work/fonts"
printf '<?xml version="1.0"?>\n<fontconfig><cachedir>%s</cachedir></fontconfig>\n' \
  "$work/fonts" >"$work/fonts/fonts.conf"
FONTCONFIG_FILE="$work/fonts/fonts.conf" start_game
xdotool windowmove --sync "$main" 100 100
cell_click 0
cell_click 1
shot
centre() { count_colour $((100 + (246 + 862 * $1) / 15 + 19)) $((100 + 240 / 15 + 16)) 3 3 255,255,255; }
a=$(centre 0) b=$(centre 1)
[ $((a > 0)) -ne $((b > 0)) ] || fail "the marks look alike without fonts ($a, $b)"
[ "$(grep -c 'found no font' "$work/game.log")" -eq 1 ] || fail "said: $(cat "$work/game.log")"
echo "odd_desktops: ok"
