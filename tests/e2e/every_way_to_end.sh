#!/usr/bin/env bash
# Every way the program ends, on the real program under a window manager: each ends with code 0
# (SIGTERM: 143, the shell's 128 + 15) within 2 s of its last window closing, leaving nothing.
. "$(dirname "$0")/common.sh"
start_x wm

# The window manager's close: its Alt+F4 on the focused window.
wm_close() {
  xdotool windowactivate --sync "$1" 2>/dev/null || true
  xdotool key --clearmodifiers alt+F4
}
# No game process of this display is left (other tests may run the game beside this one).
no_process_left() {
  sleep 0.2
  for p in $(pgrep -f "^$GRIDLARK\$" || true); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "DISPLAY=$DISPLAY" &&
      fail "a process was left behind"
  done
  return 0
}
tick_cpu() {
  click_at "$main" 30 227
  wait_window "AI enabled" >/dev/null || fail "no notice"
}

# Yes to the prompt, nothing else up.
start_game
click_at "$main" 100 178 3
box=$(wait_window Attention) || fail "no prompt"
xdotool windowactivate --sync "$box" key Return
expect_exit 0 2
no_process_left

# The window manager closes the main window: no prompt, the end.
start_game
cell_click 4
wm_close "$main"
expect_exit 0 2
no_process_left

# The window manager closes the main window while a notice is up: the notice lives on until its
# timer, then the program ends.
start_game
tick_cpu
wm_close "$main"
gone_window DarIzoDiv || fail "the main window stayed"
kill -0 "$game" || fail "ended before the notice closed"
gone_window "AI enabled" || fail "the notice stayed"
expect_exit 0 2
no_process_left

# "OK" on a notice that outlived the main window ends the program at once.
start_game
tick_cpu
click_at "$main" 100 178 3
box=$(wait_window Attention) || fail "no prompt"
xdotool windowactivate --sync "$box" key Return
notice=$(wait_window "AI enabled") || fail "the notice went too"
click_at "$notice" $((1860 / 15 + 20)) $((120 / 15 + 10))
expect_exit 0 1
no_process_left

# SIGTERM ends it at once.
start_game
tick_cpu
kill -TERM "$game"
expect_exit 143 2
no_process_left
echo "every_way_to_end: ok"
