#!/usr/bin/env bash
# The install as `cmake --install` makes it from a build folder, checked file by file.
#   check-install.sh <build folder>
set -euo pipefail

build="$1"
dest="$(mktemp -d)"
trap 'rm -rf "$dest"' EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
"$(dirname "$0")/check-tree.sh" "$dest"
