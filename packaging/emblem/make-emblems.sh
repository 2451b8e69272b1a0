#!/usr/bin/env bash
# Remakes the installed emblem pictures and the icon's PNG sizes from the icon's SVG
# (librsvg2-bin and imagemagick). The results are kept in the repository: they change only
# when the drawing does.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
svg="$here/icons/es.palomas.Exposicion.svg"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "$here/icons/png/$size"
  rsvg-convert -w "$size" -h "$size" "$svg" -o "$here/icons/png/$size/es.palomas.Exposicion.png"
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
rsvg-convert -w 280 -h 280 "$svg" -o "$tmp/icon.png"
# The main window's emblem, on a transparent ground; the listing's, on the paper's white.
convert -size 400x300 xc:none "$tmp/icon.png" -gravity center -composite "$here/emblem/Talvorena1.gif"
convert -size 400x300 xc:white "$tmp/icon.png" -gravity center -composite -type TrueColor \
  "BMP3:$here/emblem/Talvorena1.bmp"
