#!/usr/bin/env bash
# Renders the pictures of the item mark-up with the built markup-preview.exe (this script
# builds nothing: run scripts/run-tests.sh or cmake --build build first):
#   docs/markup-example.png    the README's example item
#   docs/gallery/<name>.png    one list box per docs/gallery/<name>.txt, one item text per
#                              line with the escapes of --list (\xHH, \\)
#   docs/reference/<name>.png  the same for the mark-up reference; options a picture needs
#                              besides the gallery's (a taller row, a selected row) are in
#                              docs/reference/<name>.options, and come after them
# The gallery's size and column table can be changed with GALLERY_OPTIONS.
set -euo pipefail
cd "$(dirname "$0")/.."

tool=build/markup-preview.exe
if [ ! -f "$tool" ]; then
    echo "make-pictures: $tool is missing; build first (scripts/run-tests.sh)" >&2
    exit 1
fi

# The README shows this text and this command line; keep the three in step.
EXAMPLE_COLUMNS='0:150,150:170,320:80'
EXAMPLE_TEXT='@CR\x820;FFFFFFC8DCFF\x83@BMP\x82ICOB011\x83@TXT\x82Client VORAN\x83@PEN\x82808080\x83@CS\x821;Installazione in corso\x83@FRG\x820000FF\x83@CD\x822;4.2\x83@SEP\x826\x83'
read -r -a gallery_options <<< "${GALLERY_OPTIONS:---width 400 --height 22 --columns $EXAMPLE_COLUMNS}"

# A Wine prefix and display of its own, apart from the tests'.
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh build/picture-state

wine "$tool" --out docs/markup-example.png --width 400 --height 22 \
    --columns "$EXAMPLE_COLUMNS" --text "$EXAMPLE_TEXT"
echo "docs/markup-example.png"

shopt -s nullglob
for list in docs/gallery/*.txt docs/reference/*.txt; do
    picture="${list%.txt}.png"
    extra=()
    if [ -f "${list%.txt}.options" ]; then
        read -r -a extra < "${list%.txt}.options"
    fi
    wine "$tool" --out "$picture" --list "$list" "${gallery_options[@]}" "${extra[@]}"
    echo "$picture"
done
