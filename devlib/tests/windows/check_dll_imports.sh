#!/usr/bin/env bash
# SPDX-License-Identifier: LGPL-2.1-or-later
# Reads a built TAVO_32.DLL without running it:
#   check_dll_imports.sh OBJDUMP DLL ALLOW-LIST...
# Every function it imports from KERNEL32 must be one that Windows 95's
# KERNEL32 exports (the allow-lists, one name a line, # for comments; the
# 64-bit build adds the unwinding functions every 64-bit Windows has): a
# newer import stops the DLL from loading on the systems whose direct path
# it serves.
set -euo pipefail
objdump=$1
dll=$2
shift 2
allowed=$(cat "$@" | grep -v '^#' | sed '/^$/d' | sort -u)

# In each import table, after "DLL Name: X" and its column header, one line
# "vma  hint  name" per function, up to the blank line that ends the table.
imports=$("$objdump" -p "$dll" | awk '
    /DLL Name:/ {dll = toupper($3); next}
    dll != "" && /Hint\/Ord/ {on = 1; next}
    on && NF == 0 {on = 0; dll = ""; next}
    on && NF >= 3 {print dll, $3}')
kernel32=$(awk '$1 == "KERNEL32.DLL" {print $2}' <<<"$imports" | sort -u)
if [[ -z "$kernel32" ]]; then
    echo "$dll: no KERNEL32 imports found (objdump output not understood)" >&2
    exit 1
fi
extra=$(comm -23 <(echo "$kernel32") <(echo "$allowed"))
if [[ -n "$extra" ]]; then
    echo "$dll: imports KERNEL32 functions that Windows 95 lacks:" $extra >&2
    exit 1
fi
echo "$dll: $(wc -l <<<"$kernel32") KERNEL32 imports, all on the allow-lists"
