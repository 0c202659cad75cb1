#!/usr/bin/env bash
# The files of an install under a root folder (a DESTDIR, an unpacked package):
# exactly those listed below, each icon at its size, and a desktop entry and an
# AppStream file that their validators accept.
#   check-tree.sh <root folder>
set -euo pipefail

dest="$1"

sizes=(16 22 24 32 48 64 128 256)
expected=(
  usr/bin/Nimbrel
  usr/share/applications/nimbrel.desktop
  usr/share/metainfo/io.github.nimbrel.Nimbrel.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/nimbrel.svg
  usr/share/doc/nimbrel/copyright
  usr/share/doc/nimbrel/changelog.gz
  usr/share/man/man1/Nimbrel.1.gz
)
for s in "${sizes[@]}"; do expected+=("usr/share/icons/hicolor/${s}x${s}/apps/nimbrel.png"); done
# The network client, loaded at the first request, lives in the library folder, multiarch or not.
module="$(cd "$dest" && ls usr/lib/nimbrel/libnimbrel_network.so usr/lib/*/nimbrel/libnimbrel_network.so 2>/dev/null | head -n 1 || true)"
expected+=("${module:-usr/lib/nimbrel/libnimbrel_network.so}")

failed=0
installed="$(cd "$dest" && find . -type f | sed 's|^\./||' | sort)"

# A shipped program looks for code and files only where it was installed: neither the program nor its module,
# stripped as the package ships them, names the folder the project was built from (or anything under it).
project="$(cd "$(dirname "$0")/../.." && pwd)"
for binary in usr/bin/Nimbrel "$module"; do
  [ -f "$dest/$binary" ] || continue
  shipped="$(mktemp)"
  strip -o "$shipped" "$dest/$binary"
  if strings -a "$shipped" | grep -F -e "$project" >/dev/null; then
    echo "FAIL: $binary names the build's folders: $(strings -a "$shipped" | grep -F -e "$project" | head -n 3 | tr '\n' ' ')"
    failed=1
  fi
  rm -f "$shipped"
done
wanted="$(printf '%s\n' "${expected[@]}" | sort)"
if [ "$installed" != "$wanted" ]; then
  echo "FAIL: the install holds other files than expected:"
  diff <(echo "$wanted") <(echo "$installed") || true
  failed=1
fi

# A PNG's width and height are the big-endian words at bytes 16 and 20.
for s in "${sizes[@]}"; do
  png="$dest/usr/share/icons/hicolor/${s}x${s}/apps/nimbrel.png"
  [ -f "$png" ] || continue
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4, $7*256+$8}')
  if [ "$w" != "$s" ] || [ "$h" != "$s" ]; then
    echo "FAIL: the ${s}x${s} icon is ${w}x${h}"
    failed=1
  fi
done

if [ -x "$dest/usr/bin/Nimbrel" ]; then :; else echo "FAIL: the program is not executable"; failed=1; fi

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$dest/usr/share/applications/nimbrel.desktop" || failed=1
else
  echo "SKIP: desktop-file-validate is not installed (Debian package desktop-file-utils); the entry is not validated"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$dest/usr/share/metainfo/io.github.nimbrel.Nimbrel.metainfo.xml" || failed=1
else
  echo "SKIP: appstreamcli is not installed (Debian package appstream); the AppStream file is not validated"
fi

exit "$failed"
