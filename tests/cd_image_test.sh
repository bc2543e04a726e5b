#!/usr/bin/env bash
# The demo disc's CD image: scripts/make-iso writes it (and refuses a broken disc), its Joliet
# tree lists the disc's files, and the launcher plays from the image's files mounted as a
# CD-ROM drive (E:) of the test prefix.
# usage: cd_image_test.sh BUILD_DIR   (run by ctest with the test prefix's Wine environment)
set -euo pipefail
build=$1
top=$(cd "$(dirname "$0")/.." && pwd)
work=$build/cd-image
drive=$WINEPREFIX/dosdevices/e:

# The drive manager reads drive types when Wine starts: a new type needs a new wineserver.
restart_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
cleanup() {
  rm -f "$drive"
  "$WINELOADER" reg delete 'HKLM\Software\Wine\Drives' /v e: /f >/dev/null 2>&1 || true
  restart_wine
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

[ -d "$work" ] && chmod -R u+w "$work"
rm -rf "$work"
mkdir -p "$work/disc"
cp -r "$build/disc/launcher.exe" "$build/disc/GAME" "$build/disc/system" "$work/disc/"
"$WINELOADER" "$build/demo/mkdisc.exe" "Z:${work//\//\\}\\disc" >/dev/null

export CORVANE_BUILD_DIR=$build CORVANE_WINEPREFIX=$WINEPREFIX

# A disc that will not work gets no image.
cp -r "$work/disc" "$work/broken"
rm "$work/broken/title.bmp"
if "$top/scripts/make-iso" "$work/broken" "$work/broken.iso" >"$work/broken.log" 2>&1; then
  fail "make-iso wrote an image of a disc without its picture"
fi
grep -q "FAIL picture: title.bmp is not in the disc folder" "$work/broken.log" ||
  fail "no picture finding in: $(cat "$work/broken.log")"
[ ! -e "$work/broken.iso" ] || fail "an image of the broken disc exists"

# A prefix folder that the scripts did not make is never deleted: make-iso refuses it.
mkdir -p "$work/own-prefix" && echo keep >"$work/own-prefix/keep"
if CORVANE_WINEPREFIX=$work/own-prefix "$top/scripts/make-iso" "$work/disc" "$work/own.iso" \
  >"$work/own-prefix.log" 2>&1; then
  fail "make-iso used a folder it did not make as its prefix"
fi
[ -f "$work/own-prefix/keep" ] || fail "make-iso deleted a folder it did not make"

"$top/scripts/make-iso" "$work/disc" "$work/demo.iso" CORVANE_TEST >"$work/make-iso.log"

# A disc author's disc from preset win32's files: the shipped 32-bit launcher, the 32-bit demo
# game and the stand-in wing32.dll, with mkdisc's autorun.inf and title.bmp. make-iso with no
# variable of its own picks the Windows build that runs natively here; the checker judges the
# games by the disc's launcher, not by its own build.
win32=$top/build/win32
mkdir -p "$work/author/GAME" "$work/author/system/win95"
cp "$win32/launcher.exe" "$work/disc/autorun.inf" "$work/disc/title.bmp" "$work/author/" &&
  cp "$win32/disc/GAME/START.EXE" "$work/author/GAME/" &&
  cp "$win32/disc/system/win95/wing32.dll" "$work/author/system/win95/" ||
  fail "preset win32 is not built in $win32 (scripts/test builds it)"
env -u CORVANE_BUILD_DIR -u CORVANE_WINEPREFIX -u CORVANE_WINDOWS_PRESET -u WINEPREFIX \
  -u WINEARCH -u WINELOADER -u WINEDEBUG -u WINEDLLOVERRIDES \
  "$top/scripts/make-iso" "$work/author" "$work/author.iso" MYGAME >"$work/author.log" 2>&1 ||
  fail "no image of the win32 disc: $(cat "$work/author.log")"
grep -qx "OK   launcher: launcher.exe is a 32-bit x86 Windows GUI program" "$work/author.log" &&
  grep -qx "RESULT: the disc will work" "$work/author.log" && [ -s "$work/author.iso" ] ||
  fail "the win32 disc was not judged as a working 32-bit disc: $(cat "$work/author.log")"

# What Windows reads: the Joliet names, with their case.
listing=$(xorriso -indev "$work/demo.iso" -read_fs norock -find / -type f 2>/dev/null | sort)
expected=$(printf "%s\n" "'/GAME/START.EXE'" "'/autorun.inf'" "'/launcher.exe'" \
  "'/system/win95/wing32.dll'" "'/title.bmp'" | sort)
[ "$listing" = "$expected" ] || fail "image lists:
$listing"
xorriso -indev "$work/demo.iso" -pvd_info 2>/dev/null | grep -q "^Volume Id *: CORVANE_TEST$" ||
  fail "volume name is not CORVANE_TEST"

xorriso -osirrox on -indev "$work/demo.iso" -extract / "$work/cd" >/dev/null 2>&1
cmp "$work/disc/title.bmp" "$work/cd/title.bmp" || fail "title.bmp differs in the image"
cmp "$work/disc/GAME/START.EXE" "$work/cd/GAME/START.EXE" || fail "START.EXE differs"

# The extracted tree as a CD-ROM drive; the end-to-end driver plays from it.
ln -sfn "$work/cd" "$drive"
"$WINELOADER" reg add 'HKLM\Software\Wine\Drives' /v e: /d cdrom /f >/dev/null 2>&1
restart_wine
CORVANE_CD_DRIVE=E: "$WINELOADER" "$build/tests/e2e_tests.exe" --gtest_filter='CdImage.*' 2>&1 | tee "$work/play.log"
grep -q "^\[  PASSED  \] 1 test\." "$work/play.log" || fail "the launcher did not play from E:"
