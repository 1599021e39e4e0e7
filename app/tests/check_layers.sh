#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's layering, read from its sources. Fails when
#  1. a file in core/ includes a header of acquisition/, config/, display/,
#     generator/ or windows/;
#  2. a file outside windows/ (tests aside) includes a window's header;
#  3. a window's file includes another window's header (window_set.cpp aside);
#  4. code outside the window set (tests aside) calls a window accessor.
# A window's header is a header in windows/ that declares a widget class.
# Usage: check_layers.sh APP_SOURCE_FOLDER
set -uo pipefail
app=${1:?usage: check_layers.sh APP_SOURCE_FOLDER}
cd "$app" || exit 2
failed=0
fail() {
    echo "$1"
    failed=1
}

sources() { find "$@" -name '*.cpp' -o -name '*.h' 2>/dev/null | sort; }
includes() { sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$1"; }

# 1
for f in $(sources core); do
    for inc in $(includes "$f"); do
        case $inc in
            acquisition/* | config/* | display/* | generator/* | windows/*)
                fail "$f: core includes $inc" ;;
        esac
    done
done

window_headers=$(grep -lE 'class [A-Za-z_]+ *: *public *Q(Widget|MainWindow|Dialog)\b' windows/*.h 2>/dev/null)

# 2
for f in $(sources . | grep -v -e '^\./windows/' -e '^\./tests/'); do
    for inc in $(includes "$f"); do
        for h in $window_headers; do
            [ "$inc" = "$h" ] && fail "${f#./}: outside windows/, includes window header $inc"
        done
    done
done

# 3: a file may include the header of the window it belongs to, and no other.
for f in $(sources windows | grep -v -e '^windows/window_set\.'); do
    own=""
    for h in $window_headers; do
        [ "$f" = "$h" ] && own=$h
    done
    count=0
    for inc in $(includes "$f"); do
        for h in $window_headers; do
            if [ "$inc" = "$h" ] && [ "$inc" != "$own" ]; then
                count=$((count + 1))
                other=$inc
            fi
        done
    done
    if [ -n "$own" ] && [ "$count" -gt 0 ]; then
        fail "$f: a window's header includes another window's header $other"
    elif [ "$count" -gt 1 ]; then
        fail "$f: includes the headers of more than one window"
    fi
done

# 4
accessors='\b(frmControl|frmRegistro|frmConfiguracion|frmConfiguracionLoaded|mainWindow|layOutPlotWindow|helpWindow)[[:space:]]*\('
for f in $(sources . | grep -v -e '^\./windows/window_set\.' -e '^\./tests/'); do
    if grep -nE "$accessors" "$f" >/dev/null; then
        fail "${f#./}: calls a window accessor: $(grep -nE "$accessors" "$f" | head -1)"
    fi
done

[ "$failed" -eq 0 ] && echo "layering holds"
exit "$failed"
