#!/usr/bin/env bash
# gridloom.exe under Wine on a virtual X screen, as a user meets it, in a Wine prefix of its
# own whose settings start empty:
#   1. started in a folder holding the sample Countries.dat (Skylune not registered): Enter
#      makes a read-only 7920 x 3960 Overlay.bmp there, byte for byte the Linux
#      gridloom-make's with the window's first-start settings; "Show scale annotation" is
#      ticked and the gridline width stepped from the keyboard, the display zoomed and
#      scrolled, Esc closes, and the registry holds every setting;
#   2. with Skylune's program registered under App Paths in another folder: Enter makes the
#      overlay in that folder, drawn with the settings the first start stored;
#   3. "About" opens the About box, with its title, and Esc closes it.
# With GRIDLOOM_SCREENSHOTS set, screenshots of the window (fitted and zoomed) go to docs/.
#
# Usage: window-wine.sh <64-bit build folder> <Linux build folder>
# With WINEPREFIX and WINE64 exported (scripts/test-windows.sh does), the prefix is copied
# from WINEPREFIX; otherwise scripts/wine-env.sh makes the shared one first.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(realpath "$1")
linux=$(realpath "$2")

# On a virtual screen of our own, unless one was given.
if [ -z "${GRIDLOOM_WINDOW_WINE_SCREEN:-}" ]; then
    command -v xvfb-run >/dev/null || { echo "no xvfb-run: skipped"; exit 0; }
    export GRIDLOOM_WINDOW_WINE_SCREEN=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 0; }

started=$SECONDS
if [ -z "${WINE64:-}" ] || [ -z "${WINEPREFIX:-}" ]; then
    . "$root/scripts/wine-env.sh"
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exe="$build/app/windows/gridloom.exe"
linux_make="$linux/tools/gridloom-make"
sample="$root/sample/Countries.dat"
caption="Gridloom - Make an overlay master image for Skylune"
shots="$root/docs"
[ -f "$exe" ] || { echo "no $exe"; exit 1; }
[ -x "$linux_make" ] || { echo "no $linux_make"; exit 1; }

work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

# A fresh prefix: a copy of the shared one, without any setting of ours.
wineserver -w 2>/dev/null || true
cp -a "$WINEPREFIX" "$work/prefix"
export WINEPREFIX="$work/prefix"
"$WINE64" reg delete 'HKCU\Software\Tarnwick' /f >/dev/null 2>&1 || true

# The Windows name of a Linux path.
winpath() { echo "Z:$1" | tr / '\\'; }

# Starts gridloom.exe in folder $1 and waits (up to 60 s) for its window.
window=""
start() {
    (cd "$1" && exec "$WINE64" "$exe") >"$work/log" 2>&1 &
    pid=$!
    window=""
    for _ in $(seq 600); do
        window=$(xdotool search --onlyvisible --name "^$caption\$" 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        kill -0 "$pid" 2>/dev/null || fail "gridloom.exe exited before showing its window: $(cat "$work/log")"
        sleep 0.1
    done
    [ -n "$window" ] || fail "no window appeared"
    # Without a window manager nobody hands the new window the keyboard: do it as one would.
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    sleep 1
}

# Waits (up to 30 s) for the program to end after Esc.
finish() {
    for _ in $(seq 300); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "Esc did not close the window"
    wait "$pid" || fail "gridloom.exe exited with status $?"
    pid=""
    wineserver -w
}

key() {
    xdotool key --clearmodifiers "$@"
    sleep 0.3
}

# Waits (up to 60 s) for a read-only Overlay.bmp in folder $1 (Wine shows the read-only
# attribute as a file without write bits).
wait_overlay() {
    local f="$1/Overlay.bmp"
    for _ in $(seq 600); do
        [ -f "$f" ] && [ $((0$(stat -c %a "$f") & 0222)) -eq 0 ] && break
        sleep 0.1
    done
    [ -f "$f" ] || fail "no Overlay.bmp in $1 after Enter"
    local size
    size=$(od -An -t d4 -j 18 -N 8 "$f" | xargs)
    [ "$size" = "7920 3960" ] || fail "Overlay.bmp is $size, not 7920 3960"
    local attributes
    attributes=$(cd "$1" && "$WINE64" cmd /c attrib Overlay.bmp | tr -d '\r')
    case "$attributes" in
    *R*Overlay.bmp) ;;
    *) fail "Overlay.bmp is not read-only: $attributes" ;;
    esac
}

# The window's area of the screen, cropped from a screenshot into $1.
shoot() {
    command -v import >/dev/null || return 0
    local geometry x y w h
    geometry=$(xdotool getwindowgeometry --shell "$2")
    eval "$geometry"
    x=$X y=$Y w=$WIDTH h=$HEIGHT
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$1"
}

# The registry value $2 of key $1, as reg query prints it ("REG_DWORD 0x1").
value() {
    { "$WINE64" reg query "$1" /v "$2" 2>/dev/null || true; } | tr -d '\r' |
        awk -v n="$2" '$1 == n { $1 = ""; print substr($0, 2) }'
}

mkdir -p "$work/one" "$work/skylune" "$work/elsewhere"
cp "$sample" "$work/one/Countries.dat"
cp "$sample" "$work/skylune/Countries.dat"

echo "== 0: --version, without a window"
version=$("$WINE64" "$exe" --version | tr -d '\r')
[ -x "$linux/app/gridloom" ] && [ "$version" != "$("$linux/app/gridloom" --version)" ] &&
    fail "--version says '$version', the Linux gridloom '$("$linux/app/gridloom" --version)'"
case "$version" in
"gridloom "[0-9]*) echo "--version: $version" ;;
*) fail "--version says '$version'" ;;
esac

echo "== 1: first start in a folder holding Countries.dat"
start "$work/one"
title=$(xdotool getwindowname "$window")
[ "$title" = "$caption" ] || fail "the window's title reads '$title'"
key Return
wait_overlay "$work/one"
(cd "$work" && "$linux_make" --quiet --data "$sample" --out linux-defaults.bmp)
cmp -s "$work/one/Overlay.bmp" "$work/linux-defaults.bmp" ||
    fail "Overlay.bmp differs from gridloom-make's with the same settings"
echo "Overlay.bmp: 7920 x 3960, read-only, identical to gridloom-make's"
sleep 1
# The keyboard is on the chosen grid interval; the next stop is "Show scale annotation".
key Tab
key space
sleep 1
shoot "$work/fitted.png" "$window"
# On to the gridline width (past Grid overlays countries and Font); the up arrow steps its
# up-down to 2, which is stored at once.
key Tab Tab Tab
key Up
# On to "Zoom in": the boundary width, Show boundaries, Make image.
key Tab Tab Tab Tab
key space
sleep 1
# Drag the view along both scroll bars (it follows the thumbs) to Europe.
eval "$(xdotool getwindowgeometry --shell "$window")"
frame=$(((WIDTH - 760) / 2))
client_x=$((X + frame))
client_y=$((Y + HEIGHT - 588 - frame))
box_left=$((client_x + 12 + 2)) box_top=$((client_y + 10 + 2))
box_right=$((client_x + 12 + 732 - 2)) box_bottom=$((client_y + 10 + 375 - 2))
xdotool mousemove $((box_left + 22)) $((box_bottom - 8)) mousedown 1 mousemove $((box_left + 200)) $((box_bottom - 8)) \
    mousemove $((box_left + 340)) $((box_bottom - 8)) mouseup 1
sleep 0.5
xdotool mousemove $((box_right - 8)) $((box_top + 22)) mousedown 1 mousemove $((box_right - 8)) $((box_top + 60)) \
    mousemove $((box_right - 8)) $((box_top + 90)) mouseup 1
sleep 1
shoot "$work/zoomed.png" "$window"
key Escape
finish

key_path='HKCU\Software\Tarnwick\gridloom'
for expected in "Annotation=REG_DWORD 0x1" "GridSpacing=REG_DWORD 0x3" "GridOnTop=REG_DWORD 0x0" \
    "GridlineWidth=REG_DWORD 0x2" "BoundaryWidth=REG_DWORD 0x1" "ShowBoundaries=REG_DWORD 0x1" \
    "FontName=REG_SZ Arial" "FontSize=REG_DWORD 0xb" "FontStyle=REG_DWORD 0x1"; do
    name=${expected%%=*}
    got=$(value "$key_path" "$name" | xargs)
    [ "$got" = "${expected#*=}" ] || fail "$name is '$got', not '${expected#*=}'"
done
echo "the registry holds every setting, the annotation ticked and the gridline width stepped to 2"

echo "== 2: Skylune registered under App Paths in another folder"
"$WINE64" reg add 'HKCU\Software\Tarnwick\App Paths' /v Skylune /t REG_SZ \
    /d "$(winpath "$work/skylune/Skylune.exe")" /f >/dev/null
start "$work/elsewhere"
key Return
wait_overlay "$work/skylune"
[ ! -e "$work/elsewhere/Overlay.bmp" ] || fail "Overlay.bmp was written where the program started"
(cd "$work" && "$linux_make" --quiet --data "$sample" --out linux-stored.bmp --labels --gridline-width 2)
cmp -s "$work/skylune/Overlay.bmp" "$work/linux-stored.bmp" ||
    fail "the second start did not draw with the annotation and the width the first one stored"
echo "Overlay.bmp made in Skylune's folder, with the stored annotation and gridline width"
sleep 1
key Escape
finish

echo "== 3: the About box"
product=$(sed -n 's/.*ProductName = "\(.*\)";/\1/p' "$build/generated/GridloomIdentity.h")
start "$work/elsewhere"
# On to "About": Show scale annotation, Grid overlays countries, Font, the two widths, Show
# boundaries, Make image (Zoom is disabled until a run has ended).
key Tab Tab Tab Tab Tab Tab Tab Tab
key space
about=""
for _ in $(seq 200); do
    about=$(xdotool search --onlyvisible --name "^About " 2>/dev/null | head -n 1 || true)
    [ -n "$about" ] && break
    sleep 0.1
done
[ -n "$about" ] || fail "no About box appeared"
about_title=$(xdotool getwindowname "$about")
case "$about_title" in
"About "*"'s $product") echo "About box: '$about_title'" ;;
*) fail "the About box's title reads '$about_title'" ;;
esac
sleep 1
key Escape
for _ in $(seq 100); do
    xdotool search --onlyvisible --name "^About " >/dev/null 2>&1 || break
    sleep 0.1
done
xdotool search --onlyvisible --name "^About " >/dev/null 2>&1 && fail "Esc did not close the About box"
xdotool windowfocus --sync "$window" 2>/dev/null || true
key Escape
finish

if [ -n "${GRIDLOOM_SCREENSHOTS:-}" ]; then
    mkdir -p "$shots"
    cp "$work/fitted.png" "$shots/windows-window.png"
    cp "$work/zoomed.png" "$shots/windows-window-zoomed.png"
    echo "screenshots written to $shots"
fi
echo "window under Wine: passed in $((SECONDS - started)) s"
