#!/usr/bin/env bash
# What a screen reader sees and does, through the AT-SPI bus of a private session bus.
. "$(dirname "$0")/common.sh"
start_x
mkdir "$work/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" > "%s/opened"\n' "$work" > "$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 work
dbus-run-session -- bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 & bus=$!
  "$GRIDLARK" >"$work/game.log" 2>&1 & game=$!
  /usr/bin/python3 "$0"; status=$?
  kill $game $bus 2>/dev/null
  exit $status' "$(dirname "$0")/accessibility.py" 2> >(grep -v "^dbus-daemon\|fd limit" >&2)
grep -q fernwick "$work/opened" || fail "the opener got $(cat "$work/opened")"
