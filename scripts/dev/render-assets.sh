#!/usr/bin/env bash
# Renders the committed pictures from their SVG sources: the main window's JPEG, the program icon as
# PNG and as a Windows .ico, and the event list's state icons at 16 and 32 pixels (NAME_16.png and
# NAME_32.png for Qt, NAME.ico with both for Windows). Needs rsvg-convert (librsvg2-bin) and
# ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/../../assets"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The window decodes the picture with libjpeg from memory: keep it baseline (not progressive),
# without metadata, and small.
rsvg-convert -w 338 -h 226 main_picture.svg -o "$work/main_picture.png"
convert "$work/main_picture.png" -background white -flatten -strip -interlace none \
  -sampling-factor 2x2 -quality 85 main_picture.jpg

rsvg-convert -w 32 -h 32 tailmend.svg -o tailmend.png
rsvg-convert -w 16 -h 16 tailmend.svg -o "$work/tailmend16.png"
convert tailmend.png "$work/tailmend16.png" tailmend.ico

for source in state_*.svg; do
  name=${source%.svg}
  rsvg-convert -w 16 -h 16 "$source" -o "${name}_16.png"
  rsvg-convert -w 32 -h 32 "$source" -o "${name}_32.png"
  convert "${name}_32.png" "${name}_16.png" "$name.ico"
done
