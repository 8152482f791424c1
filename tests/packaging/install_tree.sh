#!/usr/bin/env bash
# `cmake --install` of a build lays out exactly the expected files under any prefix, also with
# DESTDIR, and the desktop entry, metainfo and icons it installs are valid and agree.
# Usage: install_tree.sh BUILD_DIR VERSION   (CMAKE may name the cmake to use)
. "$(dirname "$0")/common.sh"
build=${1:?build folder}
version=${2:?project version}
cmake=${CMAKE:-cmake}
need desktop-file-validate appstreamcli od awk

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

list_files() { (cd "$1" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort); }

same_files() { # root what
  local got
  got=$(list_files "$1")
  [ "$got" = "$(expected_files)" ] ||
    fail "$2 installed a different set of files:
$(diff <(expected_files) <(echo "$got") || true)"
}

# A plain prefix.
"$cmake" --install "$build" --prefix "$work/prefix" >/dev/null
same_files "$work/prefix" "--prefix"
check_installed_tree "$work/prefix" "$version"

# DESTDIR staging, as packagers do: everything lands below DESTDIR/prefix and nowhere else.
DESTDIR="$work/stage" "$cmake" --install "$build" --prefix /opt/gridlark >/dev/null
[ "$(ls -A "$work/stage")" = opt ] && [ "$(ls -A "$work/stage/opt")" = gridlark ] ||
  fail "DESTDIR install wrote outside its prefix: $(cd "$work/stage" && find . -maxdepth 3)"
same_files "$work/stage/opt/gridlark" "DESTDIR"

# Installed folders are world-readable whatever the umask of the one installing.
(umask 077 && DESTDIR="$work/umask" "$cmake" --install "$build" --prefix /usr >/dev/null)
bad=$(find "$work/umask/usr" -type d ! -perm 755)
[ -z "$bad" ] || fail "folders not 755 under umask 077: $bad"
bad=$(find "$work/umask/usr" -type f ! -perm -444)
[ -z "$bad" ] || fail "files not world-readable under umask 077: $bad"

echo "install_tree: ok"
