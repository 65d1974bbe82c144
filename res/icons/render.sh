#!/usr/bin/env bash
# Renders the committed PNG icons from universal-programmer.svg (48 px and up) and, at 32 px, from
# the pixel-drawn res/icon.xpm itself. Run it after changing either; the build only copies the
# results. Needs rsvg-convert (librsvg2-bin), ImageMagick's convert and icotool (icoutils).
set -euo pipefail
cd "$(dirname "$0")"
for size in 48 64 128 256; do
  mkdir -p "${size}x${size}"
  rsvg-convert -w "$size" -h "$size" universal-programmer.svg |
    convert png:- -strip "PNG32:${size}x${size}/universal-programmer.png"
done
mkdir -p 32x32
# The XPM is C source: ImageMagick reads it once its array is named as plain XPM names it.
sed 's/static const char\* const application_icon_xpm/static char* universal_programmer/' \
  ../icon.xpm | convert xpm:- -strip PNG32:32x32/universal-programmer.png
# The Windows executable's icon: every size, the two largest kept as PNG (smaller than bitmaps).
icotool -c -o universal-programmer.ico {32x32,48x48,64x64}/universal-programmer.png \
  -r 128x128/universal-programmer.png -r 256x256/universal-programmer.png
