#!/usr/bin/env bash
# The Windows tests' palette test under an 8-bit (PseudoColor) Xvfb of its own. Wine's desktop
# keeps the display its wineserver first saw, so the run gets a wineserver of its own: a prefix
# beside the tests' prefix with a copy of its registry and its drive C:. The tests' wineserver
# and its 24-bit desktop are left alone.
# usage: palette_screen_test.sh WIN32_TESTS_EXE   (with the test prefix's Wine environment)
set -euo pipefail
shared=$WINEPREFIX
export WINEPREFIX=$shared-256
stop_wine() { wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; }
stop_wine # a server left by a killed run would still hold its gone display
trap stop_wine EXIT

rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX/dosdevices"
cp "$shared"/*.reg "$shared/.update-timestamp" "$WINEPREFIX/"
ln -s "$shared/drive_c" "$WINEPREFIX/dosdevices/c:"
ln -s / "$WINEPREFIX/dosdevices/z:"
# The server ends inside the Xvfb session, before its display goes.
xvfb-run -a -s "-screen 0 640x480x8" sh -c '"$@"; status=$?; wineserver -k; exit $status' run \
  "$WINELOADER" "$1" --gtest_filter=StartupWindow.PaletteMessagesOnA256ColourScreen
