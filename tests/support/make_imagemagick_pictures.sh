#!/bin/sh
# Writes palettized BMP files with ImageMagick into the directory $2 (convert program $1):
# its BMP2 (OS/2 core header), BMP3 (40-byte header) and BMP (V5 header) outputs of one
# generated picture at 2, 16 and 256 colours, plain and with -compress RLE, each with
# ImageMagick's own decode of it as a PPM beside it.
set -eu
convert=$1
out=$2
"$convert" -version | grep -q ImageMagick || {
    echo "$convert is not ImageMagick" >&2
    exit 1
}
mkdir -p "$out"
cd "$out"
# Gradient, disc and bar: many colours to quantise, edges at odd positions, width 61 (a
# padded row at every depth).
"$convert" -size 61x37 gradient:'#ff2000-#0030ff' -fill '#20c040' -draw 'circle 30,18 30,4' \
    -fill white -draw 'rectangle 2,2 12,30' source.ppm
for format in BMP2 BMP3 BMP; do
    for colors in 2 16 256; do
        for compress in None RLE; do
            name=${format}_${colors}_${compress}
            "$convert" source.ppm -dither None -colors "$colors" -type Palette \
                -compress "$compress" "$format:$name.bmp"
            "$convert" "$name.bmp" -depth 8 "$name.ppm"
        done
    done
done
