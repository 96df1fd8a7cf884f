#!/usr/bin/env bash
# Regenerates the installer artwork (bitmaps and icon) in res/.
# Needs python3, ImageMagick's convert and the DejaVu fonts (fonts-dejavu-core).
set -euo pipefail
cd "$(dirname "$0")/.."
exec python3 tools/make_artwork.py res/
