#!/usr/bin/env bash
# Builds a finer boundary file than the sample, for the drawing benchmarks only: the same
# sources as tools/build-sample.sh, with land and country borders at 1:10m (about 400,000 points
# once rounded to whole minutes). The result is never committed; point bench_render at it with
#   GRIDLOOM_BENCH_DATA_10M=/tmp/Countries-10m.dat build/bench/bench_render
# Usage: tools/build-bench-data.sh [output] [build-dir] [work-dir]
#   output:    the file to write (default: /tmp/Countries-10m.dat)
#   build-dir, work-dir: as for tools/build-sample.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
GRIDLOOM_SCALE=10m GRIDLOOM_OUTPUT="${1:-/tmp/Countries-10m.dat}" "$here/build-sample.sh" "${@:2}"
