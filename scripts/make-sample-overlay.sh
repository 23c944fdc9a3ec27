#!/usr/bin/env bash
# Installs what is missing, builds, and makes Overlay.bmp (with degree labels) from the
# bundled sample boundary data. The image is left read-only, as the program always leaves it;
# running this again replaces it (the "Yes" to the overwrite question).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" "$top/build"
"$top/build/tools/gridloom-make" --data "$top/sample/Countries.dat" --out "${1:-$top/Overlay.bmp}" --labels --overwrite-readonly
