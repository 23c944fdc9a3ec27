#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
# Usage: scripts/test.sh [extra cmake arguments...]   (CI passes -DGRIDLOOM_WERROR=ON)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" "$top/build" "$@"
ctest --test-dir "$top/build" --output-on-failure --parallel "$(nproc)"
