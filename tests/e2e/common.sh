# Helpers for end-to-end checks of the real program under Xvfb. Source it; call start_x first.
set -euo pipefail

GRIDLARK=${GRIDLARK:?path to the gridlark binary}
work=$(mktemp -d)
pids=()

cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# A private X server (and a window manager when asked), so tests can run side by side.
start_x() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
  export DISPLAY=":$(cat "$work/display")"
  export XDG_RUNTIME_DIR="$work/xdg" QT_QPA_PLATFORM=xcb
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  if [ "${1:-}" = wm ]; then
    openbox --sm-disable >/dev/null 2>&1 &
    pids+=($!)
    sleep 0.5
  fi
}

start_game() {
  "$GRIDLARK" >"$work/game.log" 2>&1 &
  game=$!
  pids+=($game)
  main=$(wait_window DarIzoDiv) || fail "no main window"
}

# Waits for a visible window whose name matches, prints its id.
wait_window() {
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.05
  done
  return 1
}

gone_window() {
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.05
  done
  return 1
}

# "x y width height" of a window, from the X server.
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
    /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}

# Clicks at a point of a window's client area.
click_at() { # window x y [button]
  read -r wx wy _ _ < <(geometry "$1")
  xdotool mousemove $((wx + $2)) $((wy + $3)) click "${4:-1}"
  sleep 0.15
}

shot() { import -window root "$work/shot.png"; }

# "r,g,b" of a pixel of the last shot, in screen coordinates.
pixel() {
  convert "$work/shot.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:
}

# How many pixels of a screen rectangle of the last shot have exactly this colour.
count_colour() { # x y w h r,g,b
  convert "$work/shot.png" -crop "$3x$4+$1+$2" +repage -fill black +opaque "rgb($5)" \
    -fill white -opaque "rgb($5)" -format '%[fx:int(mean*w*h+0.5)]' info:
}

# White pixels inside cell i of the main window (a mark is white).
mark_pixels() { # cell
  read -r wx wy _ _ < <(geometry "$main")
  local cx=$((wx + (246 + 862 * ($1 % 3)) / 15 + 2)) cy=$((wy + (240 + 840 * ($1 / 3)) / 15 + 2))
  count_colour $cx $cy 37 36 255,255,255
}

cell_click() { click_at "$main" $(((246 + 862 * ($1 % 3)) / 15 + 20)) $(((240 + 840 * ($1 / 3)) / 15 + 20)); }

# Waits for the game to end and checks its exit code.
expect_exit() { # code seconds
  for _ in $(seq $(($2 * 20))); do
    kill -0 "$game" 2>/dev/null || break
    sleep 0.05
  done
  kill -0 "$game" 2>/dev/null && fail "still running after $2 s"
  set +e
  wait "$game"
  local code=$?
  set -e
  [ "$code" -eq "$1" ] || fail "exit code $code, expected $1"
}
