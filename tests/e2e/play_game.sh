#!/usr/bin/env bash
# A won game, a drawn game, the notice and its reset, "OK", and the computer, in a real X window.
. "$(dirname "$0")/common.sh"
start_x

start_game
xdotool windowmove --sync "$main" 500 400
sleep 0.2
read -r x y _ _ < <(geometry "$main")

# Whoever starts, this order wins the top row for the first mark: 0 3 1 4 2.
for c in 0 3 1 4 2; do cell_click $c; done
# One shot while the notice is up (1.5 s), read afterwards: reading is slow on a busy machine.
notice=$(wait_window "AI enabled") || fail "no notice"
shot
red=$(count_colour $((x + 17)) $((y + 36)) 150 5 192,0,0)
[ "$red" -gt 500 ] || fail "no red line over the top row ($red)"
read -r nx ny nw nh < <(geometry "$notice")
[ "$nw $nh" = "188 58" ] || fail "notice is $nw x $nh"
[ "$nx $ny" = "$x $((y - 58))" ] || fail "notice at $nx,$ny, main at $x,$y"
# The bold green "Game will now reset" (from x = 8) ends clear of "OK" (from x = 124).
[ "$(count_colour $((nx + 8)) $((ny + 8)) 100 14 0,255,0)" -gt 50 ] || fail "no green line"
clear=$(count_colour $((nx + 116)) $((ny + 8)) 8 14 0,255,0)
[ "$clear" -eq 0 ] || fail "the green line runs up to OK ($clear pixels)"
gone_window "AI enabled" || fail "the notice did not close itself"
shot
for i in 0 1 2 3 4; do [ "$(mark_pixels $i)" -eq 0 ] || fail "cell $i not cleared"; done
[ "$(count_colour $((x + 17)) $((y + 36)) 150 5 192,0,0)" -eq 0 ] || fail "line still shown"

# A draw: a notice, no line.
for c in 0 1 2 4 3 5 7 6 8; do cell_click $c; done
wait_window "AI enabled" >/dev/null || fail "no notice for the draw"
shot
[ "$(count_colour "$x" "$y" 188 184 192,0,0)" -eq 0 ] || fail "a line on a draw"
gone_window "AI enabled" || fail "the draw notice stayed"

# "CPU": the notice comes up; "OK" closes it at once and the board keeps its marks.
cell_click 4
click_at "$main" 30 227
notice=$(wait_window "AI enabled") || fail "no notice for CPU"
click_at "$notice" $((1860 / 15 + 20)) $((120 / 15 + 10))
gone_window "AI enabled" || fail "OK did not close the notice"
sleep 1.6
shot
[ "$(mark_pixels 4)" -gt 30 ] || fail "OK cleared the board"
# With the computer on, one click adds two marks.
cell_click 0
shot
marks=0
for i in 0 1 2 3 4 5 6 7 8; do [ "$(mark_pixels $i)" -gt 30 ] && marks=$((marks + 1)); done
[ "$marks" -eq 3 ] || fail "$marks marks after a click with the computer on"
echo "play_game: ok"
