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
# The Windows icon holds the same PNGs (an .ico may embed PNG images since Windows Vista).
python3 - <<'PY'
import struct
sizes = [16, 24, 32, 48, 64, 128, 256]
images = [open(f"gridloom-{s}.png", "rb").read() for s in sizes]
offset = 6 + 16 * len(sizes)
entries = b""
for size, image in zip(sizes, images):
    entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
    offset += len(image)
open("gridloom.ico", "wb").write(struct.pack("<HHH", 0, 1, len(sizes)) + entries + b"".join(images))
PY
