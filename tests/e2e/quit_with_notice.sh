#!/usr/bin/env bash
# Yes to the quit prompt while a notice is up: the notice stays until its timer, then the
# program ends with code 0, and the main window never comes back.
. "$(dirname "$0")/common.sh"
start_x

start_game
click_at "$main" 30 227 # tick "CPU"
wait_window "AI enabled" >/dev/null || fail "no notice"
started=$(date +%s%N)
click_at "$main" 100 178 3
box=$(wait_window Attention) || fail "no prompt"
xdotool windowfocus --sync "$box" key Return
gone_window DarIzoDiv || fail "the main window stayed"
kill -0 "$game" || fail "the program ended before the notice closed"
xdotool search --onlyvisible --name "AI enabled" >/dev/null || fail "the notice went with the main window"
expect_exit 0 3
elapsed=$((($(date +%s%N) - started) / 1000000))
[ "$elapsed" -lt 3000 ] || fail "took $elapsed ms"
grep -q . "$work/game.log" && { cat "$work/game.log"; fail "the program printed something"; }
echo "quit_with_notice: ok"
