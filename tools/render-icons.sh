#!/bin/sh
# Renders the program's icon into the PNG sizes of the desktop's icon theme,
# next to the drawings in data/icons/. Run it after changing either drawing
# and commit the PNG files; the build only installs them. Needs rsvg-convert
# (Debian package librsvg2-bin).
set -eu
icons=$(cd "$(dirname "$0")/../data/icons" && pwd)
command -v rsvg-convert >/dev/null || { echo "render-icons: rsvg-convert is missing (librsvg2-bin)" >&2; exit 1; }

# The small sizes have their own drawing on the pixel grid.
for size in 16 32; do
    rsvg-convert -w $size -h $size "$icons/lumiset-small.svg" -o "$icons/lumiset-$size.png"
done
for size in 48 64 128 256; do
    rsvg-convert -w $size -h $size "$icons/lumiset.svg" -o "$icons/lumiset-$size.png"
done
ls -l "$icons"/lumiset-*.png
