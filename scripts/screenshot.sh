#!/usr/bin/env bash
# Takes docs/screenshot.png of the real window under Xvfb, with a game in progress.
set -euo pipefail
cd "$(dirname "$0")/.."
export GRIDLARK=${GRIDLARK:-build/gridlark}
. tests/e2e/common.sh
start_x
start_game
for cell in 4 0 8 2; do cell_click $cell; done
xdotool mousemove 300 300
sleep 0.2
read -r x y w h < <(geometry "$main")
import -window root -crop "${w}x${h}+${x}+${y}" +repage docs/screenshot.png
echo "wrote docs/screenshot.png"
