#!/usr/bin/env bash
# Renders the artwork sources in src/app/resources/art/ into the icons and PNG pictures that
# src/app/resources/tarnwick.rc embeds. The rendered files are committed, so the build never runs
# this script; run it after changing a source and commit its output together with the source.
#
# It installs nothing. It needs these Debian packages:
#   librsvg2-bin  (rsvg-convert: SVG to PNG)
#   imagemagick   (convert: layering, the drop shadow, the 256-colour images)
#   icoutils      (icotool: .ico files)
# and uses pngquant and optipng, when they are installed, to make the PNG pictures smaller.
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

# The application icon: the globe with a power button, at every size Windows asks for from 100 % to 200 %
# display scale (16 to 64 pixels) and 256 pixels for large views. 16 pixels come from the drawing made on the
# pixel grid, the rest from the large drawing. 16, 32 and 48 pixels also come in 256 colours for old
# displays; the 64- and 256-pixel images are kept PNG-compressed (Windows Vista and later read them).
layers 16 "$work/main16.png" globe-16.svg power-16.svg
for size in 20 24 32 40 48 64 256; do layers "$size" "$work/main$size.png" globe.svg power.svg; done
for size in 48 32 16; do palette "$work/main$size.png" "$work/main$size-8.png"; done
if command -v optipng >/dev/null; then optipng -quiet -o5 -strip all "$work/main64.png" "$work/main256.png"; fi
icotool -c -o "$out/tarnwick.ico" \
  -r "$work/main256.png" -r "$work/main64.png" \
  -b 32 "$work/main48.png" -b 8 "$work/main48-8.png" -b 32 "$work/main40.png" \
  -b 32 "$work/main32.png" -b 8 "$work/main32-8.png" -b 32 "$work/main24.png" -b 32 "$work/main20.png" \
  -b 32 "$work/main16.png" -b 8 "$work/main16-8.png"

# The tray's state icons, 32-bit colour, at the small-icon sizes of 100 % to 200 % (16, 20, 24, 32 pixels).
layers 16 "$work/on16.png" globe-16.svg
layers 16 "$work/off16.png" globe-16.svg cross-16.svg
on=(-b 32 "$work/on16.png")
off=(-b 32 "$work/off16.png")
for size in 20 24 32; do
  layers "$size" "$work/on$size.png" globe.svg
  layers "$size" "$work/off$size.png" globe.svg cross.svg
  on+=(-b 32 "$work/on$size.png")
  off+=(-b 32 "$work/off$size.png")
done
icotool -c -o "$out/internet-on.ico" "${on[@]}"
icotool -c -o "$out/internet-off.ico" "${off[@]}"

# The windows' pictures at 100 %, 150 % and 200 % display scale ("" "-150" "-200"): the toolkit draws the
# largest rendering that is not larger than the scale asks for, so every one is drawn pixel for pixel.
scales=("1 " "1.5 -150" "2 -200")
pictures=()
for entry in "${scales[@]}"; do
  read -r factor suffix <<<"$entry"
  px() { awk -v s="$1" -v f="$factor" 'BEGIN { printf "%d", s * f + 0.5 }'; }
  # The main window's pictures of the two states, 48 x 48 at 100 %.
  layers "$(px 48)" "$out/internet-on$suffix.png" globe.svg
  layers "$(px 48)" "$out/internet-off$suffix.png" globe.svg cross.svg
  # The About window's product picture, 128 x 128 at 100 %: the application's mark at 116 pixels with a soft
  # drop shadow, centred.
  layers "$(px 116)" "$work/product$suffix.png" globe.svg power.svg
  convert "$work/product$suffix.png" \( +clone -background black -shadow "45x$(awk -v f="$factor" 'BEGIN { print 2.5 * f }')+$(px 2)+$(px 3)" \) +swap \
    -background none -layers merge +repage -gravity center -extent "$(px 128)x$(px 128)" \
    "${png_out[@]}" "PNG32:$out/product$suffix.png"
  pictures+=("$out/internet-on$suffix.png" "$out/internet-off$suffix.png" "$out/product$suffix.png")
done

# The larger renderings go into 256 colours with their transparency (pngquant), a third of the bytes and no
# visible difference; the program's size matters more than the last shade of the globe's gradient.
if command -v pngquant >/dev/null; then
  for picture in "${pictures[@]}"; do
    case $picture in *-150.png | *-200.png) pngquant --quality=85-98 --speed 1 --strip -f -o "$picture" "$picture" ;; esac
  done
fi
if command -v optipng >/dev/null; then
  optipng -quiet -o5 -strip all "${pictures[@]}"
fi

echo "render-artwork: wrote tarnwick.ico internet-on.ico internet-off.ico and the pictures to $out"
