#!/usr/bin/env bash
# A real screen reader plays a game: Orca on Xvfb, speaking through speech-dispatcher's dummy
# output, driven by real keys. What it says is read from speech-dispatcher's log, which is
# written at once. The keys and the speech each must bring are in orca/play.steps
# (ORCA_STEPS=file plays another list; ORCA_DEBUG=file keeps Orca's own debug log).
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
# A signal (a timeout, a closed pipe) ends the check through common.sh's clean-up too.
trap 'exit 1' INT TERM HUP PIPE
steps=${ORCA_STEPS:-$here/orca/play.steps}
[ -r "$steps" ] || fail "no steps file $steps"
# Steps as play.steps describes them; a bad line stops the check before anything starts.
keys=() waits=() regexes=()
while read -r key seconds regex; do
  case $key in '' | '#'*) continue ;; esac
  [[ $seconds =~ ^[0-9]+(\.[0-9]+)?$ ]] || fail "$steps: no seconds in: $key $seconds $regex"
  [ "$key" = sleep ] || [ -n "$regex" ] || fail "$steps: no speech for $key"
  keys+=("$key") waits+=("$seconds") regexes+=("$regex")
done <"$steps"
t0=$(date +%s%3N)

# A window manager gives the focus back when a notice closes (without one it goes nowhere).
start_x
openbox --sm-disable --config-file "$here/orca/openbox.xml" >/dev/null 2>&1 &
pids+=($!)

# A private home: sound to nowhere, and no settings of the machine's user read or written.
export HOME="$work/home" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share"
export XDG_CACHE_HOME="$HOME/.cache"
mkdir -p "$HOME" "$XDG_CONFIG_HOME/speech-dispatcher" "$work/speech" "$work/prefs" "$work/bin"
echo 'pcm.!default { type null }' >"$HOME/.asoundrc"
speechd="$XDG_CONFIG_HOME/speech-dispatcher"
cp -r /etc/speech-dispatcher/. "$speechd"
# Ours is the only server: a client that lost it must not spawn one with the machine's voices.
cat >>"$speechd/speechd.conf" <<'EOF'
AddModule "dummy" "sd_dummy" ""
DefaultModule dummy
AudioOutputMethod "alsa"
DisableAutoSpawn
EOF
cp "$here/orca/user-settings.conf" "$work/prefs/"
# Orca refuses to start while any process of this user is called orca: other checks may run one.
printf '#!/bin/sh\nexit 1\n' >"$work/bin/pgrep"
chmod +x "$work/bin/pgrep"

# A session bus of our own, the accessibility bus on it.
dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/bus" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/bus" ] && break; sleep 0.05; done
DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)

speech-dispatcher -s -t 0 -l 5 -L "$work/speech" -C "$speechd" >"$work/speechd.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  [ -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" ] && break
  sleep 0.05
done
[ -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" ] ||
  fail "speech-dispatcher did not start: $(tail -5 "$work/speechd.out" "$work/speech/"*.log)"

# What was said, one line each: milliseconds since 1970, a tab, the words.
said="$work/said"
: >"$said"
/usr/bin/python3 "$here/orca_speech.py" "$work/speech/speech-dispatcher.log" >>"$said" &
pids+=($!)

debug=()
[ -n "${ORCA_DEBUG:-}" ] && debug=(--debug-file "$ORCA_DEBUG")
PATH="$work/bin:$PATH" orca -u "$work/prefs" "${debug[@]}" >"$work/orca.out" 2>&1 &
orca=$!
pids+=("$orca")

# Everything said since the time given (ms), without the times.
said_since() { awk -F'\t' -v t="$1" '$1 >= t { print $2 }' "$said"; }

transcript() {
  echo "--- Orca said (seconds since the check began):"
  awk -F'\t' -v t="$t0" '{ printf "%7.3f  %s\n", ($1 - t) / 1000, $2 }' "$said"
}

heard_fail() {
  transcript >&2
  { grep -v 'dbind-WARNING\|^$' "$work/orca.out" | tail -20 | sed '1i--- Orca printed:'; } >&2 ||
    true
  fail "$@"
}

ms() { awk -v s="$1" 'BEGIN { printf "%d", s * 1000 }'; } # seconds, decimals too

# Waits until one utterance since the last key matches the extended regex.
key_at=$t0 key_name=start
expect_speech() { # regex [seconds]
  local deadline=$(($(date +%s%3N) + $(ms "${2:-5}"))) line
  while :; do
    line=$(RE=$1 awk -F'\t' -v t="$key_at" '$1 >= t && $2 ~ ENVIRON["RE"] { print; exit }' "$said")
    if [ -n "$line" ]; then
      printf '%-10s %5d ms  /%s/  "%s"\n' "$key_name" $((${line%%$'\t'*} - key_at)) "$1" \
        "${line#*$'\t'}"
      return 0
    fi
    [ "$(date +%s%3N)" -lt "$deadline" ] || break
    kill -0 "$orca" 2>/dev/null || heard_fail "Orca ended: $(tail -3 "$work/orca.out")"
    sleep 0.05
  done
  heard_fail "after $key_name, no speech matching /$1/ in ${2:-5} s; heard since the key:
$(said_since "$key_at" | sed 's/^/    /')"
}

press() { # xdotool key name
  key_at=$(date +%s%3N) key_name=$1
  xdotool key "$1"
}

expect_speech '^Screen reader on' 20
orca_up=$(($(date +%s%3N) - t0))
# The game's window must be managed from the start for the focus to come back to it.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
key_at=$(date +%s%3N) key_name=start-up
start_game
expect_speech 'Reset push button' 10

for i in "${!keys[@]}"; do
  case ${keys[i]} in
    sleep) sleep "${waits[i]}"; continue ;;
    -) ;;
    *) press "${keys[i]}" ;;
  esac
  expect_speech "${regexes[i]}" "${waits[i]}"
done

sleep 0.3 # what is said after the last expected words is shown too
transcript
echo "Orca up in $orca_up ms; the whole check took $(($(date +%s%3N) - t0)) ms"
