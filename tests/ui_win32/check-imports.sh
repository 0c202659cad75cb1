#!/usr/bin/env bash
# Nimbrel.exe loads on every Windows its manifest names, Windows 7 the oldest: each function it imports is one
# that Windows 7 has (the list beside this script, "dll function" a line), and its header asks for Windows 7
# (6.1) at least. A function of a later Windows is looked up at run time instead (src/ui/win32/DpiCalls.cpp).
#   check-imports.sh <objdump> <Nimbrel.exe> <list>
set -euo pipefail
objdump="$1"
program="$2"
list="$3"

header="$("$objdump" -p "$program")"
imports="$(awk '/DLL Name:/ { dll = tolower($3); next }
                dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll, $3 }' <<<"$header" | sort -u)"
if [ -z "$imports" ]; then
  echo "FAIL: no imports read from $program"
  exit 1
fi
failed=0
later="$(comm -23 <(echo "$imports") <(sort -u "$list"))"
if [ -n "$later" ]; then
  echo "FAIL: imported, but not among the functions Windows 7 has:"
  echo "$later"
  failed=1
fi
for field in Subsystem OSystem; do
  version="$(awk -v f="$field" '$1 == "Major" f "Version" { major = $2 } $1 == "Minor" f "Version" { minor = $2 }
                                END { print major "." minor }' <<<"$header")"
  if [ "$version" != "6.1" ]; then
    echo "FAIL: the header's $field version is $version, not 6.1 (Windows 7)"
    failed=1
  fi
done
[ "$failed" -eq 0 ] && echo "PASS: $(wc -l <<<"$imports") imports, each in Windows 7; the header asks for 6.1"
exit "$failed"
