#!/usr/bin/env bash
# Renders the artwork sources in src/app/resources/art/ into the icons and PNG pictures that
# src/app/resources/tarnwick.rc embeds. The rendered files are committed, so the build never runs
# this script; run it after changing a source and commit its output together with the source.
#
# It installs nothing. It needs these Debian packages:
#   librsvg2-bin  (rsvg-convert: SVG to PNG)
#   imagemagick   (convert: layering, the drop shadow, the 256-colour images)
#   icoutils      (icotool: .ico files)
# and uses optipng, when it is installed, to make the PNG pictures smaller.
#
# Usage: tools/render-artwork.sh [output folder]   (default: src/app/resources)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
art=$root/src/app/resources/art
out=${1:-$root/src/app/resources}

missing=()
for tool in rsvg-convert:librsvg2-bin convert:imagemagick icotool:icoutils; do
  command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
done
if ((${#missing[@]})); then
  echo "render-artwork: missing tools; install: apt-get install ${missing[*]}" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# ImageMagick stamps dates into PNG files; leave them out so that a rerun gives the same bytes.
png_out=(-strip -define 'png:exclude-chunks=date,time')

# layers SIZE OUTPUT SOURCE...: renders each SVG at SIZE x SIZE and lays them over each other in order.
layers() {
  local size=$1 output=$2 i=0 args=()
  shift 2
  for source in "$@"; do
    rsvg-convert -w "$size" -h "$size" "$art/$source" -o "$work/layer$i.png"
    args+=("$work/layer$i.png")
    ((i > 0)) && args+=(-composite)
    i=$((i + 1))
  done
  convert "${args[@]}" "${png_out[@]}" "PNG32:$output"
}

# palette IN OUT: the 256-colour form of an image for old displays: transparency cut at half, no dithering
# (dither noise looks worse than slight banding at these sizes).
palette() {
  convert "$1" -channel A -threshold 50% +channel +dither -colors 255 "${png_out[@]}" "PNG8:$2"
}

# The application icon: the globe with a power button. 48 and 32 pixels come from the large drawing,
# 16 pixels from the one drawn on the pixel grid.
layers 48 "$work/main48.png" globe.svg power.svg
layers 32 "$work/main32.png" globe.svg power.svg
layers 16 "$work/main16.png" globe-16.svg power-16.svg
for size in 48 32 16; do palette "$work/main$size.png" "$work/main$size-8.png"; done
icotool -c -o "$out/tarnwick.ico" \
  -b 32 "$work/main48.png" -b 8 "$work/main48-8.png" \
  -b 32 "$work/main32.png" -b 8 "$work/main32-8.png" \
  -b 32 "$work/main16.png" -b 8 "$work/main16-8.png"

# The tray's state icons: 16 pixels, 32-bit colour.
layers 16 "$work/on16.png" globe-16.svg
layers 16 "$work/off16.png" globe-16.svg cross-16.svg
icotool -c -o "$out/internet-on.ico" -b 32 "$work/on16.png"
icotool -c -o "$out/internet-off.ico" -b 32 "$work/off16.png"

# The main window's pictures of the two states.
layers 48 "$out/internet-on.png" globe.svg
layers 48 "$out/internet-off.png" globe.svg cross.svg

# The About window's product picture: the application's mark at 116 pixels with a soft drop shadow,
# centred on 128 x 128.
layers 116 "$work/product116.png" globe.svg power.svg
convert "$work/product116.png" \( +clone -background black -shadow 45x2.5+2+3 \) +swap \
  -background none -layers merge +repage -gravity center -extent 128x128 \
  "${png_out[@]}" "PNG32:$out/product.png"

if command -v optipng >/dev/null; then
  optipng -quiet -o5 -strip all "$out/internet-on.png" "$out/internet-off.png" "$out/product.png"
fi

echo "render-artwork: wrote tarnwick.ico internet-on.ico internet-off.ico internet-on.png internet-off.png product.png to $out"
