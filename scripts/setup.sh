#!/usr/bin/env bash
# Installs the Debian packages Gridloom needs (only those missing) and builds it.
# Usage: scripts/setup.sh [build-dir] [extra cmake arguments...]
# Extra arguments configure a new build folder, or change an existing one.
# GRIDLOOM_TARGET="name..." builds those targets alone.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
build=${1:-"$top/build"}
shift || true

"$here/install-packages.sh" "$here/packages.txt"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
elif [ $# -gt 0 ]; then
    cmake -S "$top" -B "$build" "$@"
fi
read -r -a targets <<<"${GRIDLOOM_TARGET:-}"
cmake --build "$build" --parallel "$(nproc)" ${targets[@]+--target "${targets[@]}"}
