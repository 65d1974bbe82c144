#!/usr/bin/env bash
# Makes a Wine prefix when it is missing (the end-to-end scripts' prefix, and the unit tests' one
# through tests/wine/session.sh): wine-prefix.sh PREFIX. About 30 s and 700 MB; an existing
# prefix is only checked. The end-to-end prefix draws on X (Wine's default graphics driver),
# unlike the unit tests' prefix, which their session turns to the null driver. Both have
# Wine's own fonts: Debian's Wine does not find them where they are installed, and the dialogs
# would be laid out in another face and at another size than on Windows. Wine's processes print
# into PREFIX.log, never into the caller's output, which CTest waits on.
set -euo pipefail
prefix=$(realpath -m "${1:?usage: wine-prefix.sh PREFIX}")
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
log="$prefix.log"

if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$prefix"
  echo "making the Wine prefix $prefix"
  wine wineboot -i </dev/null >>"$log" 2>&1
  wineserver -w
fi
own_fonts=(/usr/share/wine/fonts/*)
[ -e "${own_fonts[0]}" ] || {
  echo "Wine's own fonts are missing from /usr/share/wine/fonts (package fonts-wine)" >&2
  exit 1
}
mkdir -p "$prefix/drive_c/windows/Fonts"
cp -uL "${own_fonts[@]}" "$prefix/drive_c/windows/Fonts/"
