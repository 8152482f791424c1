#!/usr/bin/env bash
# Dragging and snapping on a 1280 x 1024 screen, the minimise toggle and the web link.
. "$(dirname "$0")/common.sh"
start_x wm

# A stand-in for the desktop's opener: records what it is asked to open.
mkdir "$work/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$#" "$@" > "%s/opened"\n' "$work" > "$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"

start_game
drag() { # from x y (client) by dx dy
  read -r wx wy _ _ < <(geometry "$main")
  xdotool mousemove $((wx + $1)) $((wy + $2)) mousedown 1
  sleep 0.1
  xdotool mousemove $((wx + $1 + $3 / 2)) $((wy + $2 + $4 / 2))
  sleep 0.1
  xdotool mousemove $((wx + $1 + $3)) $((wy + $2 + $4))
  sleep 0.1
  xdotool mouseup 1
  sleep 0.3
}
place() { xdotool windowmove --sync "$main" "$1" "$2"; sleep 0.2; }
at() { read -r wx wy _ _ < <(geometry "$main"); echo "$wx $wy"; }

place 500 400
drag 100 178 60 -40
[ "$(at)" = "560 360" ] || fail "drag ended at $(at)"
place 80 400
drag 100 178 -60 0
[ "$(at)" = "0 400" ] || fail "20 px from the left edge: $(at)"
place 90 400
drag 100 178 -60 0
[ "$(at)" = "30 400" ] || fail "30 px from the left edge: $(at)"
place 1000 400
drag 100 178 70 0
[ "$(at)" = "1092 400" ] || fail "near the right edge: $(at)"
place 500 700
drag 100 178 0 40
[ "$(at)" = "500 757" ] || fail "near the bottom: $(at)"

# The link: a right press does nothing, a left press opens the page as one argument.
click_at "$main" $((1920 / 15 + 10)) $((2880 / 15 + 5)) 3
sleep 0.5
[ -e "$work/opened" ] && fail "a right press opened the page"
xdotool search --onlyvisible --name Attention >/dev/null 2>&1 && fail "the link prompted"
click_at "$main" $((1920 / 15 + 10)) $((2880 / 15 + 5)) 1
for _ in $(seq 40); do [ -s "$work/opened" ] && break; sleep 0.05; done
[ "$(head -1 "$work/opened")" = 1 ] || fail "opener got $(head -1 "$work/opened" 2>/dev/null) arguments"
grep -qx 'https://www.fernwick.example' "$work/opened" || fail "opened $(cat "$work/opened")"

# A double click on the background minimises the window.
read -r wx wy _ _ < <(geometry "$main")
xdotool mousemove $((wx + 100)) $((wy + 178)) click --repeat 2 --delay 80 1
sleep 0.5
xprop -id "$main" WM_STATE | grep -q Iconic || fail "not minimised"
echo "drag_snap: ok"
