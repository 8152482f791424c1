#!/usr/bin/env bash
# The screen changes under the game (a laptop leaving its dock, a projector), with and without a
# window manager: the window snapped to the right and bottom edges stays at them. On a screen
# too short for the snapping rule the window's top stays on the screen.
. "$(dirname "$0")/common.sh"

mode() { # width height: adds the mode to Xvfb's one output once, and switches to it
  xrandr | grep -q "^ *$1x$2 " || {
    xrandr --newmode "$1x$2" 0 "$1" 0 0 0 "$2" 0 0 0
    xrandr --addmode screen "$1x$2"
  }
  xrandr --output screen --mode "$1x$2"
}

at() { # window x y: waits until the window is there
  for _ in $(seq 40); do
    read -r x y _ _ < <(geometry "$1")
    [ "$x $y" = "$2 $3" ] && return 0
    sleep 0.05
  done
  fail "${4:-}: at $x,$y, expected $2,$3"
}

start_x
start_game
for manager in none openbox; do
  if [ "$manager" = openbox ]; then
    openbox --sm-disable >/dev/null 2>&1 &
    pids+=($!)
    sleep 0.5
  fi
  xdotool windowmove --sync "$main" 1150 900
  click_at "$main" 100 178
  at "$main" 1092 757 "snapped ($manager)"
  mode 800 600
  at "$main" 612 333 "at 800x600 ($manager)"
  mode 1280 1024
  at "$main" 1092 757 "back at 1280x1024 ($manager)"
done
kill "$game"
wait "$game" 2>/dev/null || true

# Three times the size on 640x480: the rule gives a top of -1600 twips.
mode 640 480
QT_SCALE_FACTOR=3 start_game
xdotool windowmove --sync "$main" 20 20
click_at "$main" 15 15
at "$main" 75 0 "short screen" # flush right by the rule, top on the screen
echo "screen_change: ok"
