# Helpers for the packaging checks. Source it.
set -euo pipefail

APP_ID=example.fernwick.Gridlark
ICON_SIZES=(16 32 48 256)

fail() { echo "FAIL: $*" >&2; exit 1; }

need() { # commands...
  local c
  for c in "$@"; do
    command -v "$c" >/dev/null || fail "$c is missing (scripts/setup.sh installs it)"
  done
}

# The files an install lays out under its prefix, sorted.
expected_files() {
  {
    echo games/gridlark
    echo share/doc/gridlark/changelog.gz
    echo share/doc/gridlark/copyright
    echo share/man/man6/gridlark.6.gz
    echo "share/applications/$APP_ID.desktop"
    echo "share/metainfo/$APP_ID.metainfo.xml"
    for s in "${ICON_SIZES[@]}"; do echo "share/icons/hicolor/${s}x$s/apps/$APP_ID.png"; done
  } | LC_ALL=C sort
}

# "width height" of a PNG, or nothing when the file is not one.
png_size() {
  [ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" = 89504e470d0a1a0a ] || return 0
  od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}'
}

# The value of a key in the [Desktop Entry] group.
desktop_key() { # file key
  awk -F= -v k="$2" '/^\[/{g=$0} g=="[Desktop Entry]" && $1==k {sub(/^[^=]*=/, ""); print; exit}' "$1"
}

# Text of the first element of a metainfo file with this name and attribute.
xml_text() { # file element [attribute-filter]
  tr -d '\n' <"$1" | grep -o "<$2${3:+ $3}>[^<]*</$2>" | head -1 | sed 's/^<[^>]*>//; s/<[^>]*>$//'
}

# Everything a desktop can see of an installed tree at PREFIX: the binary, the desktop entry,
# the metainfo and the icons, each valid on its own and naming one another consistently.
check_installed_tree() { # prefix version
  local p=$1 version=$2
  local desktop="$p/share/applications/$APP_ID.desktop" meta="$p/share/metainfo/$APP_ID.metainfo.xml"

  [ -f "$p/games/gridlark" ] && [ -x "$p/games/gridlark" ] || fail "games/gridlark missing or not executable"
  [ "$(od -An -c -N4 "$p/games/gridlark" | tr -d ' ')" = '177ELF' ] || fail "games/gridlark is not an ELF program"

  desktop-file-validate "$desktop" || fail "desktop entry does not validate"
  [ "$(desktop_key "$desktop" Exec)" = gridlark ] || fail "desktop entry Exec is not gridlark"
  [ "$(desktop_key "$desktop" Icon)" = "$APP_ID" ] || fail "desktop entry Icon is not $APP_ID"
  [ "$(desktop_key "$desktop" Categories)" = "Game;BoardGame;" ] || fail "desktop entry Categories"

  # The id is not under a known top-level domain: that note alone must not fail the check.
  local report
  report=$(appstreamcli validate --no-net --pedantic --strict --override=cid-maybe-not-rdns=pedantic "$meta" 2>&1) ||
    { echo "$report" >&2; fail "metainfo does not validate"; }
  [ "$(xml_text "$meta" id)" = "$APP_ID" ] || fail "metainfo id is not $APP_ID"
  [ "$(xml_text "$meta" launchable 'type="desktop-id"')" = "$APP_ID.desktop" ] ||
    fail "metainfo launchable does not name the desktop entry"
  [ "$(xml_text "$meta" binary)" = gridlark ] || fail "metainfo provides no binary gridlark"
  tr -d '\n' <"$meta" | grep -q "<release version=\"$version\"" ||
    fail "metainfo has no release $version"

  local s
  for s in "${ICON_SIZES[@]}"; do
    local icon="$p/share/icons/hicolor/${s}x$s/apps/$APP_ID.png"
    [ -f "$icon" ] || fail "no ${s}x$s icon"
    [ "$(png_size "$icon")" = "$s $s" ] || fail "${s}x$s icon is '$(png_size "$icon")', not a $s x $s PNG"
  done
}
