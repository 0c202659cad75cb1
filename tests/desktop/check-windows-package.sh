#!/usr/bin/env bash
# The Windows packages as a user gets them, under Wine in a prefix of this check's own, owned by an ordinary
# user ("nobody"): the installer runs silently (/S); the program is where it belongs, with its Start-menu
# shortcut and its entry among the installed programs; started from a folder its user cannot write (as
# under Program Files on Windows), it keeps its settings in %APPDATA%\Nimbrel. Nimbrel starts at logon and
# stays in the tray, so the installer and uninstaller meet it running: an upgrade ends it, replaces it and
# starts the new one; an uninstall ends it and removes it with its "Start with Windows" value, and leaves
# the settings; a copy that will not end, or a program file that cannot be written, makes either fail and
# change nothing; a copy that hangs is not ended later, once they gave up. The portable zip holds the same
# program in a folder of its own, which neither ends.
#   check-windows-package.sh <installer.exe> <portable.zip>
# The upgrade is a second installer made here with makensis from desktop/windows/Nimbrel.nsi, holding the
# zip's program with bytes added at its end, so that its file differs.
set -euo pipefail

installer="$(realpath "$1")"
zip="$(realpath "$2")"
script="$(realpath "$(dirname "$0")/../../desktop/windows/Nimbrel.nsi")"
icon="$(realpath "$(dirname "$0")/../../src/ui/win32/Nimbrel.ico")"
# The shipped program looks for code and files only where it was installed: it names none of the folders the
# project was built from, in 8-bit or in UTF-16 text.
project="$(cd "$(dirname "$0")/../.." && pwd)"
unpacked="$(mktemp -d)"
(cd "$unpacked" && cmake -E tar xf "$zip")
if { strings -a "$unpacked/Nimbrel/Nimbrel.exe"; strings -a -el "$unpacked/Nimbrel/Nimbrel.exe"; } |
   grep -F -e "$project" >/dev/null; then
  echo "FAIL: the shipped Nimbrel.exe names the build's folders"
  rm -rf "$unpacked"
  exit 1
fi
rm -rf "$unpacked"
# Debian's wine64 keeps its programs out of PATH.
wine="$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)"
wineserver="$(command -v wineserver || echo /usr/lib/wine/wineserver)"
if [ ! -x "$wine" ] || [ ! -x "$wineserver" ]; then
  echo "SKIP: Wine is not installed; the Windows packages are not checked"
  exit 0
fi
if ! command -v Xvfb >/dev/null; then echo "SKIP: Xvfb is not installed; the Windows program cannot show"; exit 0; fi
if ! command -v makensis >/dev/null; then echo "SKIP: makensis is not installed; no upgrade to check"; exit 0; fi
if ! command -v xdotool >/dev/null; then echo "SKIP: xdotool is not installed; the program's window cannot be seen"; exit 0; fi
if [ "$(id -u)" -ne 0 ]; then echo "SKIP: the check runs Wine as another user, which needs root"; exit 0; fi

home="$(mktemp -d)"
chmod 755 "$home"
chown nobody "$home"
display_file="$(mktemp)"
xvfb=""
# Wine as the ordinary user, in the check's prefix.
as_user() {
  setpriv --reuid=nobody --regid=nogroup --clear-groups --reset-env \
    env HOME="$home" WINEPREFIX="$home/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    DISPLAY="$display" "$@"
}
cleanup() {
  [ -d "$home/prefix" ] && as_user "$wineserver" -k 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$home" "$display_file"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
display=":$(cat "$display_file")"

as_user "$wine" wineboot --init >/dev/null 2>&1 || { echo "SKIP: Wine cannot make a prefix here"; exit 0; }
as_user "$wineserver" -w

drive="$home/prefix/drive_c"
folder="$drive/Program Files/Nimbrel"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Nimbrel.lnk"
settings="$drive/users/nobody/AppData/Roaming/Nimbrel/settings.ini"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Nimbrel'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
# The exit code of an installer or uninstaller that stopped before changing anything.
stopped=2
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# What the registry holds now, as reg.exe shows it: the value's data, or nothing.
registry_value() {
  as_user "$wine" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2  *REG_[A-Z_]*  *//p" || true
}
# The Nimbrel processes of this check's prefix, one id a line.
running_programs() {
  local id
  for id in $(pgrep -f 'Nimbrel\\Nimbrel\.exe' || true); do
    tr '\0' '\n' <"/proc/$id/environ" 2>/dev/null | grep -xF "WINEPREFIX=$home/prefix" >/dev/null && echo "$id"
  done
  return 0
}
program_digest() { [ ! -f "$folder/Nimbrel.exe" ] || sha256sum <"$folder/Nimbrel.exe"; }
# Runs a Windows program as the user and prints its exit code; what the program starts keeps no pipe open.
exit_code() {
  local status=0
  as_user "$wine" "$@" >/dev/null 2>&1 </dev/null || status=$?
  echo "$status"
}
start_program() { as_user "$wine" "C:\\Program Files\\Nimbrel\\Nimbrel.exe" >/dev/null 2>&1 </dev/null & }
# Waits until a Nimbrel other than the one given runs and has made its windows, so that it can be asked to end.
wait_for_program() {
  local copy
  for _ in $(seq 200); do
    copy="$(running_programs)"
    if [ -n "$copy" ] && [ "$copy" != "${1:-}" ] && DISPLAY="$display" xdotool search --name '^Nimbrel' >/dev/null; then
      echo "$copy"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

cp "$installer" "$home/setup.exe"
chmod 644 "$home/setup.exe"
status="$(exit_code "$home/setup.exe" /S)"
[ "$status" -eq 0 ] || fail "the installer exited with $status"
[ -f "$folder/Nimbrel.exe" ] || fail "no Nimbrel.exe in Program Files"
[ -f "$folder/Uninstall.exe" ] || fail "no uninstaller beside the program"
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
version="$(registry_value "$uninstall_key" DisplayVersion)"
[ -n "$version" ] || fail "not listed among the installed programs"
[ "$(registry_value "$uninstall_key" InstallLocation)" = 'C:\Program Files\Nimbrel' ] ||
  fail "the installed programs' entry does not name the program's folder"
[ "$(registry_value "$uninstall_key" Publisher)" = "Nimbrel developers" ] || fail "the entry names no publisher"
folder_kib=$(($(du -cb "$folder"/* | tail -n 1 | cut -f 1) / 1024))
listed_kib=$(($(registry_value "$uninstall_key" EstimatedSize)))
[ $((listed_kib - folder_kib)) -ge -1 ] && [ $((listed_kib - folder_kib)) -le 1 ] ||
  fail "the entry gives a size of $listed_kib KiB for $folder_kib KiB of files"
installed_program="$(program_digest)"
# Its version resource, as the file's properties show it.
strings -el -n 3 "$installer" >"$home/installer-strings"
resource_value() { sed -n "/^$1\$/{n;p;q}" "$home/installer-strings"; }
[ "$(resource_value ProductName)" = Nimbrel ] && [ "$(resource_value CompanyName)" = "Nimbrel developers" ] &&
  [ "$(resource_value ProductVersion)" = "$version" ] ||
  fail "the installer's version resource does not name Nimbrel $version by Nimbrel developers"
# Nimbrel's icon for both, as Explorer shows them: the first picture of the icon file is among their resources.
# (No grep -q after a pipe here: one that stops reading early fails the pipe's writer.)
hex() { od -An -tx1 -v "$@" | tr -d ' \n'; }
icon_picture="$(hex -j "$(od -An -tu4 -j18 -N4 "$icon")" -N "$(od -An -tu4 -j14 -N4 "$icon")" "$icon")"
hex "$installer" | grep -F "$icon_picture" >/dev/null || fail "the installer does not show Nimbrel's icon"
hex "$folder/Uninstall.exe" | grep -F "$icon_picture" >/dev/null || fail "the uninstaller does not show Nimbrel's icon"
if command -v x86_64-w64-mingw32-objdump >/dev/null; then
  x86_64-w64-mingw32-objdump -h "$folder/Nimbrel.exe" | grep ' \.debug_' >/dev/null &&
    fail "the installed program carries debug sections"
fi

# The upgrade: the same program with bytes added, so that its file is another, as a newer version's would be.
mkdir "$home/upgrade"
(cd "$home/upgrade" && cmake -E tar xf "$zip")
new_program="$home/upgrade/Nimbrel/Nimbrel.exe"
printf 'a newer Nimbrel\n' >>"$new_program"
new_version="$version.1"
makensis -V1 -DVERSION="$new_version" -DPROGRAM="$new_program" -DOUTFILE="$home/upgrade.exe" "$script"
chmod 644 "$home/upgrade.exe"
new_installed="$(sha256sum <"$new_program")"

# The program folder as an ordinary user finds it on Windows: not theirs to write.
chown -R root:root "$folder"
chmod -R go-w "$folder"
start_program
for _ in $(seq 300); do [ -s "$settings" ] && break; sleep 0.1; done
if [ -s "$settings" ]; then
  echo "the installed program started and wrote its settings in %APPDATA%\\Nimbrel"
else
  fail "the installed program wrote no settings in %APPDATA%\\Nimbrel"
fi
[ -e "$folder/settings.ini" ] && fail "the installed program wrote its settings beside itself"
# A program file the installer cannot write is no success, the old program stays whole, and the copy the
# upgrade ended runs again.
ended_copy="$(wait_for_program)" || fail "the installed program made no window"
status="$(exit_code "$home/upgrade.exe" /S)"
[ "$status" -eq "$stopped" ] || fail "the upgrade in a folder it cannot write exited with $status"
[ "$(program_digest)" = "$installed_program" ] || fail "a failed upgrade changed the program"
[ "$(registry_value "$uninstall_key" DisplayVersion)" = "$version" ] || fail "a failed upgrade changed the entry"
wait_for_program "$ended_copy" >/dev/null || fail "the program a failed upgrade ended was not started again"
as_user "$wineserver" -k || true
as_user "$wineserver" -w
# Back in the hands of the user who installed it, as an administrator's would be.
chown -R nobody "$folder"

# A copy that will not end: it holds the program's mutex and has no window to ask. Both the upgrade and an
# uninstall (run in place with _?= so that its exit code is its own) wait for it, fail and change nothing.
cat >"$home/holder.nsi" <<'EOF'
Target amd64-unicode
OutFile "holder.exe"
SilentInstall silent
RequestExecutionLevel user
Section
  System::Call 'kernel32::CreateMutexW(p 0, i 0, w "Local\Nimbrel") p .r0'
  FileOpen $1 "$EXEDIR\held" w
  FileClose $1
  StrCpy $2 0
  loop:
    IfFileExists "$EXEDIR\holding" 0 done
    IntOp $2 $2 + 1
    IntCmp $2 600 done
    Sleep 100
    Goto loop
  done:
SectionEnd
EOF
(cd "$home" && makensis -V1 holder.nsi)
printf '@"C:\\Program Files\\Nimbrel\\Uninstall.exe" /S _?=C:\\Program Files\\Nimbrel\r\n@exit /b %%ERRORLEVEL%%\r\n' \
  >"$drive/uninstall-in-place.bat"
touch "$home/holding"
as_user "$wine" "$home/holder.exe" >/dev/null 2>&1 </dev/null &
holder=$!
for _ in $(seq 100); do [ -e "$home/held" ] && break; sleep 0.1; done
[ -e "$home/held" ] || fail "the copy that will not end did not start"
exit_code "$home/upgrade.exe" /S >"$home/upgrade-status" &
upgrade=$!
uninstall_status="$(exit_code cmd /c 'C:\uninstall-in-place.bat')"
wait "$upgrade"
status="$(cat "$home/upgrade-status")"
[ "$status" -eq "$stopped" ] || fail "the upgrade past a copy that will not end exited with $status"
[ "$uninstall_status" -eq "$stopped" ] || fail "the uninstall past a copy that will not end exited with $uninstall_status"
[ "$(program_digest)" = "$installed_program" ] && [ -f "$folder/Uninstall.exe" ] ||
  fail "a copy that will not end did not keep the program as it was"
[ "$(registry_value "$uninstall_key" DisplayVersion)" = "$version" ] ||
  fail "a copy that will not end did not keep the installed programs' entry"
rm -f "$home/holding"
wait "$holder" || true

# A copy that hangs while the upgrade waits: the upgrade gives up, changes nothing, and takes its request back,
# so that the copy, when it answers again, goes on running.
start_program
hung_copy="$(wait_for_program)" || fail "the installed program did not start again"
kill -STOP "$hung_copy"
status="$(exit_code "$home/upgrade.exe" /S)"
kill -CONT "$hung_copy"
[ "$status" -eq "$stopped" ] || fail "the upgrade past a copy that hangs exited with $status"
[ "$(program_digest)" = "$installed_program" ] || fail "the upgrade past a copy that hangs changed the program"
sleep 5
kill -0 "$hung_copy" 2>/dev/null || fail "the copy that hung ended when it answered again, after the upgrade gave up"
as_user "$wineserver" -k || true
as_user "$wineserver" -w

# The upgrade over a running copy, with "Start with Windows" on.
start_program
old_copy="$(wait_for_program)" || fail "the installed program did not start again"
as_user "$wine" reg add "$run_key" /v Nimbrel /d '"C:\Program Files\Nimbrel\Nimbrel.exe"' /f >/dev/null 2>&1
status="$(exit_code "$home/upgrade.exe" /S)"
[ "$status" -eq 0 ] || fail "the upgrade over the running program exited with $status"
[ "$(program_digest)" = "$new_installed" ] || fail "the upgrade over the running program did not replace it"
[ "$(registry_value "$uninstall_key" DisplayVersion)" = "$new_version" ] ||
  fail "the installed programs' entry does not give the new version"
if wait_for_program "$old_copy" >/dev/null && ! kill -0 "$old_copy" 2>/dev/null; then
  echo "the upgrade ended the running program and started the new one"
else
  fail "after the upgrade the running program is '$(running_programs)' (it was '$old_copy')"
fi

# The uninstall while the new program runs, as Apps & Features starts it.
status="$(exit_code "C:\\Program Files\\Nimbrel\\Uninstall.exe" /S)"
[ "$status" -eq 0 ] || fail "the uninstaller exited with $status"
for _ in $(seq 150); do [ -e "$folder" ] || break; sleep 0.1; done
[ -e "$folder" ] && fail "the program's folder is still there: $(ls -A "$folder" | tr '\n' ' ')"
[ -n "$(running_programs)" ] && fail "the program still runs after its uninstall"
[ -e "$shortcut" ] && fail "the Start-menu shortcut is still there"
[ -n "$(registry_value "$uninstall_key" DisplayName)" ] && fail "still listed among the installed programs"
[ -n "$(registry_value "$run_key" Nimbrel)" ] && fail "Windows would still start the removed program at logon"
[ -s "$settings" ] || fail "the uninstaller removed the user's settings"


# "Start with Windows" as older versions wrote it goes too; one that starts another copy stays.
for start in 'C:\Program Files\Nimbrel/Nimbrel' '"C:\Users\nobody\Nimbrel\Nimbrel.exe"'; do
  status="$(exit_code "$home/setup.exe" /S)"
  [ "$status" -eq 0 ] || fail "the installer exited with $status"
  as_user "$wine" reg add "$run_key" /v Nimbrel /d "$start" /f >/dev/null 2>&1
  exit_code "C:\\Program Files\\Nimbrel\\Uninstall.exe" /S >/dev/null
  for _ in $(seq 150); do [ -e "$folder" ] || break; sleep 0.1; done
  [ -e "$folder" ] && fail "the program's folder is still there: $(ls -A "$folder" | tr '\n' ' ')"
  case "$start" in
    *Users*) [ "$(registry_value "$run_key" Nimbrel)" = "$start" ] || fail "the uninstall removed $start from logon" ;;
    *) [ -n "$(registry_value "$run_key" Nimbrel)" ] && fail "the uninstall left $start to start at logon" ;;
  esac
done

# An upgrade goes where the user chose to install, not to the default folder.
status="$(exit_code "$home/setup.exe" /S '/D=C:\Apps\Nimbrel')"
[ "$status" -eq 0 ] || fail "the installer exited with $status"
status="$(exit_code "$home/upgrade.exe" /S)"
[ "$status" -eq 0 ] || fail "the upgrade exited with $status"
chosen="$drive/Apps/Nimbrel/Nimbrel.exe"
[ -f "$chosen" ] && [ "$(sha256sum <"$chosen")" = "$new_installed" ] && [ ! -e "$folder" ] ||
  fail "the upgrade did not replace the program in the folder the user chose"

unpacked="$home/portable"
mkdir "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$zip")
[ "$(cd "$unpacked" && find . -type f)" = "./Nimbrel/Nimbrel.exe" ] || fail "the zip holds more or less than Nimbrel\\Nimbrel.exe"
[ "$(sha256sum < "$unpacked/Nimbrel/Nimbrel.exe")" = "$installed_program" ] ||
  fail "the zip's program is not the one the installer installs"

# The portable copy running: Setup and the uninstaller of the installed copy leave it alone, and start nothing.
chown -R nobody "$unpacked"
as_user "$wine" "Z:$(tr / '\\' <<<"$unpacked")\\Nimbrel\\Nimbrel.exe" >/dev/null 2>&1 </dev/null &
portable_copy="$(wait_for_program)" || fail "the portable program made no window"
status="$(exit_code "$home/upgrade.exe" /S)"
[ "$status" -eq 0 ] || fail "the upgrade beside a running portable copy exited with $status"
sleep 3
[ "$(running_programs)" = "$portable_copy" ] ||
  fail "after the upgrade beside the portable copy '$portable_copy' the running programs are '$(running_programs)'"
status="$(exit_code 'C:\Apps\Nimbrel\Uninstall.exe' /S)"
[ "$status" -eq 0 ] || fail "the uninstaller beside a running portable copy exited with $status"
for _ in $(seq 150); do [ -e "$drive/Apps/Nimbrel" ] || break; sleep 0.1; done
[ -e "$drive/Apps/Nimbrel" ] && fail "the uninstall beside a running portable copy left the program's folder"
[ "$(running_programs)" = "$portable_copy" ] || fail "the uninstall ended the portable copy"

[ "$failed" -eq 0 ] && echo "PASS: the Windows installer and portable zip"
exit "$failed"
