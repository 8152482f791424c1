#!/usr/bin/env bash
# Reads the resources back from Gridlark.exe: the icon groups, the version block, the manifest,
# and the program's imports (only Windows' own DLLs, so it runs on a bare Windows).
# GRIDLARK_TRIPLE names the build's toolchain (x86_64-w64-mingw32 or i686-w64-mingw32).
set -euo pipefail

exe=${GRIDLARK:?path to Gridlark.exe}
triple=${GRIDLARK_TRIPLE:?toolchain triple}
case $triple in
x86_64-*) format=pei-x86-64 arch=amd64 ;;
i686-*) format=pei-i386 arch=X86 ;;
*) echo "FAIL: unknown triple $triple" >&2; exit 1 ;;
esac
fail() { echo "FAIL: $*" >&2; exit 1; }

listing=$(wrestool -l "$exe")
has() { grep -qF -- "$1" <<<"$listing" || fail "no resource $1"; }
# Language neutral: icons, their groups (1 the program's, 2 the blank window icon) and the
# pictures as bitmaps; US English: version and manifest.
for i in $(seq 18); do has "--type=3 --name=$i --language=0 "; done
[ "$(grep -c -- '--type=3 ' <<<"$listing")" -eq 18 ] || fail "icons other than 1..18"
has "--type=14 --name=1 --language=0 "
has "--type=14 --name=2 --language=0 "
[ "$(grep -c -- '--type=14 ' <<<"$listing")" -eq 2 ] || fail "icon groups other than 1 and 2"
has "--type=16 --name=1 --language=1033 "
has "--type=24 --name=1 --language=1033 "
has "--type=2 --name=101 --language=0 "
has "--type=2 --name=102 --language=0 "

# A GUI program for the build's processor.
header=$("$triple-objdump" -p "$exe")
grep -q "file format $format\$" <<<"$header" || fail "not $format: $(grep 'file format' <<<"$header")"
grep -qE '^Subsystem[[:space:]]+0*2[[:space:]]' <<<"$header" || fail "not a GUI program"

rc=$("$triple-windres" -i "$exe" -O rc)

# Each group's nine entries in order: 48, 32 and 16 pixels at 4, then 8, then 32 bits a pixel.
entries=$(grep 'Element no' <<<"$rc" |
  sed -E 's/.*"\\0?([0-7]+)\\0?([0-7]+)\\0?([0-7]+)\\000", *1, *([0-9]+), *[^,]+, *([0-9]+).*/\1 \2 \3 \4 \5/' |
  while read -r w h colours bits index; do
    echo "$((8#$w))x$((8#$h)) colours=$((8#$colours)) bits=$bits id=$index"
  done)
expected="48x48 colours=16 bits=4 id=1
32x32 colours=16 bits=4 id=2
16x16 colours=16 bits=4 id=3
48x48 colours=0 bits=8 id=4
32x32 colours=0 bits=8 id=5
16x16 colours=0 bits=8 id=6
48x48 colours=0 bits=32 id=7
32x32 colours=0 bits=32 id=8
16x16 colours=0 bits=32 id=9"
expected="$expected
$(awk '{ split($4, id, "="); $4 = "id=" id[2] + 9; print }' <<<"$expected")"
[ "$entries" = "$expected" ] || fail "icon groups are
$entries"

# The version block, field by field.
version=$(sed -n '/^1 VERSIONINFO/,/^END/p' <<<"$rc")
want() { grep -qE -- "$1" <<<"$version" || fail "version block lacks $1"; }
want '^ FILEVERSION 1, 0, 0, 0$'
want '^ PRODUCTVERSION 1, 0, 0, 0$'
want '^ FILEOS 0x4$'
want '^ FILETYPE 0x1$'
! grep -qE '^ FILEFLAGS [^0]|^ FILEFLAGS 0x[^0]' <<<"$version" || fail "file flags set"
want '^    BLOCK "040904B0"$'
want '^    VALUE "Translation", 0x409, 1200$'
strings=$(grep -E '^      VALUE ' <<<"$version")
[ "$strings" = '      VALUE "ProductName", "Gridlark"
      VALUE "FileVersion", "1.00"
      VALUE "ProductVersion", "1.00"
      VALUE "InternalName", "Gridlark"
      VALUE "OriginalFilename", "Gridlark.exe"' ] || fail "version strings are
$strings"
grep -B3 '^1 VERSIONINFO' <<<"$rc" | grep -q '^LANGUAGE 9, 1$' || fail "version not in 1033"

# The manifest names the program's processor and asks for version 6 of the common controls.
manifest=$(wrestool -x --raw --type=24 --name=1 --language=1033 "$exe" | tr -s ' \n' ' ')
grep -qF "<assemblyIdentity version=\"1.0.0.0\" processorArchitecture=\"$arch\"" <<<"$manifest" ||
  fail "manifest does not name $arch for the program"
for attribute in 'name="Microsoft.Windows.Common-Controls"' 'version="6.0.0.0"' \
  "processorArchitecture=\"$arch\"" 'publicKeyToken="6595b64144ccf1df"' 'type="win32"'; do
  grep -qF "<dependentAssembly> <assemblyIdentity" <<<"$manifest" || fail "no dependency"
  sed -n 's/.*<dependentAssembly>\(.*\)<\/dependentAssembly>.*/\1/p' <<<"$manifest" |
    grep -qF "$attribute" || fail "manifest dependency lacks $attribute"
done

# Standalone: nothing but the system's DLLs.
system='^(ADVAPI32|COMCTL32|COMDLG32|GDI32|KERNEL32|msvcrt|ole32|OLEAUT32|SHELL32|USER32|UxTheme)\.dll$'
imports=$(sed -n 's/^\tDLL Name: //p' <<<"$header")
[ -n "$imports" ] || fail "no imports read"
while read -r dll; do
  grep -qiE "$system" <<<"$dll" || fail "imports $dll"
done <<<"$imports"
# The shell is delay-loaded on both processors: not bound at start-up, named only for the helper.
! grep -qix 'SHELL32\.dll' <<<"$imports" || fail "SHELL32.dll imported at start-up"
grep -qa 'shell32\.dll' "$exe" || fail "no delay-load of shell32.dll"
# Hardened: the stack protector's and fortified calls' handlers are linked in.
grep -qa 'stack smashing detected' "$exe" || fail "no stack protector"
grep -qa 'buffer overflow detected' "$exe" || fail "no fortified calls"
echo "win32_resources: ok"
