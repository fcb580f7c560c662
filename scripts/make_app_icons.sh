#!/usr/bin/env bash
# Renders the application icon resources/icons/graphonite.svg into the PNG sizes of the hicolor
# icon theme, resources/icons/hicolor/<size>x<size>/apps/graphonite.png. The PNGs are committed;
# run this after changing the SVG. Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v rsvg-convert > /dev/null; then
  echo "rsvg-convert is missing: apt-get install librsvg2-bin" >&2
  exit 1
fi
icons=resources/icons
for size in 16 32 48 64 128 256; do
  mkdir -p "$icons/hicolor/${size}x${size}/apps"
  rsvg-convert --width "$size" --height "$size" "$icons/graphonite.svg" \
    --output "$icons/hicolor/${size}x${size}/apps/graphonite.png"
done
