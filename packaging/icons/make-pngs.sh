#!/bin/sh
# Remakes the icon's PNGs (needs rsvg-convert: scripts/install-packages.sh
# scripts/packages-icons.txt installs it). The two smallest sizes
# come from their own drawings, fitted to whole pixels; the others from gridloom.svg.
# The PNGs are kept in the repository so that building needs no SVG renderer.
set -eu
cd "$(dirname "$0")"
for size in 16 24; do
    rsvg-convert -w "$size" -h "$size" "gridloom-$size.svg" -o "gridloom-$size.png"
done
for size in 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" gridloom.svg -o "gridloom-$size.png"
done
