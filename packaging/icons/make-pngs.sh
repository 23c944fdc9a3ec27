#!/bin/sh
# Remakes the icon's PNGs from gridloom.svg (needs rsvg-convert, from librsvg2-bin).
# The PNGs are kept in the repository so that building needs no SVG renderer.
set -eu
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" gridloom.svg -o "gridloom-$size.png"
done
