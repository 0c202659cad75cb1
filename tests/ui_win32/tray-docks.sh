#!/usr/bin/env bash
# Nimbrel.exe under Wine puts its icon in the desktop's tray: Wine's tray is XEmbed, so on a display of its own
# with trayer as the tray, the icon's window (Wine's explorer.exe holds it) must end up inside trayer's panel.
# Usage: tray-docks.sh WINE WINEPREFIX NIMBREL.EXE. Exits 77, which ctest counts as skipped, where a tool is missing.
set -u
wineserver=$(command -v /usr/lib/wine/wineserver wineserver | head -n1)
wine=$1 prefix=$2 program=$3

for tool in Xvfb trayer xwininfo; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool is not installed: the tray docking test is skipped"
    exit 77
  fi
done
work=$(mktemp -d)
cleanup() {
  [ -n "${nimbrel:-}" ] && kill "$nimbrel" 2>/dev/null && wait "$nimbrel" 2>/dev/null
  WINEPREFIX="$prefix" WINEDEBUG=-all "$wine" reg delete \
    'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Nimbrel /f >/dev/null 2>&1
  # Wine's desktop process belongs to this display: it is to be gone before the display goes.
  WINEPREFIX="$prefix" "$wineserver" -w 2>/dev/null
  [ -n "${tray:-}" ] && kill "$tray" 2>/dev/null
  [ -n "${server:-}" ] && kill "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" 2>/dev/null &
server=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start: the tray docking test is skipped"; exit 77; }
export DISPLAY=":$(head -n1 "$work/display")"
# The same for a desktop process of this prefix that runs on another display: it ends first.
WINEPREFIX="$prefix" "$wineserver" -w 2>/dev/null

trayer --edge bottom --align right --widthtype pixel --width 200 --height 24 >/dev/null 2>&1 &
tray=$!
mkdir "$work/app"
cp "$program" "$work/app/Nimbrel.exe"
# Error reports and the connectivity probe go nowhere: a closed port on this machine.
WINEPREFIX="$prefix" WINEDEBUG=-all NIMBREL_SERVER=http://127.0.0.1:9 NIMBREL_PROBE_URL=http://127.0.0.1:9/ \
  "$wine" "$work/app/Nimbrel.exe" >/dev/null 2>&1 &
nimbrel=$!

for _ in $(seq 120); do
  panel=$(xwininfo -root -tree 2>/dev/null | awk '/\("panel" "trayer"\)/ {print $1; exit}')
  if [ -n "$panel" ] && xwininfo -tree -id "$panel" 2>/dev/null | grep -q '"explorer.exe"'; then
    echo "the icon is docked in trayer's panel $panel"
    exit 0
  fi
  sleep 0.5
done
echo "no icon of Nimbrel docked in trayer within a minute"
xwininfo -root -tree
exit 1
