#!/usr/bin/env bash
# mktitle.exe on pictures that ImageMagick makes here: a photo-like 24-bit PNG, flat 32-bit PNG
# art with transparency, a JPEG and a GIF. Each output is a disc's title that disccheck.exe
# passes, with at most 236 colours (N with /colors N), BI_RLE8 for the flat art and plain rows
# for the photo; /fit and /background do what they say; a missing or unreadable input, an
# unwritable output, an output that is the input under another name, and a system without the
# imaging component each end with their own exit code and leave the files alone. Prints each
# output's PSNR against its source beside ImageMagick's -colors 236 (a figure, not a check).
# usage: mktitle_test.sh BUILD_DIR CONVERT   (run by ctest with the test prefix's Wine environment)
set -euo pipefail
build=$1
convert=$2
work=$build/mktitle-test
rm -rf "$work"
mkdir -p "$work"
cd "$work"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
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
  mktitle "$(win "$work/$source")" "$(win "$work/$bmp")" /colors "$colours"
  [ "$code" = 0 ] || { fail "$source: exit code $code: $out"; continue; }
  grep -q "fits" <<<"$out" || fail "$source: no window line in: $out"
  cp "$bmp" disc/title.bmp
  check=0
  checked=$("$WINELOADER" "$build/disccheck.exe" "$(win "$work/disc")" 2>&1) || check=$?
  [ "$check" = 0 ] || fail "$source: disccheck ended with $check: $checked"
  ! grep -q "^WARN picture" <<<"$checked" || fail "$source: $(grep "^WARN picture" <<<"$checked")"
  used=$(field "$bmp" 46)
  [ "$used" -le "$colours" ] || fail "$source: $used colours in the table, more than $colours"
  [ "$("$convert" "$bmp" -format %k info:)" -le "$colours" ] || fail "$source: more than $colours colours"
  [ "$compression" = - ] || [ "$(field "$bmp" 30)" = "$compression" ] ||
    fail "$source: compression $(field "$bmp" 30), expected $compression"
  "$convert" "$source" -background '#C0C0C0' -flatten -alpha off "ref-$source.png"
  "$convert" "ref-$source.png" -colors "$colours" "im-$source.png"
  own=$(compare -metric PSNR "ref-$source.png" "$bmp" null: 2>&1 || true)
  im=$(compare -metric PSNR "ref-$source.png" "im-$source.png" null: 2>&1 || true)
  printf '%-10s %10s %10s %14s\n' "$source" "$used" "$([ "$(field "$bmp" 30)" = 1 ] && echo RLE8 || echo plain)" "$own / $im"
done

# /fit scales down keeping the proportions; /background shows behind transparent pixels.
mktitle "$(win "$work/photo.png")" "$(win "$work/fit.bmp")" /fit 200x200
[ "$code" = 0 ] && [ "$(identify -format %wx%h fit.bmp)" = 200x125 ] || fail "/fit 200x200: $out"
mktitle "$(win "$work/flat.png")" "$(win "$work/navy.bmp")" /background 000080
[ "$("$convert" navy.bmp -format '%[pixel:p{0,0}]' info:)" = "srgb(0,0,128)" ] ||
  fail "/background 000080: $("$convert" navy.bmp -format '%[pixel:p{0,0}]' info:)"

# Errors: their exit codes, and no file written or changed.
echo "no picture" >text.png
cp photo.png keep.png
ln keep.png linked.bmp
mktitle "$(win "$work/missing.png")" "$(win "$work/out1.bmp")"
[ "$code" = 1 ] && [ ! -e out1.bmp ] || fail "missing input: $code, $out"
mktitle "$(win "$work/text.png")" "$(win "$work/out2.bmp")"
[ "$code" = 1 ] && [ ! -e out2.bmp ] && grep -q "no picture" <<<"$out" || fail "text input: $code, $out"
mktitle "$(win "$work/photo.png")" "$(win "$work/no/such/folder/out.bmp")"
[ "$code" = 3 ] || fail "unwritable output: $code, $out"
mktitle "$(win "$work/keep.png")" "$(win "${work^^}/KEEP.PNG")"
[ "$code" = 2 ] || fail "the input in capitals as output: $code, $out"
mktitle "$(win "$work/keep.png")" "$(win "$work/linked.bmp")"
[ "$code" = 2 ] || fail "a link to the input as output: $code, $out"
cmp -s photo.png keep.png || fail "the input was changed"
mktitle "$(win "$work/photo.png")" "$(win "$work/out3.bmp")" /colors 300
[ "$code" = 2 ] && grep -q "usage: mktitle" <<<"$out" || fail "/colors 300: $code, $out"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;windowscodecs=d" mktitle "$(win "$work/photo.png")" "$(win "$work/out4.bmp")"
[ "$code" = 4 ] && grep -q "needs Windows XP SP3 with WIC, or Vista or later" <<<"$out" ||
  fail "without the imaging component: $code, $out"

[ "$failures" = 0 ] || exit 1
echo "OK: mktitle made titles that the checker passes, and refused what it must"
