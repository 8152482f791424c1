#!/usr/bin/env bash
# The Windows zip CPack makes from a Windows build: one folder with the programs, the licence and
# a read-me that Notepad shows properly. Usage: zip_contents.sh BUILD_DIR VERSION [PROGRAMS]
# (CMAKE, CPACK as tools); PROGRAMS: what the folder holds besides the read-me, by processor.
. "$(dirname "$0")/common.sh"
build=${1:?build folder}
version=${2:?project version}
programs=${3:?programs the zip holds}
cmake=${CMAKE:-cmake}
cpack=${CPACK:-cpack}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && "$cpack" -G ZIP -B "$work" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
case $programs in
*64bit*) top="Gridlark-$version-windows" ;;
*) top="Gridlark-$version-win32" ;;
esac
zip="$work/$top.zip"
[ -f "$zip" ] || fail "no $top.zip; made: $(cd "$work" && ls ./*.zip 2>/dev/null)"

got=$("$cmake" -E tar tf "$zip" | grep -v '/$' | LC_ALL=C sort)
want=$(for p in $programs LICENSE.txt README.txt; do echo "$top/$p"; done | LC_ALL=C sort)
[ "$got" = "$want" ] || fail "zip holds: $got"

mkdir "$work/x"
(cd "$work/x" && "$cmake" -E tar xf "$zip")
for p in $programs; do
  case $p in *64bit*) machine=8664 ;; *) machine=014c ;; esac
  # The PE header's machine field: x86-64 or i386.
  offset=$(od -An -tu4 -j60 -N4 "$work/x/$top/$p" | tr -d ' ')
  got_machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$work/x/$top/$p" | tr -d ' ')
  [ "$(head -c 2 "$work/x/$top/$p")" = MZ ] && [ "$got_machine" = "$machine" ] ||
    fail "$p is not a Windows program for its processor (machine $got_machine)"
done

readme="$work/x/$top/README.txt"
[ "$(head -1 "$readme" | tr -d '\r')" = "Gridlark $version" ] || fail "read-me title: $(head -1 "$readme")"
lines=$(wc -l <"$readme")
crlf=$(grep -c $'\r$' "$readme" || true)
[ "$lines" -gt 5 ] && [ "$crlf" -eq "$lines" ] || fail "read-me has $crlf CRLF endings in $lines lines"
if grep -q '@' "$readme"; then fail "read-me has an unexpanded @VARIABLE@"; fi
head -1 "$work/x/$top/LICENSE.txt" | grep -q '^MIT License' || fail "LICENSE.txt is not the MIT licence"

echo "zip_contents: ok"
