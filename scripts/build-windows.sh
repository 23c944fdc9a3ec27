#!/usr/bin/env bash
# Cross-builds Gridloom's engine, command-line programs and tests for Windows with Debian's
# MinGW-w64 compilers: 64-bit into build-win64/, 32-bit into build-win32/, each with its
# setup program and zip (Gridloom-<version>-win64-setup.exe, Gridloom-<version>-win64.zip).
# Where 32-bit programs cannot run (no wine32, or a kernel without 32-bit support), the 32-bit
# build makes the programs and their setup only.
# Installs the missing packages of scripts/packages-windows.txt first (as root or with sudo).
# Usage: scripts/build-windows.sh [win64|win32]...   (default: both)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
"$here/install-packages.sh" "$here/packages-windows.txt"

[ $# -gt 0 ] || set -- win64 win32
# Whether 32-bit Windows programs can run here: wine32 installed and a kernel that starts it
# (GRIDLOOM_WIN32_TESTS=1 builds the 32-bit tests all the same).
runs_win32() {
    [ "${GRIDLOOM_WIN32_TESTS:-0}" = 1 ] || { [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; }
}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
for target in "$@"; do
    case "$target" in
    win64) toolchain=mingw-w64-x86_64 ;;
    win32) toolchain=mingw-w64-i686 ;;
    *) echo "unknown target $target (win64 or win32)" >&2; exit 2 ;;
    esac
    build="$root/build-$target"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" "${launcher[@]}"
    if [ "$target" = win32 ] && ! runs_win32; then
        # Only the programs and their setup: the 32-bit tests could not run here anyway.
        cmake --build "$build" --parallel "${GRIDLOOM_JOBS:-2}" --target installer
    else
        cmake --build "$build" --parallel "${GRIDLOOM_JOBS:-2}"
        cmake --build "$build" --target installer
    fi
done
