#!/usr/bin/env bash
# SPDX-License-Identifier: LGPL-2.1-or-later
# Reads a built TAVO_32.DLL without running it: check_dll_exports.sh OBJDUMP DLL.
# It must export exactly the 20 calls and the extensions of tavo32_ext.h
# under their plain names and import no compiler runtime DLL. In the 32-bit DLL each call must be stdcall: it pops
# its own arguments (ret $N, N = 4 x its argument count).
set -euo pipefail
objdump=$1
dll=$2

# name and argument count
calls="Autodeteccion_Dig32 2
Escribir_Dig32 3
Leer_Dig32 2
Autodeteccion_Ad8b32 2
Poner_Modo_Ad8b32 3
Leer_Ad8b32 6
Escribir_Ad8b32 3
Autodeteccion_Cont32 2
Escribir_Cuenta32 3
Parar_Contaje32 2
Activar_Contaje32 2
Parar_Alarma32 2
Activar_Alarma32 2
Escribir_Alarma32 3
Leer_Cuenta32 2
Leer_Alarma32 2
Leer_Registro32 3
Leer_Ad12r_Unico32 6
Escribir_Ad12r32 3
Leer_Ad12r32 8
tavo32_backend 2"

fail() {
    echo "$dll: $*" >&2
    exit 1
}

headers=$("$objdump" -p "$dll")

# The name pointer table lists one "[index] name" line per exported name.
exported=$(awk '/\[Ordinal\/Name Pointer\] Table/ {on = 1; next}
                on && /^[ \t]*\[ *[0-9]+\]/ {print $NF; next}
                on && NF == 0 {on = 0}' <<<"$headers" | sort)
expected=$(cut -d' ' -f1 <<<"$calls" | sort)
if [[ "$exported" != "$expected" ]]; then
    diff <(echo "$expected") <(echo "$exported") >&2 || true
    fail "exported names differ from the 20 calls and the extensions (< expected, > exported)"
fi
functions=$(awk '/Export Address Table --/ {on = 1; next}
                 on && /^[ \t]*\[ *[0-9]+\]/ {n++}
                 on && NF == 0 && n {on = 0}
                 END {print n + 0}' <<<"$headers")
count=$(wc -l <<<"$calls")
[[ "$functions" == "$count" ]] || fail "$functions entries in the export address table, not $count"

imports=$(awk '/DLL Name:/ {print $3}' <<<"$headers")
if grep -qiE '^lib(gcc|stdc\+\+|winpthread)' <<<"$imports"; then
    fail "imports a compiler runtime DLL: $(tr '\n' ' ' <<<"$imports")"
fi

if grep -q 'file format pei-i386' <<<"$headers"; then
    # "label ret-instruction" for every return of every stdcall function.
    rets=$("$objdump" -d "$dll" | awk '
        /^[0-9a-f]+ <.*>:$/ {label = ($2 ~ /^<_[A-Za-z0-9_]+@[0-9]+>:$/) ? $2 : ""; next}
        label != "" && /\tret/ {sub(/.*\tret[a-z]*/, "ret"); gsub(/ +/, " "); print label, $0}')
    while read -r name args; do
        pops=$((4 * args))
        label="<_${name}@${pops}>:"
        mine=$(awk -v l="$label" '$1 == l {$1 = ""; sub(/^ /, ""); print}' <<<"$rets")
        [[ -n "$mine" ]] || fail "no stdcall function _${name}@${pops}"
        want=$(printf 'ret $0x%x' "$pops")
        bad=$(grep -vxF "$want" <<<"$mine" || true)
        [[ -z "$bad" ]] || fail "$name returns with '$bad', not '$want'"
    done <<<"$calls"
fi
echo "$dll: the 20 calls and the extensions, no other exports, no compiler runtime DLL"
