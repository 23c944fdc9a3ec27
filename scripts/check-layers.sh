#!/usr/bin/env bash
# Checks that every #include keeps to the layers: a folder may include from the folders below
# it, never from one above, and only the window's folders see Qt.
#
#   data/, platform/   the bottom: each other and themselves only
#   render/            pixels: data/, platform/
#   settings/          stored settings: data/, platform/
#   run/               the generation run: render/, settings/, data/, platform/
#   tools/             the command-line programs build without Qt: not app/ or about/
#   about/             not app/ or tools/
#
# Qt headers (<QWidget>, <QtCore/...>) belong to app/, about/, settings/moxCheckBox.* and the
# tests and benchmarks of those; GoogleTest and Google Benchmark to tests/ and bench/.
# A lower folder names the folders it may use, so a folder added later is above it by default.
#
# Usage: scripts/check-layers.sh [source folder]   check the tree (default: this checkout)
#        scripts/check-layers.sh --self-test       plant bad includes in a scratch tree and
#                                                  check that each one is caught
set -euo pipefail

# The project folders an include may name: the known layers, whether or not they exist yet,
# and every top folder with its own CMakeLists.txt.
project_folders() {
    local root=$1 d
    printf '%s\n' data platform render run settings about app tools tests bench
    for d in "$root"/*/CMakeLists.txt; do
        [ -e "$d" ] || continue
        d=${d%/CMakeLists.txt}
        echo "${d##*/}"
    done
}

# Prints "file:line: include: reason" for each include that breaks the layers.
check_tree() {
    local root=$1 d folders line file lineno text kind path target top dir allowed
    local -a present=()
    folders=" "
    while read -r d; do
        [[ $folders == *" $d "* ]] && continue
        folders+="$d "
        [ -d "$root/$d" ] && present+=("$d")
    done < <(project_folders "$root")
    local failed=0
    local include_re='^[[:space:]]*#[[:space:]]*include[[:space:]]*([<"])([^>"]+)[>"]'
    while IFS= read -r line; do
        file=${line%%:*}
        line=${line#*:}
        lineno=${line%%:*}
        text=${line#*:}
        [[ $text =~ $include_re ]] || continue
        kind=${BASH_REMATCH[1]}
        path=${BASH_REMATCH[2]}
        top=${file%%/*}
        dir=${file%/*}

        # Which project folder the include reaches: a quoted name is looked up beside the
        # including file first, as the compiler does.
        target=""
        if [ "$kind" = '"' ] && { [ -e "$root/$dir/$path" ] || [[ $path == ../* || $path == ./* ]]; }; then
            target=$(realpath -m --relative-to="$root" "$root/$dir/$path")
            target=${target%%/*}
        elif [[ $path == */* ]]; then
            target=${path%%/*}
        fi
        [[ -n $target && $folders == *" $target "* ]] || target=""

        local reason=""
        if [[ $path =~ ^Q[A-Za-z0-9]*(/|$) ]]; then
            case $file in
            app/* | about/* | settings/moxCheckBox.* | tests/* | bench/*) ;;
            *) reason="Qt outside the window's folders" ;;
            esac
        elif [[ $path =~ ^(gtest|gmock|benchmark)/ ]]; then
            case $top in
            tests | bench) ;;
            *) reason="test framework outside tests/ and bench/" ;;
            esac
        fi
        if [ -z "$reason" ] && [ -n "$target" ] && [ "$target" != "$top" ]; then
            case $top in
            data | platform) allowed="data platform" ;;
            render) allowed="data platform" ;;
            settings) allowed="data platform" ;;
            run) allowed="render settings data platform" ;;
            tools) allowed="tools run render settings data platform" ;;
            about) allowed="about run render settings data platform" ;;
            *) allowed="$target" ;;
            esac
            [[ " $allowed " == *" $target "* ]] || reason="$top/ may not include from $target/"
        fi
        if [ -n "$reason" ]; then
            echo "$file:$lineno: $path: $reason"
            failed=1
        fi
    done < <(cd "$root" && grep -rnE --include='*.h' --include='*.hpp' --include='*.cpp' --include='*.cc' \
        --include='*.c' --include='*.inl' '^[[:space:]]*#[[:space:]]*include' \
        "${present[@]}" || true)
    return $failed
}

# Builds a small tree that keeps the layers, checks it passes, then plants one bad include
# at a time and checks that each is reported.
self_test() {
    local result=0
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    local d
    for d in data platform render run settings about app tools tests bench; do
        mkdir -p "$scratch/$d"
        : >"$scratch/$d/CMakeLists.txt"
    done
    printf '#include <sys/stat.h>\n#include "platform/Memory.h"\n' >"$scratch/data/Cartography.cpp"
    printf '#include "data/Cartography.h"\n#include "Local.h"\n' >"$scratch/render/Grid.cpp"
    : >"$scratch/render/Local.h"
    printf '#include "render/Grid.h"\n#include "settings/RegistryFont.h"\n' >"$scratch/run/Run.cpp"
    printf '#include <QCheckBox>\n' >"$scratch/settings/moxCheckBox.h"
    printf '#include <QWidget>\n#include "run/Run.h"\n#include "about/About.h"\n' >"$scratch/app/Form.cpp"
    printf '#include <gtest/gtest.h>\n#include <QApplication>\n#include "app/Form.h"\n' >"$scratch/tests/AppTest.cpp"
    printf '#include <benchmark/benchmark.h>\n' >"$scratch/bench/b.cpp"
    if ! check_tree "$scratch" >/dev/null; then
        echo "self-test: a tree that keeps the layers was refused:"
        check_tree "$scratch" || true
        return 1
    fi

    local planted=(
        'data/Bad.h|#include "render/Bitmap.h"'
        'platform/Bad.cpp|#include "settings/AppPath.h"'
        'platform/Bad.cpp|  #  include <app/GridloomForm.h>'
        'render/Bad.cpp|#include "run/GenerationRun.h"'
        'render/Bad.cpp|#include "app/AreaScaler.h"'
        'render/Bad.cpp|#include "../settings/AppPath.h"'
        'render/Bad.cpp|#include "tools/make/MakeOptions.h"'
        'run/Bad.cpp|#include "app/GridloomForm.h"'
        'run/Bad.cpp|#include "about/About.h"'
        'tools/Bad.cpp|#include "app/GridloomForm.h"'
        'render/Bad.cpp|#include <QImage>'
        'data/Bad.cpp|#include <QtCore/QString>'
        'settings/RegistryFont.cpp|#include <QFont>'
        'run/Bad.cpp|#include <gtest/gtest.h>'
        'platform/Bad.cpp|#include <gmock/gmock.h>'
    )
    local entry file text
    for entry in "${planted[@]}"; do
        file=${entry%%|*}
        text=${entry#*|}
        printf '%s\n' "$text" >"$scratch/$file"
        if check_tree "$scratch" >/dev/null; then
            echo "self-test: not caught: $file: $text"
            result=1
        fi
        rm "$scratch/$file"
    done
    return $result
}

if [ "${1:-}" = "--self-test" ]; then
    self_test && echo "layer check self-test passed"
    exit
fi
root=${1:-"$(cd "$(dirname "$0")/.." && pwd)"}
if ! check_tree "$root"; then
    echo "includes break the layers (see scripts/check-layers.sh)"
    exit 1
fi
echo "layers hold"
