#!/usr/bin/env bash
# Runs a command with an X display of its own: an Xvfb server started for it on a free display number and
# stopped after it. The command's "DISPLAY=" argument (the Wine emulator's, which keeps the other tests off any
# screen) is given this display. Exits 77, which ctest counts as skipped, where Xvfb cannot run; without Wine
# the test is not listed at all.
set -u
wineserver=$(command -v /usr/lib/wine/wineserver wineserver | head -n1)

if ! command -v Xvfb >/dev/null; then
  echo "Xvfb is not installed: the Win32 view's tests need a display and are skipped"
  exit 77
fi
work=$(mktemp -d)
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$work"' EXIT
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
server=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
if [ ! -s "$work/display" ]; then
  echo "Xvfb did not start: the Win32 view's tests are skipped"
  cat "$work/xvfb.log"
  exit 77
fi
display=":$(head -n1 "$work/display")"

command=()
prefix=
for argument in "$@"; do
  [ "$argument" = "DISPLAY=" ] && argument="DISPLAY=$display"
  case "$argument" in WINEPREFIX=*) prefix=${argument#WINEPREFIX=} ;; esac
  command+=("$argument")
done
# Wine's desktop process belongs to the display it started on: this prefix's Wine is to be idle before the tests
# start on this display, and again before the display goes.
settle() { [ -n "$prefix" ] && [ -n "$wineserver" ] && WINEPREFIX="$prefix" "$wineserver" -w 2>/dev/null; }
settle
DISPLAY="$display" "${command[@]}"
status=$?
settle
exit $status
