#!/usr/bin/env bash
# The real program on a real X server, as a user meets it: start gridloom in a folder
# holding the sample data with no settings at all, press Enter (Make image), wait for the
# read-only 7920 x 3960 Overlay.bmp, tick "Show scale annotation" from the keyboard, press
# Esc, and check that the settings file holds what was chosen. Catches a missing platform
# plugin or library, a window that never appears, or a title with more than the caption.
#
# Usage: window-e2e.sh GRIDLOOM COUNTRIES_DAT [SCREENSHOT.png]
# Needs an X display (run it under xvfb-run), xdotool, and ImageMagick's import for the
# screenshot. Exits 77 (skipped) when there is no display or xdotool.
set -euo pipefail
program=$(realpath "$1")
data=$(realpath "$2")
shot=${3:+$(realpath -m "$3")}

if [ -z "${DISPLAY:-}" ] || ! command -v xdotool >/dev/null; then
    echo "no X display or no xdotool: skipped"
    exit 77
fi

work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    [ -f "$work/log" ] && sed 's/^/  gridloom: /' "$work/log"
    exit 1
}

export XDG_CONFIG_HOME="$work/config"
unset QT_QPA_PLATFORM
mkdir -p "$work/skylune"
cp "$data" "$work/skylune/Countries.dat"
cd "$work/skylune"
"$program" >"$work/log" 2>&1 &
pid=$!

# Wait up to 20 s for the window to appear.
window=""
for _ in $(seq 200); do
    window=$(xdotool search --name "^Gridloom - Make an overlay master image for Skylune" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || fail "gridloom exited before showing its window"
    sleep 0.1
done
[ -n "$window" ] || fail "no window appeared"
# The title the desktop shows is the caption alone, with nothing added by the toolkit.
title=$(xdotool getwindowname "$window")
[ "$title" = "Gridloom - Make an overlay master image for Skylune" ] || fail "the window's title reads '$title'"
# Without a window manager nobody hands the new window the keyboard: do it as one would.
xdotool windowfocus --sync "$window"
sleep 0.5

# Real key presses (XTEST), delivered to the focused window as a user's would be.
key() { xdotool key --clearmodifiers "$@"; sleep 0.2; }

# Enter presses "Make image" wherever the focus is, unless it is on another button.
key Return
# The image is written under another name and renamed, then made read-only (no write bit
# for anybody: root may write whatever the bits say, so they are read, not tried).
read_only() { [ -f "$1" ] && [ $((0$(stat -c %a "$1") & 0222)) -eq 0 ]; }
for _ in $(seq 300); do
    read_only Overlay.bmp && break
    sleep 0.1
done
[ -f Overlay.bmp ] || fail "no Overlay.bmp after Enter"
read_only Overlay.bmp || fail "Overlay.bmp is not read-only: mode $(stat -c %a Overlay.bmp)"
size=$(od -An -t d4 -j 18 -N 8 Overlay.bmp | xargs)
[ "$size" = "7920 3960" ] || fail "Overlay.bmp is $size, not 7920 3960"
sleep 0.5

# The window opens with the focus on the chosen grid interval; the next stop in the tab
# order is "Show scale annotation", which Space ticks.
key Tab
key space
if [ -n "$shot" ]; then
    command -v import >/dev/null || fail "no ImageMagick import for the screenshot"
    import -window root "$shot"
fi

key Escape
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "Esc did not close the window"
wait "$pid" || fail "gridloom exited with status $?"
pid=""

settings="$XDG_CONFIG_HOME/registry/HKEY_CURRENT_USER.reg"
[ -f "$settings" ] || fail "no settings file after closing"
grep -q '"Annotation"=dword:00000001' "$settings" || { cat "$settings"; fail "Annotation was not stored as ticked"; }
grep -q '"GridSpacing"=dword:00000003' "$settings" || { cat "$settings"; fail "GridSpacing not stored"; }
grep -q '"FontName"="Arial"' "$settings" || { cat "$settings"; fail "the font was not stored"; }
echo "window end to end: passed"
