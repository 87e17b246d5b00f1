#!/usr/bin/env bash
# Renders the PNG sizes of the icon from icons/tradejournal.svg (needs
# rsvg-convert from librsvg2-bin). The PNGs are kept in the repository so
# that a build needs no SVG renderer; run this after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/icons"
for size in 16 24 32 48 64 128 256; do
    mkdir -p "$size"
    rsvg-convert -w "$size" -h "$size" tradejournal.svg -o "$size/tradejournal.png"
done
