#!/bin/sh
# Renders the program's icon into the PNG sizes of the desktop's icon theme
# (and the Windows .ico that holds them),
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

# Windows takes its program icon from one .ico file holding the same PNGs
# (an entry of size 256 is written as 0, as the format wants).
python3 - "$icons" <<'PY'
import struct, sys
icons = sys.argv[1]
sizes = [16, 32, 48, 64, 128, 256]
images = [open(f"{icons}/lumiset-{s}.png", "rb").read() for s in sizes]
offset = 6 + 16 * len(sizes)
header = struct.pack("<HHH", 0, 1, len(sizes))
entries = b""
for size, data in zip(sizes, images):
    entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
with open(f"{icons}/lumiset.ico", "wb") as out:
    out.write(header + entries + b"".join(images))
PY
ls -l "$icons/lumiset.ico"
