#!/usr/bin/env bash
# The Windows zip CPack makes from a Windows build: one folder with the program and a read-me
# that Notepad shows properly. Usage: zip_contents.sh BUILD_DIR VERSION   (CMAKE, CPACK as tools)
. "$(dirname "$0")/common.sh"
build=${1:?build folder}
version=${2:?project version}
cmake=${CMAKE:-cmake}
cpack=${CPACK:-cpack}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && "$cpack" -G ZIP -B "$work" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
top="Gridlark-$version-win32"
zip="$work/$top.zip"
[ -f "$zip" ] || fail "no $top.zip; made: $(cd "$work" && ls ./*.zip 2>/dev/null)"

got=$("$cmake" -E tar tf "$zip" | grep -v '/$' | LC_ALL=C sort)
[ "$got" = "$(printf '%s\n' "$top/Gridlark.exe" "$top/README.txt")" ] || fail "zip holds: $got"

mkdir "$work/x"
(cd "$work/x" && "$cmake" -E tar xf "$zip")
[ "$(head -c 2 "$work/x/$top/Gridlark.exe")" = MZ ] || fail "Gridlark.exe is not a Windows program"

readme="$work/x/$top/README.txt"
[ "$(head -1 "$readme" | tr -d '\r')" = "Gridlark $version" ] || fail "read-me title: $(head -1 "$readme")"
lines=$(wc -l <"$readme")
crlf=$(grep -c $'\r$' "$readme" || true)
[ "$lines" -gt 5 ] && [ "$crlf" -eq "$lines" ] || fail "read-me has $crlf CRLF endings in $lines lines"
if grep -q '@' "$readme"; then fail "read-me has an unexpanded @VARIABLE@"; fi

echo "zip_contents: ok"
