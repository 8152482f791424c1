#!/usr/bin/env bash
# A sighted player's game with the keys alone, in a real X window: Tab reaches the board, the
# current cell shows its indicator, Enter and the arrows win the top row.
. "$(dirname "$0")/common.sh"
start_x

start_game
xdotool windowmove --sync "$main" 500 400
sleep 0.2
read -r x y _ _ < <(geometry "$main")
keys() { xdotool key --delay 60 "$@"; sleep 0.2; }

# Black pixels along the top edge of a cell's indicator (cell 0's box starts at 16,16), counted
# from ImageMagick's pixel list: count_colour cannot count black.
indicator() { # cell
  convert "$work/shot.png" -crop "30x2+$((x + (246 + 862 * ($1 % 3)) / 15 + 2))+$((y + (240 + \
    840 * ($1 / 3)) / 15 + 1))" +repage txt:- | grep -c ' #000000 ' || true
}

# Painted once the picture is in: the board's grey, not the screen's black.
for _ in $(seq 50); do
  shot
  [ "$(pixel $((x + 30)) $((y + 30)))" != 0,0,0 ] && break
  sleep 0.1
done
[ "$(indicator 0)" -eq 0 ] || fail "an indicator before the board has the focus ($(indicator 0))"
keys Tab Tab
shot
[ "$(indicator 0)" -gt 40 ] || fail "no indicator on the top left cell ($(indicator 0))"
keys Right
shot
[ "$(indicator 0)" -eq 0 ] && [ "$(indicator 1)" -gt 40 ] || fail "the indicator did not move"

# Whoever starts wins the top row: 0 3 1 4 2, from the top middle.
keys Left Return Down Return Up Right space Down Return Up Right Return
notice=$(wait_window "AI enabled") || fail "no notice after the keyboard game"
shot
red=$(count_colour $((x + 17)) $((y + 36)) 150 5 192,0,0)
[ "$red" -gt 500 ] || fail "no red line over the top row ($red)"
for i in 0 1 2 3 4; do [ "$(mark_pixels $i)" -gt 30 ] || fail "no mark in cell $i"; done
gone_window "AI enabled" || fail "the notice did not close itself"

# The focus comes back to the board; Tab twice more leaves it (the link, then Reset).
sleep 0.3
shot
[ "$(indicator 2)" -gt 40 ] || fail "the board lost its current cell after the notice"
keys Tab Tab
shot
[ "$(indicator 2)" -eq 0 ] || fail "the indicator stayed after the focus left the board"
keys Return # Reset holds the focus again: Enter presses it
echo "keyboard_game: ok"
