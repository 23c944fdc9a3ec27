#!/usr/bin/env bash
# Checks the Debian package as a user would meet it: lintian (pedantic) finds nothing to
# warn about, the desktop entry and the AppStream file agree and validate, it installs
# with apt-get, the installed gridloom-make makes the overlay from the sample, the
# installed gridloom opens its window on a virtual display, and it removes cleanly.
# Installs and removes a system package, so it runs as root (or through sudo).
# Usage: packaging/test-package.sh path/to/gridloom_<version>_<arch>.deb
set -euo pipefail
deb=$(realpath "$1")
top=$(cd "$(dirname "$0")/.." && pwd)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
work=$(mktemp -d)
installed=""
# A check that fails after the install still leaves the machine without the package.
cleanup() {
    [ -n "$installed" ] && DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq gridloom >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT

echo "-- lintian"
lintian --pedantic --fail-on error,warning,pedantic "$deb"

echo "-- install"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$deb"
installed=yes

echo "-- gridloom-make from /usr/bin"
/usr/bin/gridloom-make --version
/usr/bin/gridloom-make --quiet --data "$top/sample/Countries.dat" --out "$work/Overlay.bmp"
size=$(stat -c %s "$work/Overlay.bmp")
# 8-bit 7920 x 3960: the pixels alone are 31 363 200 bytes.
[ "$size" -gt 31363200 ] || { echo "the installed gridloom-make wrote $size bytes"; exit 1; }
[ -e /usr/share/man/man1/gridloom-make.1.gz ] || { echo "no man page for gridloom-make"; exit 1; }

echo "-- desktop entry and AppStream file"
# The desktop entry is named after the AppStream id, which names it as its launchable.
id=example.tarnwick.gridloom
desktop-file-validate "/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "/usr/share/metainfo/$id.metainfo.xml"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "/usr/share/metainfo/$id.metainfo.xml" ||
    { echo "the AppStream file does not launch $id.desktop"; exit 1; }

echo "-- gridloom from /usr/bin"
if [ -x /usr/bin/gridloom ]; then
    /usr/bin/gridloom --version
    /usr/bin/gridloom --help >/dev/null
    # The window is looked for by its title on the virtual display, for up to 20 seconds.
    HOME="$work" xvfb-run -a sh -c '
        /usr/bin/gridloom & pid=$!
        found=""
        for i in $(seq 1 100); do
            if xwininfo -root -tree | grep -q "Gridloom - Make an overlay master image for Skylune"; then
                found=yes; break
            fi
            kill -0 $pid 2>/dev/null || break
            sleep 0.2
        done
        kill $pid 2>/dev/null; wait $pid 2>/dev/null
        [ -n "$found" ] || { echo "the installed gridloom showed no window"; exit 1; }
        echo "window seen"'
else
    echo "gridloom is not in this package: window check skipped"
fi

echo "-- remove"
DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq gridloom
installed=""
[ ! -e /usr/bin/gridloom-make ] || { echo "gridloom-make is still installed"; exit 1; }
echo "package checked"
