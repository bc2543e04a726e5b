#!/usr/bin/env bash
# mktitle.exe on pictures that ImageMagick makes here (24-bit PNG photo, flat 32-bit PNG with
# transparency, JPEG, GIF): each output passes disccheck.exe, holds at most N colours, BI_RLE8
# for flat art and plain rows for the photo; /fit, /background; each error's exit code, with
# the files left alone. Prints each output's PSNR beside ImageMagick's -colors (not a check).
# usage: mktitle_test.sh BUILD_DIR CONVERT   (run by ctest with the test prefix's Wine environment)
set -euo pipefail
build=$1
convert=$2
work=$build/mktitle-test
rm -rf "$work"
mkdir -p "$work"
cd "$work"
failures=0
fail() { echo "FAIL: $*" >&2 && failures=$((failures + 1)); }
win() { echo "Z:${1//\//\\}"; }
# Runs mktitle.exe with the arguments; its output in $out, its exit code in $code.
mktitle() {
  code=0
  out=$("$WINELOADER" "$build/mktitle.exe" "$@" 2>&1) || code=$?
}
# A BMP header field: bytes 30 (compression) or 46 (colours in the table), little-endian.
field() { python3 -c "import struct,sys; print(struct.unpack_from('<I', open(sys.argv[1],'rb').read(), int(sys.argv[2]))[0])" "$1" "$2"; }

"$convert" -size 320x200 gradient:'#102080-#f0d060' \( -size 320x200 radial-gradient:'#ffffff-#404040' \) \
  -compose multiply -composite -attenuate 0.3 +noise Gaussian -depth 8 PNG24:photo.png
"$convert" -size 200x120 xc:none +antialias -fill '#cc2020' -draw 'rectangle 10,10 120,80' \
  -fill '#2040dd' -draw 'circle 150,60 180,90' PNG32:flat.png
"$convert" photo.png -quality 85 photo.jpg
"$convert" photo.png -colors 200 photo.gif

# A disc around each title, for the checker.
mkdir -p disc
cp -r "$build/disc/launcher.exe" "$build/disc/GAME" "$build/disc/system" disc/
printf '[autorun]\r\nopen=launcher.exe\r\n[CorvaneGame]\r\ngame=GAME\\START.EXE\r\nbitmap=title.bmp\r\n' \
  >disc/autorun.inf

printf '%-10s %10s %10s %14s\n' picture colours encoding "PSNR mktitle/IM"
for case in "photo.png 236 0" "flat.png 236 1" "photo.jpg 236 -" "photo.gif 236 -" "photo.jpg 16 -"; do
  read -r source colours compression <<<"$case"
  bmp=${source%.*}-${source##*.}-$colours.bmp
  mktitle "$source" "$bmp" /colors "$colours"
  [ "$code" = 0 ] && grep -q "fits" <<<"$out" || { fail "$source: exit code $code: $out"; continue; }
  cp "$bmp" disc/title.bmp
  check=0
  checked=$("$WINELOADER" "$build/disccheck.exe" "$(win "$work/disc")" 2>&1) || check=$?
  [ "$check" = 0 ] && ! grep -q "^WARN picture" <<<"$checked" || fail "$source: $check: $checked"
  used=$(field "$bmp" 46) encoding=$(field "$bmp" 30)
  [ "$used" -le "$colours" ] || fail "$source: $used colours in the table, more than $colours"
  [ "$compression" = - ] || [ "$encoding" = "$compression" ] ||
    fail "$source: compression $encoding, expected $compression"
  "$convert" "$source" -background '#C0C0C0' -flatten -alpha off "ref-$source.png"
  "$convert" "ref-$source.png" -colors "$colours" "im-$source.png"
  own=$(compare -metric PSNR "ref-$source.png" "$bmp" null: 2>&1 || true)
  im=$(compare -metric PSNR "ref-$source.png" "im-$source.png" null: 2>&1 || true)
  printf '%-10s %10s %10s %14s\n' "$source" "$used" "$([ "$encoding" = 1 ] && echo RLE8 || echo plain)" "$own / $im"
done

# /fit scales down keeping the proportions; /background shows behind transparent pixels.
mktitle photo.png fit.bmp /fit 200x200
[ "$code" = 0 ] && [ "$(identify -format %wx%h fit.bmp)" = 200x125 ] || fail "/fit 200x200: $out"
mktitle flat.png navy.bmp /background 000080
corner=$("$convert" navy.bmp -format '%[pixel:p{0,0}]' info:)
[ "$corner" = "srgb(0,0,128)" ] || fail "/background 000080: $corner"

# Errors: each its exit code and message, no out.bmp written and the input unchanged.
refused() { # CODE TEXT ARGUMENTS...
  local want=$1 text=$2
  shift 2
  mktitle "$@"
  [ "$code" = "$want" ] && [ ! -e out.bmp ] && grep -q "$text" <<<"$out" || fail "$*: $code, $out"
}
echo "no picture" >text.png
cp photo.png keep.png
ln keep.png linked.bmp
refused 1 "cannot read" missing.png out.bmp
refused 1 "no picture" text.png out.bmp
refused 3 "cannot write" photo.png no/such/folder/out.bmp
refused 2 "is the input picture" keep.png "$(win "${work^^}/KEEP.PNG")"
refused 2 "is the input picture" keep.png linked.bmp
refused 2 "usage: mktitle" photo.png out.bmp /colors 300
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;windowscodecs=d" \
  refused 4 "needs Windows XP SP3 with WIC, or Vista or later" photo.png out.bmp
cmp -s photo.png keep.png || fail "the input was changed"

[ "$failures" = 0 ] || exit 1
echo "OK: mktitle made titles that the checker passes, and refused what it must"
