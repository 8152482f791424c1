#!/usr/bin/env bash
# The real program in a real X window: frameless 188 x 240, colours, marks, Reset, the prompt.
. "$(dirname "$0")/common.sh"
start_x

start_game
read -r x y w h < <(geometry "$main")
[ "$w $h" = "188 240" ] || fail "window is $w x $h"
# Motif hints: flags, functions, decorations; no decorations at all.
xprop -id "$main" _MOTIF_WM_HINTS | awk -F' = ' '{split($2, f, ", "); exit !(f[3] == "0x0")}' ||
  fail "window has a frame"

shot
# The picture is read in place: asking Qt's reader would load every image plugin.
! grep -q /imageformats/ "/proc/$game/maps" || fail "an image plugin was loaded"
[ "$(pixel $((x + 16 + 45)) $((y + 219 + 8)))" = "103,113,113" ] || fail "CPU box background"
for i in 0 1 2 3 4 5 6 7 8; do [ "$(mark_pixels $i)" -eq 0 ] || fail "cell $i not empty"; done

# Two clicks mark two cells; Reset clears them.
cell_click 4
cell_click 0
shot
[ "$(mark_pixels 4)" -gt 30 ] || fail "no mark in cell 4"
[ "$(mark_pixels 0)" -gt 30 ] || fail "no mark in cell 0"
click_at "$main" $((1016 / 15 + 20)) $((2820 / 15 + 10))
shot
[ "$(mark_pixels 4)" -eq 0 ] || fail "Reset left a mark"

# The prompt: Escape answers No, Enter answers Yes and ends the program cleanly.
click_at "$main" 100 178 3
box=$(wait_window Attention) || fail "no prompt"
xdotool windowfocus --sync "$box" key Escape
gone_window Attention || fail "prompt still open"
kill -0 "$game" || fail "No ended the program"
click_at "$main" 100 178 3
box=$(wait_window Attention) || fail "no prompt"
xdotool windowfocus --sync "$box" key Return
expect_exit 0 2
echo "startup_and_quit: ok"
