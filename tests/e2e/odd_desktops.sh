#!/usr/bin/env bash
# Desktops that misbehave: none at all, a display with no server, a Wayland session without a
# compositor, and an X server without a window manager, which ignores a minimise.
. "$(dirname "$0")/common.sh"

# One plain line and status 1: no abort, no core, no invisible window.
refused() { # what env-arguments...
  local what=$1 code
  shift
  set +e
  (ulimit -c 0; exec env -u QT_QPA_PLATFORM "$@" "$GRIDLARK") >"$work/out" 2>&1
  code=$?
  set -e
  [ "$code" -eq 1 ] || fail "$what: exit code $code: $(cat "$work/out")"
  [ "$(wc -l <"$work/out")" -eq 1 ] || fail "$what: said $(cat "$work/out")"
  grep -q '^Gridlark needs a graphical desktop' "$work/out" || fail "$what: said $(cat "$work/out")"
}
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
free=$((900 + RANDOM % 90))
while [ -e "/tmp/.X11-unix/X$free" ]; do free=$((free + 1)); done
refused "no display" -u DISPLAY -u WAYLAND_DISPLAY
refused "no server" -u WAYLAND_DISPLAY DISPLAY=":$free"
grep -qF "\":$free\"" "$work/out" || fail "the line does not name the display: $(cat "$work/out")"
refused "no compositor" -u DISPLAY WAYLAND_DISPLAY=wayland-$free

# Without a window manager a double click minimises nothing: the next release still snaps.
start_x
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
echo "odd_desktops: ok"
