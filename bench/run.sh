#!/usr/bin/env bash
# Gridlark's footprint against two floors of any Qt program (a bare frameless window of the same
# size, and the same window with one line of text in the design's font), and, when the Windows
# build and Wine are there, Gridlark.exe against a bare Win32 window. Everything runs under a
# private Xvfb and is cleaned up on any exit. See bench/README.md.
#
# Environment: GRIDLARK (Linux binary; default build-run/gridlark or build/gridlark, whichever is
# a Release build, else a Release build made in bench/build/), GRIDLARK_EXE (default
# build-win64/Gridlark.exe; build-win32/Gridlark.exe too where this machine runs 32-bit programs),
# RUNS (start-ups per program, 15), IDLE_S (idle seconds after start-up, 5), LATE_S (idle
# seconds after the last click, 35; 0 skips), SETTLE_S (seconds between the first frame and
# reading the memory, 0.5), PARTS (which parts run: "qt windows").
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bench=$root/bench
RUNS=${RUNS:-15}
IDLE_S=${IDLE_S:-5}
LATE_S=${LATE_S:-35}
SETTLE_S=${SETTLE_S:-0.5}
PARTS=${PARTS:-qt windows}
W=188 H=240

work=$(mktemp -d /tmp/gridlark-bench.XXXXXX)
pids=()
wine_up=""

cleanup() {
  set +e
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  [ -n "$wine_up" ] && WINEPREFIX=$wine_up wineserver -k 2>/dev/null
  for p in "${pids[@]}"; do
    for _ in $(seq 20); do kill -0 "$p" 2>/dev/null || break; sleep 0.05; done
    kill -9 "$p" 2>/dev/null
  done
  # The raw numbers and the programs' output stay for a closer look (git ignores them).
  rm -rf "$bench/last-run"
  mkdir -p "$bench/last-run"
  cp "$work"/*.start "$work"/*.idle "$work"/*.late "$work"/*.clicks "$work"/*.log \
    "$bench/last-run/" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

forget() { # pid: ended, so the clean-up must not signal a recycled number
  local keep=() p
  for p in "${pids[@]}"; do [ "$p" = "$1" ] || keep+=("$p"); done
  pids=("${keep[@]}")
}

say() { printf '%s\n' "$*" >&2; }
die() { say "bench: $*"; exit 1; }
die_log() { # name message: the program's own output tells why
  say "bench: $2"
  [ -s "$work/$1.log" ] && tail -n 20 "$work/$1.log" >&2
  exit 1
}

# ---- what the run needs ------------------------------------------------------------------------
need=(cmake ninja-build g++ qt6-base-dev xvfb xdotool libx11-dev libxdamage-dev)
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  say "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q -o DPkg::Lock::Timeout=300 \
    --no-install-recommends "${missing[@]}" >/dev/null
fi

# A Release build is measured: the tests' build/ is RelWithDebInfo, so make one when needed.
if [ -n "${GRIDLARK:-}" ]; then
  gridlark=$(realpath "$GRIDLARK")
elif grep -qs '^CMAKE_BUILD_TYPE:STRING=Release$' "$root/build-run/CMakeCache.txt"; then
  gridlark=$root/build-run/gridlark
elif grep -qs '^CMAKE_BUILD_TYPE:STRING=Release$' "$root/build/CMakeCache.txt"; then
  gridlark=$root/build/gridlark
else
  say "neither build-run/ nor build/ is a Release build: building one in bench/build/"
  cmake -S "$root" -B "$bench/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DGRIDLARK_TESTS=OFF >/dev/null
  cmake --build "$bench/build" >/dev/null
  gridlark=$bench/build/gridlark
fi
[ -x "$gridlark" ] || die "no Gridlark binary at $gridlark"
gtype=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$(dirname "$gridlark")/CMakeCache.txt" 2>/dev/null ||
  true)
say "Gridlark: $gridlark (${gtype:-build type unknown})"

say "Building the probe and the floor window in $work"
g++ -std=c++20 -O2 -Wall -Wextra -o "$work/probe" "$bench/probe.cpp" -lX11 -lXdamage
probe=$work/probe
mkdir "$work/floor"
cat >"$work/floor/CMakeLists.txt" <<EOF
cmake_minimum_required(VERSION 3.25)
project(floor LANGUAGES CXX)
set(CMAKE_CXX_STANDARD 20)
find_package(Qt6 REQUIRED COMPONENTS Widgets)
add_executable(floor "$bench/floor.cpp")
target_link_libraries(floor PRIVATE Qt6::Widgets)
EOF
cmake -S "$work/floor" -B "$work/floor/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/floor/build" >/dev/null
floor=$work/floor/build/floor

load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# ---- a private X server ------------------------------------------------------------------------
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
pids+=("$!")
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || die "Xvfb did not start"
DISPLAY=":$(cat "$work/display")"
export DISPLAY
export XDG_RUNTIME_DIR=$work/xdg QT_QPA_PLATFORM=xcb
mkdir -m 700 "$XDG_RUNTIME_DIR"
park() { xdotool mousemove 1279 1023; } # the pointer away from every window
park

# ---- helpers -----------------------------------------------------------------------------------
col() { awk -v c="$1" '{print $c}' "$2"; }
median() {
  sort -n | awk '{v[NR] = $1} END {
    if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
minmax() { sort -n | awk 'NR == 1 {lo = $1} {hi = $1} END {printf "%s-%s", lo, hi}'; }
# Interquartile range over the median, in per cent: how far one run's number can be trusted.
spread_pct() {
  sort -n | awk '{v[NR] = $1} END {
    q1 = v[int((NR + 3) / 4)]; q3 = v[int((3 * NR + 3) / 4)]; m = v[int((NR + 1) / 2)]
    printf "%d", (m > 0 ? 100 * (q3 - q1) / m : 0) }'
}
# Wide spreads come from other work on the machine; the CPU-time rows suffer much less.
noise_note() { # files...
  local f worst=0 p
  for f in "$@"; do
    p=$(col 1 "$f" | spread_pct)
    [ "$p" -gt "$worst" ] && worst=$p
  done
  if [ "$worst" -gt 25 ]; then
    echo "- note: start-up times spread widely (interquartile range up to ${worst}% of the median):" \
      "other load on the machine? Trust the CPU-time row more, or rerun with RUNS=31."
  fi
}

# The reference frame of a program: start it, find its window, let it settle, grab it. Also the
# warm-up run (disk cache, font cache). Sets ${name}_x and ${name}_y.
reference() { # name cmd...
  local name=$1 p pos x y
  shift
  "$@" >>"$work/$name.log" 2>&1 &
  p=$!
  pids+=("$p")
  pos=$("$probe" locate $W $H 20000) || die_log "$name" "no $W x $H window from $name"
  sleep 1
  read -r "${name}_x" "${name}_y" <<<"$pos"
  x=${name}_x y=${name}_y
  "$probe" grab "${!x}" "${!y}" $W $H "$work/$name.ref"
  kill "$p"
  wait "$p" 2>/dev/null || true
  forget "$p"
}

# Starts a program under the probe. Sets run_pid, run_paint_us (exec to the first complete
# frame), run_change_us (to the first changed pixel), run_cpu_us (its CPU until then), probe_pid.
launch() { # name cmd...
  local name=$1 x y line
  shift
  x=${name}_x y=${name}_y
  exec {probe_fd}< <(exec "$probe" start "$work/$name.ref" "${!x}" "${!y}" $W $H -- "$@" \
    2>>"$work/$name.log")
  probe_pid=$!
  pids+=("$probe_pid")
  read -r -t 30 -u "$probe_fd" line || line="FAIL no answer from the probe"
  exec {probe_fd}<&-
  case $line in FAIL*) die_log "$name" "$name: ${line#FAIL }" ;; esac
  read -r run_pid run_paint_us run_change_us _ run_cpu_us <<<"$line"
}

# Ends the program the probe started; the probe then ends by itself.
finish() { # run_pid probe_pid
  kill "$1" 2>/dev/null || true
  for _ in $(seq 60); do kill -0 "$2" 2>/dev/null || break; sleep 0.05; done
  kill "$2" 2>/dev/null || true
  wait "$2" 2>/dev/null || true
  forget "$2"
}

kib() { awk -v k="$1:" '$1 == k {print $2}' "/proc/$2/status"; }

# Start-ups of several programs, interleaved so that drifts of the machine hit all alike (every
# other round in the opposite order). Each program's command line is in the array cmd_NAME.
startups() { # names...
  local i n order cmd
  for n in "$@"; do : >"$work/$n.start"; done
  for i in $(seq "$RUNS"); do
    order="$*"
    [ $((i % 2)) -eq 0 ] && order=$(printf '%s\n' "$@" | tac | tr '\n' ' ')
    for n in $order; do
      cmd="cmd_${n}[@]"
      launch "$n" "${!cmd}"
      sleep "$SETTLE_S"
      echo "$run_paint_us $run_change_us $(kib VmHWM "$run_pid") $run_cpu_us" >>"$work/$n.start"
      finish "$run_pid" "$probe_pid"
      sleep 0.3
    done
  done
}

# ---- tables ------------------------------------------------------------------------------------
ms() { awk -v u="$1" 'BEGIN {printf "%.1f", u / 1000}'; }  # from microseconds
ms3() { awk -v n="$1" 'BEGIN {printf "%.3f", n / 1e6}'; }  # from nanoseconds
mib() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; } # from KiB
spread() { col "$1" "$2" | minmax | awk -F- '{printf "%.1f-%.1f", $1 / 1000, $2 / 1000}'; }
x() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2fx", b / a}'; }
# Over a limit relative to the floor: by how much, in the metric's own unit.
judge() { # floor value limit unit scale
  awk -v f="$1" -v v="$2" -v l="$3" -v u="$4" -v s="$5" 'BEGIN {
    if (v <= f * l) print "meets"; else printf "misses by %.1f %s\n", (v - f * l) / s, u }'
}
zero() { # value shown
  if [ "$1" -eq 0 ]; then echo meets; else echo "misses ($2)"; fi
}
# metric, bare floor, text floor, Gridlark, ratio to the text floor, target, verdict
row() { printf '| %-50s | %10s | %10s | %10s | %6s | %-8s | %-18s |\n' "$@"; }
rule() {
  row "$(printf -- '-%.0s' {1..50})" ---------- ---------- ---------- ------ -------- ------------------
}

qt_part() {
# ---- 1 and 2: start-up and peak memory ---------------------------------------------------------
say "Reference frames and warm-up"
cmd_floor=("$floor")
cmd_tfloor=("$floor" text)
cmd_grid=("$gridlark")
reference floor "${cmd_floor[@]}"
reference tfloor "${cmd_tfloor[@]}"
reference grid "${cmd_grid[@]}"
say "Start-up and memory: $RUNS runs each, interleaved"
startups floor tfloor grid

# ---- 3 and 4: idle and clicks ------------------------------------------------------------------
# CPU time and context switches of one click at a point of the window, moved to beforehand.
click_cost() { # pid x y -> "cpu_ns switches"
  xdotool mousemove "$2" "$3"
  sleep 0.2
  local a b
  a=$("$probe" cpu "$1")
  xdotool click 1
  sleep 0.25
  b=$("$probe" cpu "$1")
  awk -v a="$a" -v b="$b" 'BEGIN {split(a, x, " "); split(b, y, " "); print y[1] - x[1], y[2] - x[2]}'
}

# Starts a program, watches it idle, clicks it, and leaves it running (run_pid, probe_pid).
idle_and_clicks() { # name cmd...
  local name=$1 x y c
  shift
  launch "$name" "$@"
  x=${name}_x y=${name}_y
  x=${!x} y=${!y}
  sleep 1
  "$probe" watch "$run_pid" "$IDLE_S" >"$work/$name.idle"
  : >"$work/$name.clicks"
  for _ in 1 2; do
    # Eight moves and no line of three: no notice window, whose timer would blur the numbers.
    for c in 0 1 2 4 3 5 7 6; do
      click_cost "$run_pid" $((x + (246 + 862 * (c % 3)) / 15 + 20)) \
        $((y + (240 + 840 * (c / 3)) / 15 + 20)) >>"$work/$name.clicks"
    done
    xdotool mousemove $((x + 92)) $((y + 200)) click 1 # Reset
    sleep 0.3
  done
  park
}

say "Idle for ${IDLE_S} s, then 16 clicks: floor"
idle_and_clicks floor "$floor"
floor_pid=$run_pid floor_probe=$probe_pid
say "Idle for ${IDLE_S} s, then 16 clicks on free cells: Gridlark"
idle_and_clicks grid "$gridlark"
grid_pid=$run_pid grid_probe=$probe_pid
if [ "$LATE_S" -gt 0 ]; then
  # Qt ends idle pooled threads 30 s after their last job: a wake-up that 5 s cannot show.
  say "Idle for ${LATE_S} s after the last click: both at once"
  sleep 1
  "$probe" watch "$floor_pid" "$LATE_S" >"$work/floor.late" &
  w1=$!
  "$probe" watch "$grid_pid" "$LATE_S" >"$work/grid.late" &
  w2=$!
  pids+=("$w1" "$w2")
  wait $w1 $w2
  forget $w1
  forget $w2
fi
finish "$floor_pid" "$floor_probe"
finish "$grid_pid" "$grid_probe"

# ---- the Qt table ------------------------------------------------------------------------------
f_start=$(col 1 "$work/floor.start" | median)
t_start=$(col 1 "$work/tfloor.start" | median)
g_start=$(col 1 "$work/grid.start" | median)
f_cpu=$(col 4 "$work/floor.start" | median)
t_cpu=$(col 4 "$work/tfloor.start" | median)
g_cpu=$(col 4 "$work/grid.start" | median)
f_mem=$(col 3 "$work/floor.start" | median)
t_mem=$(col 3 "$work/tfloor.start" | median)
g_mem=$(col 3 "$work/grid.start" | median)
read -r f_idle_ns f_idle_wk f_thr _ <"$work/floor.idle"
read -r g_idle_ns g_idle_wk g_thr _ <"$work/grid.idle"
mean_ms() { col 1 "$1" | awk '{s += $1} END {printf "%.3f", s / NR / 1e6}'; }
mean_sw() { col 2 "$1" | awk '{s += $1} END {printf "%.1f", s / NR}'; }
f_click=$(mean_ms "$work/floor.clicks")
g_click=$(mean_ms "$work/grid.clicks")
g_click_max=$(col 1 "$work/grid.clicks" | sort -n | tail -1 | awk '{printf "%.3f", $1 / 1e6}')

echo
echo "Gridlark against the Qt floors: $RUNS start-ups each (medians), ${IDLE_S} s idle, 16 clicks"
echo "Xvfb 1280x1024x24, no window manager, $(nproc) cores, load average before/after:" \
  "$load_before / $(cut -d' ' -f1-3 /proc/loadavg)"
echo
row metric floor "text floor" Gridlark ratio target verdict
rule
row "start-up to first complete frame (ms)" "$(ms "$f_start")" "$(ms "$t_start")" "$(ms "$g_start")" \
  "$(x "$t_start" "$g_start")" "<= 1.10x" "$(judge "$t_start" "$g_start" 1.10 ms 1000)"
row "  CPU time until that frame (ms)" "$(ms "$f_cpu")" "$(ms "$t_cpu")" "$(ms "$g_cpu")" \
  "$(x "$t_cpu" "$g_cpu")" "" ""
row "peak resident memory, VmHWM (MiB)" "$(mib "$f_mem")" "$(mib "$t_mem")" "$(mib "$g_mem")" \
  "$(x "$t_mem" "$g_mem")" "<= 1.10x" "$(judge "$t_mem" "$g_mem" 1.10 MiB 1024)"
row "CPU while idle, ${IDLE_S} s after start-up (ms)" "$(ms3 "$f_idle_ns")" "" "$(ms3 "$g_idle_ns")" \
  "" "0" "$(zero "$g_idle_ns" "$(ms3 "$g_idle_ns") ms")"
row "wake-ups while idle, ${IDLE_S} s after start-up" "$f_idle_wk" "" "$g_idle_wk" "" "0" \
  "$(zero "$g_idle_wk" "$g_idle_wk")"
if [ "$LATE_S" -gt 0 ]; then
  read -r f_late_ns f_late_wk _ _ _ <"$work/floor.late"
  read -r g_late_ns g_late_wk _ _ g_late_end <"$work/grid.late"
  row "CPU while idle, ${LATE_S} s after the last click (ms)" "$(ms3 "$f_late_ns")" "" \
    "$(ms3 "$g_late_ns")" "" "0" "$(zero "$g_late_ns" "$(ms3 "$g_late_ns") ms")"
  row "wake-ups while idle, ${LATE_S} s after the last click" "$f_late_wk" "" "$g_late_wk" "" "0" \
    "$(zero "$g_late_wk" "$g_late_wk")"
fi
row "CPU per click, mean of 16 (ms)" "$f_click" "" "$g_click" "" "< 1 ms" \
  "$(awk -v v="$g_click" 'BEGIN {if (v < 1) print "meets"; else printf "misses by %.3f ms\n", v - 1}')"
echo
echo "- against the bare floor: start-up $(x "$f_start" "$g_start"), memory $(x "$f_mem" "$g_mem");" \
  "the text floor itself: start-up $(x "$f_start" "$t_start"), memory $(x "$f_mem" "$t_mem")"
echo "- start-up min-max (ms): floor $(spread 1 "$work/floor.start"), text floor $(spread 1 "$work/tfloor.start")," \
  "Gridlark $(spread 1 "$work/grid.start"); first changed pixel, median (ms): floor" \
  "$(ms "$(col 2 "$work/floor.start" | median)"), Gridlark $(ms "$(col 2 "$work/grid.start" | median)")"
echo "- VmHWM ${SETTLE_S} s after the first frame, min-max (KiB): floor $(col 3 "$work/floor.start" | minmax)," \
  "text floor $(col 3 "$work/tfloor.start" | minmax), Gridlark $(col 3 "$work/grid.start" | minmax)"
echo "- threads after start-up: floor $f_thr, Gridlark $g_thr${g_late_end:+; Gridlark threads that ended during the late idle: $g_late_end}"
echo "- per click: Gridlark slowest $g_click_max ms; context switches per click: floor $(mean_sw "$work/floor.clicks"), Gridlark $(mean_sw "$work/grid.clicks")"
echo "  (the floor does not repaint on a click: its number is Qt's own cost of a press and a release)"
noise_note "$work/floor.start" "$work/tfloor.start" "$work/grid.start"
echo
}
case " $PARTS " in *" qt "*) qt_part ;; esac
case " $PARTS " in *" windows "*) ;; *) exit 0 ;; esac

# ---- 5: the Windows builds under Wine ----------------------------------------------------------
# The 64-bit program against a 64-bit floor; the 32-bit one beside it only where this machine
# runs 32-bit programs. Wine's loaders are called directly: Debian's wrapper always picks the
# 32-bit one.
for tool in wineserver openbox x86_64-w64-mingw32-gcc x86_64-w64-mingw32-strip; do
  command -v $tool >/dev/null || {
    echo "Windows build under Wine: skipped, $tool is not installed"
    exit 0
  }
done
[ -x /usr/lib/wine/wine64 ] || {
  echo "Windows build under Wine: skipped, /usr/lib/wine/wine64 is not installed"
  exit 0
}
# Without a window manager Wine waits 2 s whenever a window goes.
openbox --sm-disable >/dev/null 2>&1 &
pids+=("$!")
sleep 0.5
# winebus.sys off: in Wine 8 its winedevice.exe wakes about 900 times a second, which blurs the
# start-up times of both programs alike.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winebus.sys=d"

wine_part() { # bits exe loader triple
  local bits=$1 exe=$2 loader=$3 triple=$4 arch wf wg wfc wgc
  arch=win$bits
  exe=$(realpath "$exe")
  say "Windows build, $bits-bit: $exe"
  "$triple-gcc" -O2 -mwindows -o "$work/floor$bits.exe" "$bench/floor32.c"
  "$triple-strip" -o "$work/floor$bits-stripped.exe" "$work/floor$bits.exe"
  "$triple-strip" -o "$work/stripped$bits.exe" "$exe"
  export WINEARCH=$arch WINELOADER=$loader
  export WINEPREFIX=${BENCH_WINEPREFIX:-$(dirname "$exe")/wine-bench}
  if [ ! -d "$WINEPREFIX/drive_c" ]; then
    say "Making a Wine prefix in $WINEPREFIX (once, about 8 s)"
    "$loader" wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  # One server for all runs, so that each run measures the program, not the server's start.
  wine_up=$WINEPREFIX
  wineserver -p >/dev/null 2>&1
  eval "cmd_wfloor$bits=(\"\$loader\" \"\$work/floor\$bits.exe\")"
  eval "cmd_wgrid$bits=(\"\$loader\" \"\$exe\")"
  say "Reference frames and warm-up under Wine ($bits-bit)"
  reference "wfloor$bits" "$loader" "$work/floor$bits.exe"
  reference "wgrid$bits" "$loader" "$exe"
  say "Start-up under Wine ($bits-bit): $RUNS runs each, interleaved"
  startups "wfloor$bits" "wgrid$bits"
  wineserver -k 2>/dev/null || true
  wine_up=""

  wf=$(col 1 "$work/wfloor$bits.start" | median)
  wg=$(col 1 "$work/wgrid$bits.start" | median)
  echo "Gridlark.exe ($bits-bit) against a bare Win32 window under $("$loader" --version):" \
    "$RUNS start-ups each (medians)"
  echo "openbox, one warm wineserver, winebus.sys off; load average now $(cut -d' ' -f1-3 /proc/loadavg)"
  echo
  row metric "Win32 floor" "" Gridlark.exe ratio target verdict
  rule
  row "start-up to first complete frame (ms)" "$(ms "$wf")" "" "$(ms "$wg")" "$(x "$wf" "$wg")" \
    "<= 1.30x" "$(judge "$wf" "$wg" 1.30 ms 1000)"
  wfc=$(col 4 "$work/wfloor$bits.start" | median)
  wgc=$(col 4 "$work/wgrid$bits.start" | median)
  row "  CPU time of its process until then (ms)" "$(ms "$wfc")" "" "$(ms "$wgc")" "$(x "$wfc" "$wgc")" "" ""
  row "file size (bytes)" "$(stat -c %s "$work/floor$bits.exe")" "" "$(stat -c %s "$exe")" "" "" ""
  row "file size, stripped (bytes)" "$(stat -c %s "$work/floor$bits-stripped.exe")" "" \
    "$(stat -c %s "$work/stripped$bits.exe")" "" "" ""
  echo
  echo "- start-up min-max (ms): Win32 floor $(spread 1 "$work/wfloor$bits.start"), Gridlark.exe $(spread 1 "$work/wgrid$bits.start")"
  echo "- the CPU row counts the program's own process only, not wineserver, explorer.exe or X"
  noise_note "$work/wfloor$bits.start" "$work/wgrid$bits.start"
  echo
}

exe64=${GRIDLARK_EXE:-$root/build-win64/Gridlark.exe}
if [ -f "$exe64" ]; then
  wine_part 64 "$exe64" /usr/lib/wine/wine64 x86_64-w64-mingw32
else
  echo "Windows build under Wine: skipped, no $exe64"
fi
exe32=$root/build-win32/Gridlark.exe
if [ -z "${GRIDLARK_EXE:-}" ] && [ -f "$exe32" ]; then
  if "$root/scripts/can-run-32bit.sh" && [ -x /usr/lib/wine/wine ] &&
    command -v i686-w64-mingw32-gcc >/dev/null; then
    wine_part 32 "$exe32" /usr/lib/wine/wine i686-w64-mingw32
  else
    echo "32-bit Windows build: not measured, this machine cannot run 32-bit programs"
  fi
fi
