#!/usr/bin/env bash
# The sanitizer build of the real program, end to end: start, a game won, the prompt, quit. Any
# report of the sanitizers ends it with another status than 0.
. "$(dirname "$0")/common.sh"
start_x
start_game
for cell in 0 3 1 4 2; do cell_click "$cell"; done # the first mark takes the top row
wait_window "AI enabled" >/dev/null || fail "no notice for the win"
gone_window "AI enabled" || fail "the notice stayed"
click_at "$main" 100 178 3
box=$(wait_window Attention) || fail "no prompt"
xdotool windowfocus --sync "$box" key Return
expect_exit 0 20
! grep -q 'Sanitizer' "$work/game.log" || fail "$(cat "$work/game.log")"
echo "sanitized_game: ok"
