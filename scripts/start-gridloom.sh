#!/usr/bin/env bash
# Installs what is missing, builds, and starts the Gridloom window on the bundled sample
# boundary data: the window works in build/demo/, which holds a copy of the sample
# Countries.dat, so "Make image" writes build/demo/Overlay.bmp at once. (With Skylune not
# registered, Gridloom reads and writes its two files in the folder it is started in.)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" "$top/build"
demo="$top/build/demo"
mkdir -p "$demo"
cp -f "$top/sample/Countries.dat" "$demo/Countries.dat"
cd "$demo"
exec "$top/build/app/gridloom"
