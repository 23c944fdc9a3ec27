#!/usr/bin/env bash
# Prints how long gridloom-make.exe takes under Wine on the sample data, whole process, beside
# the Linux gridloom-make and Wine's start-up alone (the same program asked for --version).
# Figures only, nothing is checked. Needs build/ and build-win64/ (and build-win32/ with
# wine32 for the 32-bit figures).
# Usage: scripts/windows-figures.sh [runs]   (default 3; the best run is shown)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
. "$here/wine-env.sh"
runs=${1:-3}
sample="$root/sample/Countries.dat"
windows_sample="Z:$(echo "$sample" | tr / '\\')"
out=$(mktemp -d)
trap 'chmod -R u+w "$out"; rm -rf "$out"' EXIT

# The best wall-clock time of the command over the runs, in milliseconds.
best_ms() {
    local best="" start end ms
    for _ in $(seq "$runs"); do
        rm -f "$out/Overlay.bmp"
        start=$(date +%s%N)
        (cd "$out" && "$@" >/dev/null 2>&1) || true
        end=$(date +%s%N)
        ms=$(((end - start) / 1000000))
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    echo "$best"
}

wineserver -p 2>/dev/null || true  # one wineserver for all runs, as a desktop session has
report() {
    local name=$1 wine=$2 exe=$3
    local startup plain labels
    startup=$(best_ms "$wine" "$exe" --version)
    plain=$(best_ms "$wine" "$exe" --quiet --data "$windows_sample" --out Overlay.bmp)
    labels=$(best_ms "$wine" "$exe" --quiet --labels --data "$windows_sample" --out Overlay.bmp)
    printf '%-32s %8s ms %8s ms %8s ms\n' "$name" "$startup" "$plain" "$labels"
}

echo "best of $runs runs, whole process"
printf '%-32s %11s %11s %11s\n' "" "start-up" "defaults" "labels"
linux="$root/build/tools/gridloom-make"
printf '%-32s %8s ms %8s ms %8s ms\n' "Linux gridloom-make" "$(best_ms "$linux" --version)" \
    "$(best_ms "$linux" --quiet --data "$sample" --out Overlay.bmp)" \
    "$(best_ms "$linux" --quiet --labels --data "$sample" --out Overlay.bmp)"
report "gridloom-make.exe, wine64" "$WINE64" "$root/build-win64/tools/gridloom-make.exe"
if [ -n "$WINE32" ] && [ -x "$root/build-win32/tools/gridloom-make.exe" ]; then
    report "gridloom-make.exe (32-bit), wine" "$WINE32" "$root/build-win32/tools/gridloom-make.exe"
fi
wineserver -k 2>/dev/null || true
