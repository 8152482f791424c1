#!/usr/bin/env bash
# Gridlark.exe under Wine on Xvfb with openbox, played with xdotool: a won game shows the red
# strike-through and the notice beside the main window, and the board clears again about 1.5 s
# later. Needs WINEPREFIX (a prefix made with wineboot) and GRIDLARK_WINE, the Wine loader that
# runs the program (Wine's 64-bit loader for a 64-bit program).
exe=${GRIDLARK:?path to Gridlark.exe}
. "$(dirname "$0")/common.sh"
start_x wm

# Wine runs the program; the wrapper keeps common.sh's process handling as it is.
printf '#!/bin/sh\nexec "%s" "%s" "$@"\n' "${GRIDLARK_WINE:?Wine loader}" "$(realpath "$exe")" \
  >"$work/gridlark"
chmod +x "$work/gridlark"
GRIDLARK=$work/gridlark
start_game

red_on_top_row() { # pixels of the red line across the top row
  read -r wx wy _ _ < <(geometry "$main")
  count_colour $((wx + 17)) $((wy + 36)) 41 5 192,0,0
}

# Plays the top row for whoever starts and checks what follows.
play_top_row_win() {
  for cell in 0 3 1 4; do cell_click $cell; done
  shot
  [ "$(red_on_top_row)" -eq 0 ] || fail "a line before the win"
  cell_click 2
  local won_at=$(date +%s%N)
  # The notice and the board as they were at the win, before any check: the notice lives 1.5 s,
  # and the checks take a while on a busy machine.
  shot
  notice=$(wait_window 'AI enabled') || fail "no notice"
  read -r mx my mw mh < <(geometry "$main")
  read -r nx ny nw nh < <(geometry "$notice")
  [ "$(red_on_top_row)" -gt 150 ] || fail "no red strike-through over the top row"
  for cell in 0 1 2; do [ "$(mark_pixels $cell)" -gt 30 ] || fail "no mark in cell $cell"; done
  [ "$nw $nh" = "188 58" ] || fail "notice is $nw x $nh"
  [ "$nx" -eq "$mx" ] || fail "notice at x $nx, main window at $mx"
  if [ "$my" -gt 58 ]; then
    [ "$ny" -eq $((my - 58)) ] || fail "notice at y $ny, not above the main window at $my"
  else
    [ "$ny" -eq $((my + mh)) ] || fail "notice at y $ny, not below the main window at $my"
  fi

  gone_window 'AI enabled' || fail "notice still open"
  local cleared=$(( ($(date +%s%N) - won_at) / 1000000 ))
  [ "$cleared" -ge 1200 ] && [ "$cleared" -le 3500 ] || fail "cleared after $cleared ms"
  shot
  for cell in 0 1 2 3 4; do [ "$(mark_pixels $cell)" -eq 0 ] || fail "cell $cell not cleared"; done
  [ "$(red_on_top_row)" -eq 0 ] || fail "line left after the reset"
}

# Where Windows placed it (Wine: the work area's top-left corner, so the notice goes below).
play_top_row_win

# Dragged down by its background, the window leaves room above for the notice.
read -r wx wy _ _ < <(geometry "$main")
# A pause after each step: the release must not overtake moves Wine has not handled yet.
xdotool mousemove $((wx + 100)) $((wy + 178)) mousedown 1
sleep 0.1
for step in 1 2 3 4 5; do
  xdotool mousemove $((wx + 100 + 60 * step)) $((wy + 178 + 60 * step))
  sleep 0.1
done
xdotool mouseup 1
sleep 0.4
read -r wx2 wy2 _ _ < <(geometry "$main")
[ "$wx2 $wy2" = "$((wx + 300)) $((wy + 300))" ] || fail "dragged to $wx2 $wy2"
play_top_row_win

# The prompt: Enter answers Yes and ends the program cleanly.
click_at "$main" 100 178 3
box=$(wait_window Attention) || fail "no prompt"
xdotool windowfocus --sync "$box" key Return
expect_exit 0 5
echo "win32_play: ok"
