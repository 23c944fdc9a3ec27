#!/usr/bin/env bash
# Label text through both backends: the table of labels (tools/labels) drawn by the Windows
# build's GDI text under Wine and by the Linux build's FreeType text, compared band by band.
# Prints the differing pixels of every band; fails when a band held exact differs.
# Usage: render/windows-text-wine.sh <64-bit build folder> <Linux build folder>
# (scripts/test-windows.sh runs it with its Wine environment; alone, that is made here.)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
win_build=$(cd "${1:-$root/build-win64}" && pwd)
linux_build=$(cd "${2:-$root/build}" && pwd)
if [ -z "${WINE64:-}" ]; then
    . "$root/scripts/wine-env.sh"
fi
for program in "$win_build/tools/gridloom-labels.exe" "$linux_build/tools/gridloom-labels"; do
    [ -x "$program" ] || [ -f "$program" ] || { echo "missing $program" >&2; exit 2; }
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$out" && "$WINE64" "$win_build/tools/gridloom-labels.exe" draw windows.bmp | tr -d '\r' >windows-bands.txt)
(cd "$out" && "$linux_build/tools/gridloom-labels" draw linux.bmp >linux-bands.txt)
# Where the measurements of a band held exact differ (cell ascent+descent, width of the
# flush-left text), as Windows, then Linux measures them.
paste "$out/windows-bands.txt" "$out/linux-bands.txt" |
    awk -F '\t' '$1 ~ /^ *[0-9]+ +[0-9]+ exact/ && substr($1, 1, 66) != substr($2, 1, 66) {
        if (!n++) print "measured differently (Windows, then Linux):"; print "  " $1; print "  " $2 }'
"$linux_build/tools/gridloom-labels" compare "$out/windows.bmp" "$out/linux.bmp"
