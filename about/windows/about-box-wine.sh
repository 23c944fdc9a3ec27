#!/usr/bin/env bash
# The native About box under Wine on a virtual X display (Xvfb): its tests, which need a
# desktop to make windows on, then a picture of the box as gridloom.exe shows it, cropped to
# the box, into docs/about-box-windows.png.
#
# Usage: about/windows/about-box-wine.sh <64-bit build folder> [Linux build folder]
# scripts/test-windows.sh runs it with WINEPREFIX and WINE64 exported (scripts/wine-env.sh);
# run alone, it sources wine-env.sh itself. Exits 0 when the tests pass and the picture
# was taken.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:?usage: about-box-wine.sh <64-bit build folder> [Linux build folder]}" && pwd)
if [ -z "${WINE64:-}" ]; then
    . "$root/scripts/wine-env.sh"
fi
tests="$build/tests/about"
show="$tests/show/gridloom.exe"
for program in "$tests/gridloom_about_tests.exe" "$show"; do
    [ -f "$program" ] || { echo "no $program: build with scripts/build-windows.sh win64" >&2; exit 2; }
done
for tool in xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/packages-windows.txt, scripts/packages.txt)" >&2; exit 2; }
done

# Everything below runs on a display of its own.
if [ "${GRIDLOOM_ABOUT_DISPLAY:-}" != 1 ]; then
    exec env GRIDLOOM_ABOUT_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

failed=0
# A Wine server still running from programs started without a display keeps their desktop,
# on which no window can be made; the programs below start one of their own on this display.
timeout 60 wineserver -w || true
echo "-- the native box's tests"
(cd "$tests" && GRIDLOOM_REQUIRE_DESKTOP=1 "$WINE64" ./gridloom_about_tests.exe --gtest_filter='AboutBoxWindow*' \
    --gtest_brief=1) || failed=1

echo "-- a picture of the box"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
place="$work/place.txt"
# Wine's own desktop draws the box's frame and caption, which a bare X display would leave
# to a window manager there is none of.
(cd "$tests/show" && "$WINE64" explorer /desktop=about,640x480 gridloom.exe "Z:${place//\//\\}") &
shown=$!
for _ in $(seq 60); do
    [ -s "$place" ] && break
    sleep 0.5
done
taken=0
if [ -s "$place" ]; then
    read -r left top width height < <(tr -d '\r' <"$place")
    desktop=$(xdotool search --name 'about - Wine desktop' | head -1 || true)
    dx=0 dy=0
    if [ -n "$desktop" ]; then
        eval "$(xdotool getwindowgeometry --shell "$desktop" | grep -E '^(X|Y)=')"
        dx=$X dy=$Y
    fi
    sleep 0.5
    import -window root -crop "${width}x${height}+$((dx + left))+$((dy + top))" +repage \
        "$root/docs/about-box-windows.png"
    echo "picture: docs/about-box-windows.png (${width} x ${height})"
    taken=1
    # Esc, as a user would press it; then, should the box still be there, a click on OK,
    # which sits centred 28 pixels above the box's bottom edge.
    if [ -n "$desktop" ]; then
        xdotool windowfocus "$desktop" 2>/dev/null || true
        xdotool key Escape || true
        sleep 2
        if kill -0 "$shown" 2>/dev/null; then
            echo "Esc did not close the box; clicking OK"
            xdotool mousemove $((dx + left + width / 2)) $((dy + top + height - 28)) click 1 || true
        fi
    fi
else
    echo "the box did not show within 30 seconds"
fi
# Closed by Esc; a box that does not close is ended here.
for _ in $(seq 20); do
    kill -0 "$shown" 2>/dev/null || break
    sleep 0.5
done
if kill -0 "$shown" 2>/dev/null; then
    echo "the box did not close on Esc"
    kill "$shown" || true
    failed=1
fi
wait "$shown" 2>/dev/null || true
[ "$taken" = 1 ] || failed=1
exit $failed
