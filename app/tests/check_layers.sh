#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's layering, read from its sources. Fails when
#  1. a file in core/ includes a header of acquisition/, config/, display/,
#     generator/ or windows/;
#  2. a file outside windows/ and startup/ (tests aside) includes a window's
#     header;
#  3. a window's file includes another window's header (window_set.cpp aside);
#  4. code outside the window set (tests aside) calls a window accessor;
#  5. core/ reaches a Qt Widgets header, itself or through the headers it
#     includes: core shows nothing;
#  6. a file outside windows/, the start-up (startup/, main.cpp) and the tests
#     includes any header of windows/;
#  7. the configuration loader (config_file.cpp and everything it reaches
#     through its includes, each header with its source) reaches a file of
#     windows/ or a Qt Widgets header: loading a file needs no window;
#  8. a folder includes a folder at its own level or above it, in the order
#     common; widgets, core; config, generator, display; acquisition;
#     windows; startup.
# A window's header is a header in windows/ that declares a widget class.
# Usage: check_layers.sh APP_SOURCE_FOLDER [QT_WIDGETS_INCLUDE_FOLDER]
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
for f in $(sources . | grep -v -e '^\./windows/' -e '^\./startup/' -e '^\./tests/' -e '^\./bench/'); do
    for inc in $(includes "$f"); do
        for h in $window_headers; do
            [ "$inc" = "$h" ] && fail "${f#./}: outside windows/ and startup/, includes window header $inc"
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

# The Qt Widgets headers: those of the folder given or found, else the usual
# widget class names.
widgets_dir=${2:-}
if [ -z "$widgets_dir" ]; then
    for d in /usr/include/*/qt6/QtWidgets /usr/include/qt6/QtWidgets; do
        [ -d "$d" ] && widgets_dir=$d && break
    done
fi
declare -A widget_header=()
if [ -n "$widgets_dir" ] && [ -d "$widgets_dir" ]; then
    for h in "$widgets_dir"/Q*; do widget_header[$(basename "$h")]=1; done
fi
is_widgets_header() {
    case $1 in QtWidgets/* | QtWidgets) return 0 ;; esac
    if [ ${#widget_header[@]} -gt 0 ]; then
        [ -n "${widget_header[$1]:-}" ]
    else
        [[ $1 =~ ^Q(Widget|Dialog|MessageBox|Application|Label|PushButton|MainWindow|LineEdit|ComboBox|FileDialog)$ ]]
    fi
}
system_includes() { sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*<\([^>]*\)>.*/\1/p' "$1"; }

# Every file reached from the given ones through quoted includes of files of
# the program; with "sources", each header brings its source file too.
reach() {
    local mode=$1
    shift
    local -A seen=()
    local queue=("$@") f inc
    while [ ${#queue[@]} -gt 0 ]; do
        f=${queue[0]}
        queue=("${queue[@]:1}")
        [ -n "${seen[$f]:-}" ] && continue
        [ -f "$f" ] || continue
        seen[$f]=1
        for inc in $(includes "$f"); do
            [ -f "$inc" ] && queue+=("$inc")
        done
        if [ "$mode" = sources ] && [ "${f%.h}" != "$f" ] && [ -f "${f%.h}.cpp" ]; then
            queue+=("${f%.h}.cpp")
        fi
    done
    printf '%s\n' "${!seen[@]}" | sort
}

# 5
for f in $(reach headers $(sources core)); do
    for inc in $(system_includes "$f"); do
        is_widgets_header "$inc" && fail "$f: reached from core/, includes the Qt Widgets header <$inc>"
    done
done

# 6
for f in $(sources . | grep -v -e '^\./windows/' -e '^\./startup/' -e '^\./tests/' -e '^\./bench/' -e '^\./main\.cpp$'); do
    for inc in $(includes "$f"); do
        case $inc in windows/*) fail "${f#./}: outside windows/ and the start-up, includes $inc" ;; esac
    done
done

# 7
for f in $(reach sources config/config_file.cpp); do
    case $f in windows/*) fail "config/config_file.cpp reaches $f" ;; esac
    for inc in $(system_includes "$f"); do
        is_widgets_header "$inc" && fail "config/config_file.cpp reaches $f, which includes <$inc>"
    done
done

# 8
declare -A level=([common]=0 [widgets]=1 [core]=1 [config]=2 [generator]=2 [display]=2
    [acquisition]=3 [windows]=4 [startup]=5)
for folder in "${!level[@]}"; do
    for f in $(sources "$folder"); do
        for inc in $(includes "$f"); do
            to=${inc%%/*}
            [ "$to" = "$folder" ] || [ -z "${level[$to]:-}" ] && continue
            [ "${level[$to]}" -ge "${level[$folder]}" ] && fail "$f: includes $inc, a folder not below $folder/"
        done
    done
done

[ "$failed" -eq 0 ] && echo "layering holds"
exit "$failed"
