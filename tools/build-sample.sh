#!/usr/bin/env bash
# Rebuilds sample/Countries.dat from Natural Earth (world-atlas) and US Census (us-atlas)
# data fetched from the npm registry, byte for byte the committed file.
# Usage: tools/build-sample.sh [build-dir] [work-dir]
#   build-dir: a built Gridloom tree holding tools/gridloom-import (default: build)
#   work-dir:  where npm installs the data packages (default: a fresh temporary folder)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$top/build}")
work=$(realpath -m "${2:-$(mktemp -d /tmp/gridloom-sample.XXXXXX)}")
import="$build/tools/gridloom-import"
if [ ! -x "$import" ]; then
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$build" --target gridloom-import
fi

mkdir -p "$work"
cd "$work"
[ -f package.json ] || npm init -y >/dev/null
npm install --no-audit --no-fund --save-exact \
    world-atlas@2.0.2 us-atlas@3.0.1 topojson-client@3.1.0 >/dev/null

bin=node_modules/.bin
# Land areas at 1:50m, and country borders: only the boundaries between two countries,
# not the coastlines, which the land areas already outline.
"$bin/topo2geo" land=land.json < node_modules/world-atlas/land-50m.json
node -e '
const topojson = require("topojson-client");
const fs = require("fs");
const mesh = (file, object) => {
    const topology = JSON.parse(fs.readFileSync(file, "utf8"));
    return topojson.mesh(topology, topology.objects[object], (a, b) => a !== b);
};
fs.writeFileSync("borders.json", JSON.stringify(mesh("node_modules/world-atlas/countries-50m.json", "countries")));
fs.writeFileSync("states.json", JSON.stringify(mesh("node_modules/us-atlas/states-10m.json", "states")));
'

"$import" -o "$top/sample/Countries.dat" --land land.json --border borders.json --state-border states.json
echo "sample/Countries.dat rebuilt from $work"
