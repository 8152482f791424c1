#!/usr/bin/env bash
# The Debian package CPack makes from a build: its name, control fields, computed dependencies
# and files. Usage: deb_contents.sh BUILD_DIR VERSION   (CPACK may name the cpack to use)
. "$(dirname "$0")/common.sh"
build=${1:?build folder}
version=${2:?project version}
cpack=${CPACK:-cpack}
need dpkg-deb dpkg-shlibdeps lintian hardening-check

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && "$cpack" -G DEB -B "$work" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb="$work/gridlark_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); made: $(cd "$work" && ls ./*.deb 2>/dev/null)"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = gridlark ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)'"
[ "$(field Section)" = games ] || fail "Section is '$(field Section)'"
[ "$(field Maintainer)" = "Fernwick <games@fernwick.example>" ] || fail "Maintainer is '$(field Maintainer)'"
[ "$(field Homepage)" = https://www.fernwick.example ] || fail "Homepage is '$(field Homepage)'"
[ "$(field Description | head -1)" = "Noughts and crosses for two players or against the computer" ] ||
  fail "Description synopsis is '$(field Description | head -1)'"
long=$(field Description | awk 'NR > 1 && length($0) > 80')
[ -z "$long" ] || fail "Description lines over 80 characters: $long"

# Dependencies: computed from the program's libraries, plus the package with the Qt plugins.
depends=$(field Depends | tr ',' '\n' | sed 's/^ *//; s/ *(.*//; s/ *$//' | sort -u)
for p in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 fonts-liberation fonts-dejavu-core; do
  grep -qx "$p" <<<"$depends" || fail "Depends lacks $p: $(field Depends)"
done
bad=$(grep -E -- '-dev$|^(gcc|g\+\+|cpp|binutils|cmake)(-|$)|^lib(asan|ubsan|gtest)' <<<"$depends" || true)
[ -z "$bad" ] || fail "Depends on build-time packages: $bad"
grep -q '(>=' <<<"$(field Depends)" || fail "Depends carries no versions: not computed by dpkg-shlibdeps?"

# Files: exactly the installed tree under /usr, owned by root, with sane modes.
got=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./usr/||' | LC_ALL=C sort)
[ "$got" = "$(expected_files)" ] ||
  fail "package holds a different set of files:
$(diff <(expected_files) <(echo "$got") || true)"
owners=$(dpkg-deb --fsys-tarfile "$deb" | tar -tv | awk '{print $2}' | sort -u)
[ "$owners" = root/root ] || fail "files not owned by root: $owners"
modes=$(dpkg-deb --fsys-tarfile "$deb" | tar -tv | awk '$1 !~ /^(drwxr-xr-x|-rw-r--r--)$/ {print $1, $6}')
[ "$modes" = "-rwxr-xr-x ./usr/games/gridlark" ] || fail "unexpected modes: $modes"

# A packaged program carries no symbol table: smaller downloads, nothing to gain for players.
mkdir "$work/x"
dpkg-deb -x "$deb" "$work/x"
if readelf -S "$work/x/usr/games/gridlark" | grep -q '\.symtab'; then fail "packaged program is not stripped"; fi

# What a Debian reviewer runs first: every tag lintian knows, and the hardening of the program
# but control-flow protection, which Debian 12's start files cannot carry.
tags=$(lintian -EIL +pedantic --fail-on none --tag-display-limit 0 "$deb" 2>"$work/lintian.err") ||
  { cat "$work/lintian.err" >&2; fail "lintian failed"; }
[ -z "$tags" ] || fail "lintian:
$tags"
hardening-check --nocfprotection "$work/x/usr/games/gridlark" >"$work/hardening" ||
  { cat "$work/hardening" >&2; fail "hardening-check"; }

echo "deb_contents: ok ($(field Depends))"
