#!/usr/bin/env bash
# The 64-bit setup program as a Windows user meets it, under Wine on a virtual display:
# a silent install (/S), then what it left (the programs, the same as in the zip, the Start
# menu shortcut, the uninstall entry and nothing else), the installed gridloom-make.exe
# making the sample overlay, a silent uninstall as Windows would start it (the entry's
# QuietUninstallString), and then nothing left of any of it.
# It works in a copy of the Wine prefix, so that the shared one never sees the install.
# Usage: installer-wine.sh <64-bit build folder> [<Linux build folder>]
#   with WINEPREFIX and WINE64 exported (scripts/test-windows.sh does), or made here by
#   scripts/wine-env.sh. The build folder must hold the target installer's output.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:?usage: installer-wine.sh <64-bit build folder> [<Linux build folder>]}" && pwd)
linux=${2:+$(cd "$2" && pwd)}

fail() {
    echo "installer: $*" >&2
    exit 1
}

# NSIS opens no window with /S, but Wine's user32 still wants a display to start on.
if [ -z "${GRIDLOOM_INSTALLER_DISPLAY:-}" ]; then
    command -v xvfb-run >/dev/null || fail "xvfb-run is missing (Debian package xvfb)"
    export GRIDLOOM_INSTALLER_DISPLAY=1
    exec xvfb-run -a bash "$0" "$@"
fi

[ -n "${WINEPREFIX:-}" ] && [ -n "${WINE64:-}" ] || . "$root/scripts/wine-env.sh"
# As wine-env.sh has them, for a caller that exported only the two above.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no version in $build/CMakeCache.txt"
setup="$build/Gridloom-$version-win64-setup.exe"
zip="$build/Gridloom-$version-win64.zip"
[ -f "$setup" ] && [ -f "$zip" ] || fail "$setup or its zip is missing: build the target installer"

# The copy of the prefix, taken when its server has stopped and written the registry out.
work=$(mktemp -d "$build/installer-test.XXXXXX")
shared=$WINEPREFIX
cleanup() {
    WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
timeout 120 wineserver -w || fail "programs of $shared still running after 120 s"
cp -a "$shared" "$work/prefix"
export WINEPREFIX="$work/prefix"

# Every Wine program below is bounded in time: a setup that waits for an answer hangs.
wine_run() { timeout 120 "$WINE64" "$@"; }
# Waits until every program of the prefix has ended (the uninstaller runs on as a copy of
# itself in the temporary folder) and the registry is saved.
settle() { timeout 120 wineserver -w || fail "Wine programs still running after 120 s"; }

drive=$WINEPREFIX/drive_c
folder_windows='C:\Program Files\Tarnwick\Gridloom'
folder=$drive/'Program Files/Tarnwick/Gridloom'
shortcut=$drive/'ProgramData/Microsoft/Windows/Start Menu/Programs/Gridloom.lnk'
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Gridloom'

# What a setup may change, as text to compare: every file and folder of drive C: but the
# temporary folders and Wine's own Windows folder, the registry's key names, and every
# value under the developer's keys (where Skylune's App Paths is).
snapshot() {
    (cd "$drive" && find . \( -path ./windows -o -ipath './users/*/temp' -o -ipath './users/*/appdata/local/temp' \) \
        -prune -o -printf '%y %p\n' | LC_ALL=C sort)
    # A key the hive file leaves out (one with subkeys and no values) is named by its subkeys.
    # Wine remakes its network card keys at each start: they say nothing of the setup.
    for hive in system.reg user.reg; do
        awk -v hive="$hive" -F '\\\\\\\\' '/^\[/ {
                sub(/^\[/, ""); sub(/\].*/, ""); key = $1; print hive, key
                for (i = 2; i <= NF; i++) { key = key "\\\\" $i; print hive, key } }' "$WINEPREFIX/$hive" |
            grep -v 'CurrentVersion\\\\NetworkCards' | LC_ALL=C sort -u
    done
    for developer in 'HKLM\Software\Tarnwick' 'HKCU\Software\Tarnwick'; do
        wine_run reg query "$developer" /s 2>/dev/null | tr -d '\r' || true
    done
}
# The lines of snapshot $2 that $1 lacks ($3 '>'), or the other way round ($3 '<').
changes() { { diff "$1" "$2" || true; } | sed -n "s/^$3 //p"; }

settle
snapshot >"$work/before"

echo "installing $(basename "$setup") with /S"
wine_run "$setup" /S || fail "the setup exited with $?"
settle
snapshot >"$work/installed"

# The programs: the zip's, byte for byte, and the uninstaller.
mkdir "$work/zip"
(cd "$work/zip" && cmake -E tar xf "$zip")
mapfile -t programs < <(cd "$work/zip/Gridloom-$version-win64" && ls)
for required in gridloom-make.exe gridloom-import.exe; do
    [[ " ${programs[*]} " == *" $required "* ]] || fail "$required is missing from the zip"
done
for program in "${programs[@]}"; do
    cmp -s "$work/zip/Gridloom-$version-win64/$program" "$folder/$program" ||
        fail "$folder_windows\\$program is not the zip's $program"
done
[ -f "$folder/Uninstall.exe" ] || fail "no uninstaller in $folder_windows"
echo "installed: ${programs[*]} Uninstall.exe"

# The shortcut starts the window program; without one in the build there is none.
if [[ " ${programs[*]} " == *" gridloom.exe "* ]]; then
    [ -f "$shortcut" ] || fail "no Start menu shortcut $shortcut"
    LC_ALL=C grep -aqi 'Gridloom\\gridloom\.exe' "$shortcut" ||
        tr -d '\0' <"$shortcut" | LC_ALL=C grep -aqi 'Gridloom\\gridloom\.exe' ||
        fail "the Start menu shortcut does not start gridloom.exe"
    echo "Start menu shortcut: $(basename "$shortcut") -> gridloom.exe"
else
    [ ! -e "$shortcut" ] || fail "a Start menu shortcut, but no window program to start"
    echo "no window program in this build: no Start menu shortcut"
fi

# Exactly these things are new: no other file, no other key, no App Paths of Skylune.
expected_new=$( {
    echo "d ./Program Files/Tarnwick"
    echo "d ./Program Files/Tarnwick/Gridloom"
    for program in "${programs[@]}" Uninstall.exe; do echo "f ./Program Files/Tarnwick/Gridloom/$program"; done
    [ ! -e "$shortcut" ] || echo "f ./ProgramData/Microsoft/Windows/Start Menu/Programs/Gridloom.lnk"
    echo 'system.reg Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gridloom'
} | LC_ALL=C sort)
new=$(changes "$work/before" "$work/installed" '>' | LC_ALL=C sort)
if [ "$new" != "$expected_new" ]; then
    echo "expected new:" >&2
    echo "$expected_new" >&2
    echo "new after the install:" >&2
    echo "$new" >&2
    fail "the setup changed more, or other things, than it should"
fi
gone=$(changes "$work/before" "$work/installed" '<')
[ -z "$gone" ] || fail "the setup removed or changed: $gone"

# The uninstall entry, as "Apps and features" reads it.
entry=$(wine_run reg query "$key" | tr -d '\r') || fail "no uninstall entry $key"
value() { echo "$entry" | sed -n "s/^ *$1 *REG_[A-Z]* *//p"; }
installed_kib=$(du -k --apparent-size -c "$folder"/* | tail -1 | cut -f1)
check_value() {
    [ "$(value "$1")" = "$2" ] || fail "uninstall entry: $1 is '$(value "$1")', not '$2'"
}
check_value DisplayName Gridloom
check_value DisplayVersion "$version"
check_value Publisher Tarnwick
check_value URLInfoAbout "http://www.tarnwick.example/"
check_value InstallLocation "$folder_windows"
check_value UninstallString "\"$folder_windows\\Uninstall.exe\""
check_value QuietUninstallString "\"$folder_windows\\Uninstall.exe\" /S"
check_value NoModify 0x1
check_value NoRepair 0x1
icon=$(value DisplayIcon)
icon_program=${icon%,0}
icon_program=${icon_program##*\\}
[ "$icon" = "$folder_windows\\$icon_program,0" ] && [ -f "$folder/$icon_program" ] ||
    fail "DisplayIcon '$icon' is not a program of the install"
size=$(($(value EstimatedSize)))
[ "$size" -ge $((installed_kib - 8)) ] && [ "$size" -le $((installed_kib + 8)) ] ||
    fail "EstimatedSize $size KiB, but the install takes $installed_kib KiB"
count=$(echo "$entry" | grep -c ' REG_' || true)
[ "$count" -eq 11 ] || fail "the uninstall entry has $count values, not 11: $entry"
echo "uninstall entry: $key, 11 values, EstimatedSize $size KiB"

# The installed gridloom-make.exe, run as a user would in a folder holding the data.
mkdir "$work/run"
cp "$root/sample/Countries.dat" "$work/run/"
(cd "$work/run" && wine_run "$folder_windows\\gridloom-make.exe" --quiet) || fail "the installed gridloom-make.exe failed"
overlay=$work/run/Overlay.bmp
[ -f "$overlay" ] || fail "the installed gridloom-make.exe made no Overlay.bmp"
read -r width height < <(od -An -t u4 -j18 -N8 "$overlay")
bits=$(od -An -t u2 -j28 -N2 "$overlay" | tr -d ' ')
[ "$(head -c2 "$overlay")" = BM ] && [ "$width" = 7920 ] && [ "$height" = 3960 ] && [ "$bits" = 8 ] ||
    fail "Overlay.bmp is ${width}x${height}, $bits bits per pixel, not 7920x3960 8-bit"
if [ -n "$linux" ] && [ -x "$linux/tools/gridloom-make" ]; then
    (cd "$work/run" && "$linux/tools/gridloom-make" --quiet --out linux.bmp)
    cmp -s "$overlay" "$work/run/linux.bmp" || fail "the installed program's Overlay.bmp differs from the Linux one"
    echo "installed gridloom-make.exe: Overlay.bmp 7920x3960 8-bit, identical to the Linux program's"
else
    echo "installed gridloom-make.exe: Overlay.bmp 7920x3960 8-bit"
fi
# Stripped for the install, it still carries its version resource.
reported=$(wine_run "$folder_windows\\gridloom-make.exe" --version | tr -d '\r')
[ "$reported" = "gridloom-make $version" ] || fail "the installed gridloom-make.exe --version says '$reported'"
settle

# Uninstalled as Windows starts it silently; the uninstaller hands over to a copy of itself
# and returns at once, so settle waits for that copy.
quiet=$(value QuietUninstallString)
uninstaller=${quiet#\"}
uninstaller=${uninstaller%%\"*}
arguments=${quiet##*\" }
echo "uninstalling with $quiet"
# shellcheck disable=SC2086
wine_run "$uninstaller" $arguments || fail "the uninstaller exited with $?"
settle
snapshot >"$work/uninstalled"
if ! diff "$work/before" "$work/uninstalled" >"$work/left"; then
    cat "$work/left" >&2
    fail "the uninstall did not restore the prefix (< before, > after)"
fi
echo "uninstalled: no file, shortcut, folder or key left"
