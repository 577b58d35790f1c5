#!/usr/bin/env bash
# Renders packaging/kavex.svg into the PNG sizes that are committed beside it, so that a build
# needs no SVG renderer. Run after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/../packaging"
for size in 16 24 32 48 64 128 256; do
  out=icons/kavex-$size.png
  if command -v rsvg-convert >/dev/null; then
    rsvg-convert -w "$size" -h "$size" kavex.svg -o "$out"
  else
    gdk-pixbuf-thumbnailer -s "$size" kavex.svg "$out"
  fi
done
