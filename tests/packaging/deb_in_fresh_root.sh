#!/usr/bin/env bash
# On demand, takes minutes: builds the Debian package, installs it with apt into a fresh
# Debian 12 root, checks what apt pulled in, validates what it installed and starts the game
# there under Xvfb until its window shows. Run as root.
# Usage: tests/packaging/deb_in_fresh_root.sh [BUILD_DIR]   (default: build-package)
#   RECOMMENDS=no installs with --no-install-recommends: the game must work with that too.
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
src=$(cd "$here/../.." && pwd)
build=$(realpath -m "${1:-$src/build-package}")
suite=bookworm
recommends=${RECOMMENDS:-yes}
export LC_ALL=C
[ "$(id -u)" -eq 0 ] || fail "needs root: debootstrap, chroot and mounts"

step() { echo "== $*"; }

# --- Tools on this machine --------------------------------------------------------------------
tools=(cmake ninja-build g++ qt6-base-dev dpkg-dev debootstrap xvfb xdotool x11-utils
  desktop-file-utils appstream imagemagick)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  step "installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q -o DPkg::Lock::Timeout=300 \
    --no-install-recommends "${missing[@]}" >/dev/null
fi

# --- The package --------------------------------------------------------------------------------
step "building the package in $build"
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGRIDLARK_TESTS=OFF >/dev/null
cmake --build "$build" >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
rm -f "$build"/gridlark_*.deb
(cd "$build" && cpack -G DEB >/dev/null 2>&1) || fail "cpack failed"
deb="$build/gridlark_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb"
echo "$(basename "$deb"): Depends: $(dpkg-deb -f "$deb" Depends)"

# --- A fresh root -------------------------------------------------------------------------------
# The first source of this machine's apt that serves a suite (deb822 files, then one-line ones).
apt_mirror() { # suite
  {
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      awk -v s="$1" 'BEGIN { RS = ""; FS = "\n" } {
        uri = ""; ok = 0; off = 0
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^URIs:/) { split($i, a, /[ \t]+/); uri = a[2] }
          if ($i ~ /^Suites:/) { n = split($i, b, /[ \t]+/); for (j = 2; j <= n; j++) if (b[j] == s) ok = 1 }
          if ($i ~ /^Enabled:[ \t]*no/) off = 1
        }
        if (ok && !off && uri != "") print uri }' "$f"
    done
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -f "$f" ] || continue
      awk -v s="$1" '$1 == "deb" {
        i = 2; if ($2 ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
        if ($(i + 1) == s) print $i }' "$f"
    done
  } | awk 'NR == 1' # reads to the end: no broken pipe to trip pipefail
}
mirror=$(apt_mirror $suite)
[ -n "$mirror" ] || fail "this machine's apt has no source for $suite"
security=$(apt_mirror $suite-security)

roots="$build/fresh-root"
base="$roots/$suite"
run="$roots/run"
mkdir -p "$roots"

# Refuses to delete a tree with anything mounted inside: that would reach the host's /dev.
remove_tree() {
  local mounted
  mounted=$(awk -v p="$1" '$2 == p || index($2, p "/") == 1 { print $2 }' /proc/self/mounts)
  [ -z "$mounted" ] || fail "still mounted under $1: $mounted"
  rm -rf --one-file-system "$1"
}

if [ -f "$base/.complete" ]; then
  step "fresh $suite root: cached in $base"
else
  step "debootstrap $suite (minbase) from $mirror into $base (minutes)"
  remove_tree "$base.partial"
  debootstrap --variant=minbase "$suite" "$base.partial" "$mirror" >"$roots/debootstrap.log" 2>&1 ||
    { tail -20 "$roots/debootstrap.log" >&2; fail "debootstrap failed (log: $roots/debootstrap.log)"; }
  touch "$base.partial/.complete"
  remove_tree "$base"
  mv "$base.partial" "$base"
fi

# Every run starts from a copy, so the pristine root never sees the package.
remove_tree "$run"
cp -a "$base" "$run"
rm -f "$run/.complete"
{
  echo "deb $mirror $suite main"
  echo "deb $mirror $suite-updates main"
  [ -z "$security" ] || echo "deb $security $suite-security main"
} >"$run/etc/apt/sources.list"
cp -L /etc/resolv.conf "$run/etc/resolv.conf"
# Package scripts must not start services in a chroot.
printf '#!/bin/sh\nexit 101\n' >"$run/usr/sbin/policy-rc.d"
chmod 755 "$run/usr/sbin/policy-rc.d"

mounts=()
pids=()
cleanup() {
  local p i
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" || true
  done
}
trap cleanup EXIT
mount_in() { # mount arguments..., target last
  mount "$@"
  mounts+=("${!#}")
}
mount_in -t proc proc "$run/proc"
mount_in --bind /dev "$run/dev"
mount_in --bind /dev/pts "$run/dev/pts"

in_root() {
  chroot "$run" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"
}
versions() { in_root dpkg-query -W -f='${db:Status-Abbrev} ${Package} ${Version}\n' | awk '$1 == "ii" { print $2, $3 }' | sort; }

# --- apt install --------------------------------------------------------------------------------
step "apt-get install $([ "$recommends" = yes ] || echo "--no-install-recommends ")./$(basename "$deb") in the fresh root"
in_root apt-get update -q >/dev/null
cp "$deb" "$run/tmp/"
before=$(versions)
# Packages apt would add without the recommended ones (an "Inst" of an installed one upgrades it).
minimal=$(in_root sh -c 'cd /tmp && apt-get install -s --no-install-recommends ./gridlark_*.deb' |
  awk '$1 == "Inst" { print $2 }' | sort | comm -23 - <(cut -d' ' -f1 <<<"$before"))
apt_opts=""
[ "$recommends" = yes ] || apt_opts=--no-install-recommends
in_root sh -c "cd /tmp && apt-get install -y -q $apt_opts ./gridlark_*.deb" >"$roots/apt-install.log" 2>&1 ||
  { tail -30 "$roots/apt-install.log" >&2; fail "apt-get install failed (log: $roots/apt-install.log)"; }
after=$(versions)
pulled=$(comm -13 <(cut -d' ' -f1 <<<"$before") <(cut -d' ' -f1 <<<"$after"))
upgraded=$(join <(echo "$before") <(echo "$after") | awk '$2 != $3 { print $1, $2, "->", $3 }')

size=$(in_root dpkg-query -W -f='${Package} ${Installed-Size}\n' $pulled |
  awk '{ s += $2 } END { printf "%.0f", s / 1024 }')
echo "apt pulled in $(wc -l <<<"$pulled") packages, $size MiB installed" \
  "($(wc -l <<<"$minimal") without recommended packages):"
columns() { local l; l=$(xargs); [ -n "$l" ] || l="(none)"; fold -s -w 96 <<<"$l" | sed 's/^/  /'; }
comm -12 <(echo "$pulled") <(echo "$minimal") | columns
echo "of them only because recommended:"
comm -23 <(echo "$pulled") <(echo "$minimal") | columns
[ -z "$upgraded" ] || { echo "upgraded from the fresh root's versions:"; sed 's/^/  /' <<<"$upgraded"; }

for p in gridlark libqt6widgets6 libqt6gui6 libqt6core6; do
  grep -qx "$p" <<<"$pulled" || fail "$p was not installed"
done
build_time='-dev$|^(gcc|g\+\+|cpp|clang|binutils|make|cmake|ninja-build|build-essential|dpkg-dev)(-[0-9.]+)?$'
bad=$(grep -E -- "$build_time" <<<"$pulled" || true)
[ -z "$bad" ] || fail "build-time packages pulled in: $bad"
unresolved=$(in_root ldd /usr/games/gridlark | grep 'not found' || true)
[ -z "$unresolved" ] || fail "libraries not found: $unresolved"

step "validating the installed desktop entry, metainfo and icons"
check_installed_tree "$run/usr" "$version"
echo "desktop entry, metainfo, 4 icons: valid"

# --- The game in the root, on an X server outside it ----------------------------------------------
step "starting gridlark inside the root under Xvfb"
x=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$x/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$x/display" ] && break; sleep 0.05; done
[ -s "$x/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$x/display")"
rm -rf "$x"
mkdir -p "$run/tmp/.X11-unix"
mount_in --bind /tmp/.X11-unix "$run/tmp/.X11-unix"
mkdir -m 700 "$run/tmp/xdg"

# No QT_QPA_PLATFORM: the package alone must bring a platform plugin Qt picks by itself.
# Started directly, not through a function: chroot and env exec, so $! is the game's own pid.
chroot "$run" /usr/bin/env -i PATH=/usr/games:/usr/bin:/bin HOME=/root LANG=C.UTF-8 DISPLAY="$DISPLAY" \
  XDG_RUNTIME_DIR=/tmp/xdg gridlark >"$roots/game.log" 2>&1 &
game=$!
pids+=($game)
win=""
for _ in $(seq 300); do
  win=$(xdotool search --onlyvisible --name '^DarIzoDiv$' 2>/dev/null | head -1 || true)
  [ -n "$win" ] && break
  kill -0 "$game" 2>/dev/null || { cat "$roots/game.log" >&2; fail "gridlark ended before a window showed"; }
  sleep 0.1
done
[ -n "$win" ] || { cat "$roots/game.log" >&2; fail "no window DarIzoDiv within 30 s"; }

read -r wx wy ww wh < <(xwininfo -id "$win" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
  /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}')
owner=$(xprop -id "$win" _NET_WM_PID | awk '{print $3}')
class=$(xprop -id "$win" WM_CLASS | sed 's/^[^=]*= //')
echo "window $win \"$(xdotool getwindowname "$win")\": $ww x $wh at $wx,$wy, WM_CLASS $class, pid $owner"
[ "$owner" = "$game" ] || fail "the window belongs to pid $owner, not to the game ($game)"
[ "$ww $wh" = "188 240" ] || fail "window is $ww x $wh, not 188 x 240"
# The board's grid is in the background picture: it shows only if the package carries it whole.
sleep 0.3
import -window root -crop "${ww}x$wh+$wx+$wy" +repage "$roots/window.png"
convert "$roots/window.png" -crop 188x180+0+0 +repage "$roots/board.png"
convert "$src/resources/background.png" -crop 188x180+0+0 +repage "$roots/board-expected.png"
differ=$(compare -metric AE -fuzz 10% "$roots/board.png" "$roots/board-expected.png" null: 2>&1 || true)
echo "screenshot: $roots/window.png; $differ of 33840 board pixels differ from background.png"
[ "$differ" -lt 340 ] 2>/dev/null || fail "the board does not show the background picture ($differ)"

kill "$game"
for _ in $(seq 50); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
kill -0 "$game" 2>/dev/null && fail "gridlark did not end on SIGTERM"
if [ -s "$roots/game.log" ]; then
  echo "gridlark printed:"
  sed 's/^/  /' "$roots/game.log"
fi
echo "deb_in_fresh_root: ok"
