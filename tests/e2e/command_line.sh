#!/usr/bin/env bash
# The command line, with no display at all: --help and --version answer on standard output and
# end at once, an unknown option is one line on standard error and code 2, and the toolkit's
# own options still reach the toolkit.
set -uo pipefail
game=${GRIDLARK:?path to gridlark}
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 10 "$game" "$@" \
  >"$work/out" 2>"$work/err"; }

run --help
[ $? -eq 0 ] || fail "--help ended with $?"
head -1 "$work/out" | grep -q '^Usage: gridlark ' || fail "--help printed: $(cat "$work/out")"
[ ! -s "$work/err" ] || fail "--help wrote to stderr: $(cat "$work/err")"

run --version
[ $? -eq 0 ] || fail "--version ended with $?"
[ "$(cat "$work/out")" = "Gridlark ${GRIDLARK_VERSION:?}" ] || fail "--version printed: $(cat "$work/out")"

# A toolkit option's value is not taken for an option of ours.
run -platform offscreen --version
[ $? -eq 0 ] && [ "$(cat "$work/out")" = "Gridlark $GRIDLARK_VERSION" ] || fail "-platform NAME --version"

run --bogus
code=$?
[ $code -eq 2 ] || fail "--bogus ended with $code"
[ ! -s "$work/out" ] && [ "$(wc -l <"$work/err")" -eq 1 ] || fail "--bogus printed: $(cat "$work/out" "$work/err")"

# -display goes to Qt, which finds no such display: the program's "cannot start", not ours.
run -display :65000
code=$?
[ $code -eq 1 ] || fail "-display :65000 ended with $code: $(cat "$work/err")"
echo "command_line: ok"
