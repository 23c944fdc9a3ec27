#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the Linux build's, then the Windows
# build's under Wine (set GRIDLOOM_LINUX_ONLY=1 to leave the Windows ones out).
# Usage: scripts/test.sh [extra cmake arguments for the Linux build...]
#        (CI passes -DGRIDLOOM_WERROR=ON)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" "$top/build" "$@"
ctest --test-dir "$top/build" --output-on-failure --parallel "$(nproc)"
if [ "${GRIDLOOM_LINUX_ONLY:-0}" != 1 ]; then
    # The engine and the command-line programs cross-built for Windows (64- and 32-bit), then
    # their tests and the sample overlay under Wine, compared with the Linux build's.
    "$top/scripts/build-windows.sh"
    "$top/scripts/test-windows.sh"
fi
