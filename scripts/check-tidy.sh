#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over the programs' and libraries' sources, and
# over the project headers they include, from a build folder's compile commands. Fails on any
# finding. The tests and benchmarks are left out: they add most of the time and little risk.
# Usage: scripts/check-tidy.sh [build-dir]   (default: build; it must have been built, so that
# the generated headers the sources include exist)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-"$top/build"}" && pwd)
if [ ! -f "$build/compile_commands.json" ]; then
    echo "$build/compile_commands.json is missing: configure and build there first"
    exit 1
fi

# The folders whose code goes into the libraries and programs: every top folder with a
# CMakeLists.txt but the tests', the benchmarks' and the packaging's.
folders=()
for f in "$top"/*/CMakeLists.txt; do
    f=${f%/CMakeLists.txt}
    f=${f##*/}
    case $f in tests | bench | packaging) ;; *) folders+=("$f") ;; esac
done
quote() { printf '%s' "$1" | sed 's/[][\.*^$+?(){}|]/\\&/g'; }
within="^$(quote "$top")/($(IFS='|' && echo "${folders[*]}"))/"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! run-clang-tidy -quiet -p "$build" -j "$(nproc)" -header-filter="$within" "$within" >"$log" 2>&1; then
    # Only the findings: drop the command lines and the counts of suppressed warnings.
    grep -v -E '^(clang-tidy|Running clang-tidy|[0-9]+ warnings? (and [0-9]+ errors? )?generated|Suppressed [0-9]+ warnings|Use -header-filter|Enabled checks:|$)' "$log" |
        sed 's/\x1b\[[0-9;]*m//g' || true
    echo "clang-tidy found the above (checks: .clang-tidy)"
    exit 1
fi
echo "clang-tidy found nothing"
