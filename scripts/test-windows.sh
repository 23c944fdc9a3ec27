#!/usr/bin/env bash
# Runs the Windows build under Wine: every cross-built test program (ctest, through Wine),
# then gridloom-make.exe against the Linux gridloom-make on the sample data, which must give
# the same file byte for byte, and the read-only attribute on the output.
# Needs build-win64/ (scripts/build-windows.sh) and the Linux build/ (scripts/setup.sh build).
# With wine32 installed, the 32-bit build (build-win32/) is run the same way.
# Usage: scripts/test-windows.sh [--fresh-prefix]   (--fresh-prefix: make the Wine prefix anew)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
if [ "${1:-}" = --fresh-prefix ]; then
    rm -rf "${WINEPREFIX:-$root/build-win64/wineprefix}"
fi
. "$here/wine-env.sh"

linux_make="$root/build/tools/gridloom-make"
sample="$root/sample/Countries.dat"
out=$(mktemp -d)
trap 'chmod -R u+w "$out"; rm -rf "$out"' EXIT
failed=0

# The pixels that differ between two 8-bit BMPs of the master image's size: how many, on
# which rows, and a few of them (x, y, Windows index, Linux index; indices in octal).
show_differences() {
    cmp -l "$1" "$2" | awk -v header=1078 -v width=7920 -v height=3960 '
        { o = $1 - 1 - header; if (o < 0) { print "header byte", $1, "differs"; next }
          x = o % width; y = height - 1 - int(o / width); n++; rows[y]++
          if (n <= 10) print "  pixel", x, y, $2, $3 }
        END { print "  " n + 0, "pixels differ"; for (r in rows) print "  row", r, rows[r], "pixels" }' | head -40 || true
}

# Runs the program of one target through its loader in the output folder.
run_make() {
    local wine=$1 exe=$2; shift 2
    (cd "$out" && "$wine" "$exe" --quiet --data "Z:$(echo "$sample" | tr / '\\')" "$@")
}

check_target() {
    local name=$1 build=$2 wine=$3
    echo "== $name: test programs under Wine"
    ctest --test-dir "$build" --output-on-failure || failed=1
    local exe="$build/tools/gridloom-make.exe"
    echo "== $name: gridloom-make.exe against gridloom-make on the sample"
    # Each case: what it is, whether a difference fails the check, the options.
    local case args must
    for case in "defaults|must|" \
        "grid 1, widths 5, grid on top|must|--grid 1 --gridline-width 5 --boundary-width 5 --grid-on-top" \
        "labels, Arial 11 bold|must|--labels" \
        "labels, italic, underline, strike-out|must|--labels --font-style italic,underline,strikeout" \
        "labels, every style at once|shown|--labels --font-style bold,italic,underline,strikeout"; do
        args=${case#*|}
        must=${args%%|*}
        args=${args#*|}
        rm -f "$out/win.bmp" "$out/linux.bmp"
        # shellcheck disable=SC2086
        run_make "$wine" "$exe" --out win.bmp $args
        # shellcheck disable=SC2086
        (cd "$out" && "$linux_make" --quiet --data "$sample" --out linux.bmp $args)
        if cmp -s "$out/win.bmp" "$out/linux.bmp"; then
            echo "identical: ${case%%|*}"
        else
            echo "DIFFERENT: ${case%%|*}"
            show_differences "$out/win.bmp" "$out/linux.bmp"
            [ "$must" = shown ] || failed=1
        fi
    done
    # The output is left read-only: the system's attribute says so, and a second run refuses it.
    local attributes
    attributes=$(cd "$out" && "$wine" cmd /c attrib win.bmp | tr -d '\r')
    case "$attributes" in
    *R*win.bmp) echo "read-only attribute set: $attributes" ;;
    *) echo "NOT read-only: $attributes"; failed=1 ;;
    esac
    local status=0
    run_make "$wine" "$exe" --out win.bmp 2>/dev/null || status=$?
    [ "$status" -eq 1 ] && echo "a second run refuses the read-only file (exit 1)" || { echo "second run: exit $status"; failed=1; }
    run_make "$wine" "$exe" --out win.bmp --overwrite-readonly --grid 5 && echo "--overwrite-readonly replaces it" || failed=1
    local version
    version=$("$wine" "$exe" --version | tr -d '\r')
    echo "--version: $version"
    [ "$version" = "$("$linux_make" --version)" ] || { echo "--version differs from Linux"; failed=1; }
}

[ -x "$linux_make" ] || { echo "no Linux gridloom-make in build/; run scripts/setup.sh first" >&2; exit 2; }
check_target win64 "$root/build-win64" "$WINE64"
if [ -n "$WINE32" ] && [ -d "$root/build-win32" ]; then
    check_target win32 "$root/build-win32" "$WINE32"
else
    echo "== win32: built, not run (no wine32 that this kernel can start)"
fi

# The checks of the Windows programs as a user meets them (the window and the About box on a
# virtual desktop, the installer), each a script of its own beside what it checks:
#   <script> <64-bit build folder> <Linux build folder>
# with the Wine environment above exported. A script exits 0 when its check passes.
export WINEPREFIX WINE64 WINE32
for check in "$root"/app/windows/*-wine.sh "$root"/about/windows/*-wine.sh "$root"/packaging/windows/*-wine.sh \
    "$root"/render/*-wine.sh; do
    [ -f "$check" ] || continue
    echo "== win64: $(basename "$check" .sh)"
    bash "$check" "$root/build-win64" "$root/build" || { echo "FAILED: $check"; failed=1; }
done
exit $failed
