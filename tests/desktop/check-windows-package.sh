#!/usr/bin/env bash
# The Windows packages as a user gets them, under Wine in a prefix of this check's own, owned by an ordinary
# user ("nobody"): the installer runs silently (/S); the program is where it belongs, with its Start-menu
# shortcut and its entry among the installed programs; started from a folder its user cannot write (as
# under Program Files on Windows), it keeps its settings in %APPDATA%\Nimbrel; the uninstaller removes what
# was installed and leaves those settings. The portable zip holds the same program in a folder of its own.
#   check-windows-package.sh <installer.exe> <portable.zip>
set -euo pipefail

installer="$(realpath "$1")"
zip="$(realpath "$2")"
# Debian's wine64 keeps its programs out of PATH.
wine="$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)"
wineserver="$(command -v wineserver || echo /usr/lib/wine/wineserver)"
if [ ! -x "$wine" ] || [ ! -x "$wineserver" ]; then
  echo "SKIP: Wine is not installed; the Windows packages are not checked"
  exit 0
fi
if ! command -v Xvfb >/dev/null; then echo "SKIP: Xvfb is not installed; the Windows program cannot show"; exit 0; fi
if [ "$(id -u)" -ne 0 ]; then echo "SKIP: the check runs Wine as another user, which needs root"; exit 0; fi

home="$(mktemp -d)"
chmod 755 "$home"
chown nobody "$home"
display_file="$(mktemp)"
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$home" "$display_file"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
display=":$(cat "$display_file")"

# Wine as the ordinary user, in the check's prefix.
as_user() {
  setpriv --reuid=nobody --regid=nogroup --clear-groups --reset-env \
    env HOME="$home" WINEPREFIX="$home/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    DISPLAY="$display" "$@"
}
as_user "$wine" wineboot --init >/dev/null 2>&1 || { echo "SKIP: Wine cannot make a prefix here"; exit 0; }
as_user "$wineserver" -w

drive="$home/prefix/drive_c"
folder="$drive/Program Files/Nimbrel"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Nimbrel.lnk"
settings="$drive/users/nobody/AppData/Roaming/Nimbrel/settings.ini"
failed=0
fail() { echo "FAIL: $*"; failed=1; }
uninstall_key='Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Nimbrel]'

cp "$installer" "$home/setup.exe"
chmod 644 "$home/setup.exe"
as_user "$wine" "$home/setup.exe" /S
as_user "$wineserver" -w
[ -f "$folder/Nimbrel.exe" ] || fail "no Nimbrel.exe in Program Files"
[ -f "$folder/Uninstall.exe" ] || fail "no uninstaller beside the program"
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
grep -q "$uninstall_key" "$home/prefix/system.reg" || fail "not listed among the installed programs"
installed_program="$(sha256sum < "$folder/Nimbrel.exe" 2>/dev/null || true)"

# The program folder as an ordinary user finds it on Windows: not theirs to write.
chown -R root:root "$folder"
chmod -R go-w "$folder"
as_user "$wine" "C:\\Program Files\\Nimbrel\\Nimbrel.exe" >/dev/null 2>&1 &
for _ in $(seq 300); do [ -s "$settings" ] && break; sleep 0.1; done
if [ -s "$settings" ]; then
  echo "the installed program started and wrote its settings in %APPDATA%\\Nimbrel"
else
  fail "the installed program wrote no settings in %APPDATA%\\Nimbrel"
fi
[ -e "$folder/settings.ini" ] && fail "the installed program wrote its settings beside itself"
as_user "$wineserver" -k || true
as_user "$wineserver" -w
# Back in the hands of the user who installed it, as an administrator's would be.
chown -R nobody "$folder"

as_user "$wine" "C:\\Program Files\\Nimbrel\\Uninstall.exe" /S
as_user "$wineserver" -w
for _ in $(seq 100); do [ -e "$folder" ] || break; sleep 0.1; done
[ -e "$folder" ] && fail "the program's folder is still there: $(ls -A "$folder" | tr '\n' ' ')"
[ -e "$shortcut" ] && fail "the Start-menu shortcut is still there"
grep -q "$uninstall_key" "$home/prefix/system.reg" && fail "still listed among the installed programs"
[ -s "$settings" ] || fail "the uninstaller removed the user's settings"

unpacked="$home/portable"
mkdir "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$zip")
[ "$(cd "$unpacked" && find . -type f)" = "./Nimbrel/Nimbrel.exe" ] || fail "the zip holds more or less than Nimbrel\\Nimbrel.exe"
[ "$(sha256sum < "$unpacked/Nimbrel/Nimbrel.exe")" = "$installed_program" ] ||
  fail "the zip's program is not the one the installer installs"

[ "$failed" -eq 0 ] && echo "PASS: the Windows installer and portable zip"
exit "$failed"
