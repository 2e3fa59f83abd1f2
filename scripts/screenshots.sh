#!/bin/sh
# Grabs the open window and both help pages into shots/ under a virtual X
# server, on the bundled samples. Needs xvfb-run and the built screenshot
# program (the lumiset-shots target):
#   scripts/screenshots.sh [path/to/lumiset-shots]
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-"$root/build/default/src/lumiset-shots"}
samples="$root/samples"
out="$root/shots"

if [ ! -x "$program" ]; then
    echo "screenshots: no program at $program (build first, or pass its path)" >&2
    exit 1
fi
command -v xvfb-run >/dev/null || { echo "screenshots: xvfb-run is missing" >&2; exit 1; }
mkdir -p "$out"

# A refused file: named .bmp but not a bitmap. The message box is modal, so
# that shot shows the box over the window (grabbed from the screen).
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$samples"/*.bmp "$samples"/*.tga "$scratch"/
printf 'not a picture\n' > "$scratch/letter.bmp"
# A picture whose workbook takes a moment to save, and a folder that goes
# away before its workbook can be written.
mkdir "$scratch/big" "$scratch/gone"
/usr/bin/python3 -c 'import sys; from PIL import Image; Image.effect_noise((1500, 1200), 80).convert("RGB").save(sys.argv[1])' \
    "$scratch/big/noise.bmp"
cp "$samples/chart24.bmp" "$scratch/gone/"

shot() { # name, then the program's arguments
    name=$1
    shift
    xvfb-run -a -s "-screen 0 ${screen:-800x600x24}" "$program" "$@" --shot "$out/$name.png" 2>/dev/null
    echo "$out/$name.png"
}

shot open-start "$samples"
shot open-bmp24 "$samples" --select chart24.bmp
shot open-bmp8 "$samples" --select palette8.bmp
shot open-os2 "$samples" --select os2.bmp
shot open-bmp4 "$samples" --select colours16.bmp
shot open-tga-grey "$samples" --select grey.tga
shot open-tga-mapped "$samples" --select mapped.tga
shot open-tga-truecolor "$samples" --select truecolor.tga
shot open-refused "$scratch" --select letter.bmp
shot open-focus "$samples" --select chart24.bmp --focus Picture3
shot open-saving "$scratch/big" --select noise.bmp --workbook
shot open-workbook-failure "$scratch/gone" --select chart24.bmp --unwritable
shot help-summary "$samples" --help-page 1
shot help-text "$samples" --help-page 2
shot help-export "$samples" --help-page 3

# The export window over the open window, with a Russian locale for the
# decimal commas of the weights: colour, palette and grey pictures at the
# starting zoom and at a zoom that shows the grid.
for pic in chart24.bmp palette8.bmp grey.tga; do
    for zoom in 3 10; do
        LANG=ru_RU.UTF-8 shot "export-${pic%%.*}-z$zoom" "$samples" --select "$pic" --export --zoom "$zoom"
    done
done
LANG=ru_RU.UTF-8 shot export-focus "$samples" --select chart24.bmp --export --focus Image1
LANG=ru_RU.UTF-8 shot export-focus-options "$samples" --select chart24.bmp --export --focus OutputOptions
LANG=ru_RU.UTF-8 shot export-focus-zoom "$samples" --select chart24.bmp --export --focus Picture5
LANG=ru_RU.UTF-8 shot export-options "$samples" --select chart24.bmp --options

# Every window in English, at scale 1 and 1.5 (the saving shot waits for a
# Russian caption, so it is taken in Russian only).
for scale in 1 1.5; do
    suffix=en$([ "$scale" = 1 ] || echo "-x$scale")
    export LUMISET_LANGUAGE=en QT_SCALE_FACTOR=$scale
    screen=1280x1024x24
    shot "open-start-$suffix" "$samples"
    shot "open-bmp24-$suffix" "$samples" --select chart24.bmp
    shot "open-bmp8-$suffix" "$samples" --select palette8.bmp
    shot "open-tga-mapped-$suffix" "$samples" --select mapped.tga
    shot "open-refused-$suffix" "$scratch" --select letter.bmp
    shot "help-summary-$suffix" "$samples" --help-page 1
    shot "help-text-$suffix" "$samples" --help-page 2
    shot "help-export-$suffix" "$samples" --help-page 3
    shot "export-chart24-$suffix" "$samples" --select chart24.bmp --export --zoom 10
    shot "export-grey-$suffix" "$samples" --select grey.tga --export
    shot "export-options-$suffix" "$samples" --select chart24.bmp --options
    unset LUMISET_LANGUAGE QT_SCALE_FACTOR screen
done
