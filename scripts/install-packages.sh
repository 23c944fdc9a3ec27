#!/usr/bin/env bash
# Installs the Debian packages of the given lists that are missing (default: packages.txt,
# what Gridloom needs to build, run and test), as root or with sudo.
# Usage: scripts/install-packages.sh [list...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ $# -gt 0 ] || set -- "$here/packages.txt"

mapfile -t wanted < <(cat "$@" | grep -v -E '^\s*(#|$)')
missing=()
for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
