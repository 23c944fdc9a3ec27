#!/usr/bin/env bash
# Rebuilds sample/Countries.dat from Natural Earth (world-atlas) and US Census (us-atlas)
# data fetched from the npm registry, byte for byte the committed file.
# Usage: tools/build-sample.sh [build-dir] [work-dir]
#   build-dir: a built Gridloom tree holding tools/gridloom-import (default: build)
#   work-dir:  where npm installs the data packages (default: a fresh temporary folder)
# GRIDLOOM_SCALE=10m and GRIDLOOM_OUTPUT=FILE make a finer file elsewhere instead
# (tools/build-bench-data.sh); the committed sample is the default, 50m.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$top/build}")
work=$(realpath -m "${2:-$(mktemp -d /tmp/gridloom-sample.XXXXXX)}")
import="$build/tools/gridloom-import"
scale=${GRIDLOOM_SCALE:-50m}
out=$(realpath -m "${GRIDLOOM_OUTPUT:-$top/sample/Countries.dat}")
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
# Land areas at the chosen scale, and country borders: only the boundaries between two countries,
# not the coastlines, which the land areas already outline.
"$bin/topo2geo" land=land.json < "node_modules/world-atlas/land-$scale.json"
node -e '
const topojson = require("topojson-client");
const fs = require("fs");
const mesh = (file, object) => {
    const topology = JSON.parse(fs.readFileSync(file, "utf8"));
    return topojson.mesh(topology, topology.objects[object], (a, b) => a !== b);
};
fs.writeFileSync("borders.json", JSON.stringify(mesh("node_modules/world-atlas/countries-" + process.argv[1] + ".json", "countries")));
fs.writeFileSync("states.json", JSON.stringify(mesh("node_modules/us-atlas/states-10m.json", "states")));
' "$scale"

"$import" -o "$out" --land land.json --border borders.json --state-border states.json
echo "$out rebuilt from $work"
