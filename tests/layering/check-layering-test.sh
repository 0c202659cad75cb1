#!/usr/bin/env bash
# The layering check on a copy of src/: the copy as it is passes, and each kind of wrong include planted
# in it makes the check fail, naming the file and line of the include.
#   check-layering-test.sh <project folder>
set -euo pipefail

project="$1"
check="$project/scripts/check-layering"
copy="$(mktemp -d)"
trap 'rm -rf "$copy"' EXIT

failed=0
fresh() {
  rm -rf "$copy/src"
  cp -r "$project/src" "$copy/src"
}

fresh
if ! output="$("$check" "$copy/src" 2>&1)"; then
  echo "FAIL: the unchanged sources are refused:"
  echo "$output"
  failed=1
fi

# plant <file under src> <include line> <words the refusal names>
plant() {
  local file="$1" line="$2" reason="$3"
  fresh
  mkdir -p "$(dirname "$copy/src/$file")"
  [ -f "$copy/src/$file" ] || echo '#pragma once' > "$copy/src/$file"
  echo "$line" >> "$copy/src/$file"
  local number
  number="$(wc -l < "$copy/src/$file")"
  if output="$("$check" "$copy/src" 2>&1)"; then
    echo "FAIL: $file with '$line' passes the check"
    failed=1
  elif ! grep -F -e "src/$file:$number: " <<<"$output" | grep -F -q -e "$reason"; then
    echo "FAIL: $file with '$line': the refusal does not name src/$file:$number ($reason):"
    echo "$output"
    failed=1
  fi
}

plant memory/ReleaseEngine.cpp '#include <QString>' "Qt header"
plant ui/win32/MainWindow.cpp '#include <QWidget>' "Qt header"
plant settings/Settings.cpp '#include <unistd.h>' "system header"
plant core/base/Text.cpp '#include <sys/stat.h>' "system header"
plant ui/qt/MainWindow.cpp '#include <windows.h>' "system header"
plant platform/linux/SmallFile.cpp '#include "memory/AmountLists.h"' "platform/ includes a subsystem"
plant platform/common/IniText.cpp '#include "ui/qt/Theme.h"' "platform/ includes ui/"
plant online/UpdateServer.cpp '#include "platform/linux/SmallFile.h"' "a subsystem includes platform/"
plant tray/SysTray.cpp '#include "ui/win32/Container.h"' "a subsystem includes ui/"
plant app/MainForm.cpp '#include "program/linux/SelfUpdate.h"' "a subsystem includes program/"
plant core/controls/ListModel.cpp '#include "settings/Settings.h"' "core includes a floor above it"
plant ui/qt/Theme.cpp '#include "platform/linux/SmallFile.h"' "a view includes platform/"
plant ui/qt/Theme.cpp '#include "program/linux/SelfUpdate.h"' "a view includes program/"
plant program/windows/main.cpp '#include "platform/linux/SmallFile.h"' "another system's platform"

# A circle between two subsystems: each arrow is allowed, the circle is not.
fresh
echo '#include "launcher/Launcher.h"' >> "$copy/src/tray/SysTray.h"
echo '#include "tray/SysTray.h"' >> "$copy/src/launcher/ProgramEntry.h"
if output="$("$check" "$copy/src" 2>&1)"; then
  echo "FAIL: a circle between launcher and tray passes the check"
  failed=1
elif ! grep -q "circle between launcher, tray: launcher -> tray at src/launcher/ProgramEntry.h:" <<<"$output"; then
  echo "FAIL: the circle between launcher and tray is not named with its include:"
  echo "$output"
  failed=1
fi

[ "$failed" -eq 0 ] && echo "the check refuses every planted include and passes the sources"
exit "$failed"
