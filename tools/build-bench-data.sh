#!/usr/bin/env bash
# Builds a finer boundary file than the sample, for the drawing benchmarks only: the same
# sources as tools/build-sample.sh, with land and country borders at 1:10m (about 400,000 points
# once rounded to whole minutes). The result is never committed; point bench_render at it with
#   GRIDLOOM_BENCH_DATA_10M=/tmp/Countries-10m.dat build/bench/bench_render
# Usage: tools/build-bench-data.sh [output] [build-dir] [work-dir]
#   output:    the file to write (default: /tmp/Countries-10m.dat)
#   build-dir: a built Gridloom tree holding tools/gridloom-import (default: build)
#   work-dir:  where npm installs the data packages (default: a fresh temporary folder)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-/tmp/Countries-10m.dat}")
build=$(realpath -m "${2:-$top/build}")
work=$(realpath -m "${3:-$(mktemp -d /tmp/gridloom-bench-data.XXXXXX)}")
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
"$bin/topo2geo" land=land.json < node_modules/world-atlas/land-10m.json
node -e '
const topojson = require("topojson-client");
const fs = require("fs");
const mesh = (file, object) => {
    const topology = JSON.parse(fs.readFileSync(file, "utf8"));
    return topojson.mesh(topology, topology.objects[object], (a, b) => a !== b);
};
fs.writeFileSync("borders.json", JSON.stringify(mesh("node_modules/world-atlas/countries-10m.json", "countries")));
fs.writeFileSync("states.json", JSON.stringify(mesh("node_modules/us-atlas/states-10m.json", "states")));
'

"$import" -o "$out" --land land.json --border borders.json --state-border states.json
echo "$out built from $work"
