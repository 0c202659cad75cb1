#!/usr/bin/env bash
# The Debian package as a user gets it: unpacked with dpkg-deb -x, its files
# checked, its version the project's, its dependencies computed, and the
# packaged program started once on a virtual X display.
#   check-package.sh <package.deb> <source folder>
set -euo pipefail

deb="$1"
source="$2"
here="$(dirname "$0")"
dest="$(mktemp -d)"
trap 'rm -rf "$dest"' EXIT
chmod 755 "$dest"
dpkg-deb -x "$deb" "$dest"
failed=0
"$here/check-tree.sh" "$dest" || failed=1

version="$(dpkg-deb -f "$deb" Version)"
release="$(grep -o '<release version="[^"]*"' "$source/desktop/io.github.nimbrel.Nimbrel.metainfo.xml" | head -1 | cut -d'"' -f2)"
if [ "$version" != "$release" ]; then
  echo "FAIL: the package is version $version, the AppStream file's newest release $release"
  failed=1
fi
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libqt6widgets6 libqt6network6 libsodium; do
  case "$depends" in
    *"$library"*) ;;
    *) echo "FAIL: the package does not depend on $library: $depends"; failed=1 ;;
  esac
done

# Nothing runs as root when the package comes or goes: its module is private (no ldconfig), and each user's
# files (settings, program list, autostart entry) stay theirs, as Debian's policy asks. The autostart entry
# names the program in TryExec, so once the program is removed the desktop passes it by.
scripts="$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -E '^(pre|post)(inst|rm)$' || true)"
if [ -n "$scripts" ]; then
  echo "FAIL: the package carries maintainer scripts: $(echo $scripts)"
  failed=1
fi

if command -v lintian >/dev/null; then
  # Warnings are shown; an error fails the check.
  if ! report="$(lintian --fail-on error --tag-display-limit 0 "$deb" 2>&1)"; then
    echo "FAIL: lintian reports errors"
    failed=1
  fi
  grep -v 'root privileges' <<<"$report" || true
  if grep -q 'maintscript-calls-ldconfig' <<<"$report"; then
    echo "FAIL: lintian finds ldconfig called for a private library"
    failed=1
  fi
else
  echo "SKIP: lintian is not installed; the package is not linted"
fi

if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null; then
  echo "SKIP: xvfb-run or xdotool is not installed; the packaged program is not started"
  exit "$failed"
fi
# Started as a user who cannot write its folder, as an installed program is; root may write
# anywhere, so root starts it as nobody.
home="$dest/home"
mkdir -p "$home/run"
chmod 700 "$home/run"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody: "$home"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
export HOME="$home" XDG_RUNTIME_DIR="$home/run" XDG_CONFIG_HOME= XDG_DATA_HOME= QT_QPA_PLATFORM=xcb
export NIMBREL_SERVER=http://127.0.0.1:9 NIMBREL_PROBE_URL=http://127.0.0.1:9/
# The display takes any local client (-ac): the user cannot read the caller's cookie.
started="$(xvfb-run -a -s "-ac -screen 0 1024x768x24" sh -c '
  cd "$HOME" && "$@" &
  program=$!
  for _ in $(seq 1 150); do
    if xdotool search --onlyvisible --name "^Nimbrel" >/dev/null 2>&1; then echo shown; break; fi
    sleep 0.2
  done
  kill "$program" 2>/dev/null; wait "$program" 2>/dev/null
  true' sh "${as_user[@]}" "$dest/usr/bin/Nimbrel" 2>/dev/null)"
if [ "$started" != "shown" ]; then
  echo "FAIL: the packaged program showed no window"
  failed=1
elif [ ! -f "$home/.config/nimbrel/settings.ini" ]; then
  echo "FAIL: the packaged program kept no settings in the user's config home"
  failed=1
fi
exit "$failed"
