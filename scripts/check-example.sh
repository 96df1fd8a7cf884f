#!/usr/bin/env bash
# Proves the kit's package from outside, as another program would use it: installs the build
# into a fresh scratch prefix, builds examples/ against it as a separate CMake project, runs
# the example under Wine and checks pixels of a list row, the combo box and a button.
# Run by CTest (example.installed_package) inside the Wine environment of scripts/wine-env.sh.
#
#   bash scripts/check-example.sh BUILD_DIR
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
work=$build/example
rm -rf "$work" && mkdir -p "$work"
log=$work/build.log
step() { "$@" >>"$log" 2>&1 || { cat "$log"; echo "check-example: failed: $*" >&2; exit 1; }; }
step cmake --install "$build" --prefix "$work/prefix"
step cmake -S "$repo/examples" -B "$work/build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" -DCMAKE_PREFIX_PATH="$work/prefix"
step cmake --build "$work/build"
# The package's headers are its one public header, in a folder of its own.
headers=$(cd "$work/prefix/include" && find . -type f)
[ "$headers" = ./owndraw/owndraw.h ] || { echo "check-example: installed headers: $headers" >&2; exit 1; }
# The same program with the repository as a subdirectory gets the kit and nothing else (no
# GoogleTest either); configured only, as building it would compile the kit a second time.
step cmake -S "$repo/examples" -B "$work/subdirectory" -DOWNDRAW_EXAMPLE_SOURCE_DIR="$repo" \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" -DGOOGLETEST_SOURCE_DIR=/nonexistent
targets=$(cmake --build "$work/subdirectory" --target help | sed -n 's/^\.\.\. \([A-Za-z_-]*\)$/\1/p' |
          grep -v -x -E 'all|clean|depend|edit_cache|rebuild_cache|install|install/local|install/strip|list_install_components' |
          sort | tr '\n' ' ')
[ "$targets" = "owndraw owndraw_example " ] || { echo "check-example: as a subdirectory it builds: $targets" >&2; exit 1; }
# Started by a Windows process, as the end-to-end tests start theirs: under Wine 8 a desktop
# first opened by a program started from Unix keeps that program's DPI for every later one.
step wine cmd /c "$(winepath -w "$work/build/owndraw_example.exe")" --capture "$(winepath -w "$work/window.bmp")"

python3 - "$work/window.bmp" "$work/prefix/share/OwnDraw/artwork" <<'PY'
import struct, sys
shot, artwork = sys.argv[1:]

def read_bmp(path):
    """Pixel reader of a 24-bit bottom-up BMP: at(x, y) -> 0xRRGGBB."""
    data = open(path, "rb").read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    assert bits == 24 and height > 0, f"{path}: not a 24-bit bottom-up bitmap"
    stride = (width * 3 + 3) // 4 * 4
    def at(x, y):
        b, g, r = data[offset + (height - 1 - y) * stride + 3 * x:][:3]
        return r << 16 | g << 8 | b
    return width, height, at

_, _, at = read_bmp(shot)
def colours(path):
    w, h, px = read_bmp(path)
    return {px(x, y) for x in range(w) for y in range(h)}
face = colours(f"{artwork}/buttonup.bmp")
glyph = colours(f"{artwork}/icob011.bmp") - face - {0x010101}

# Client pixels at 96 dpi. The list (10,10; 1-pixel border) and its row 0: columns start at
# 0, 90 and 200 and "@CR" fills column 1 yellow between its lines; the combo box (10,124)
# shows item 1, column 0 green; the OK button (10,162; 100 by 28) has its face and glyph.
problems = []
def want(what, x, y, rgb, equal=True):
    got = at(x, y)
    if (got == rgb) != equal:
        problems.append(f"{what}: at ({x},{y}): got 0x{got:06x}, want {'' if equal else 'not '}0x{rgb:06x}")
want("list row 0, column 1 fill starts after its line", 102, 13, 0xFFFF00)
want("list row 0, column 1 fill ends before the next line", 210, 13, 0xFFFF00)
want("list row 0, column 0 not filled", 99, 13, 0xFFFF00, False)
want("list row 0, column 2 not filled", 212, 13, 0xFFFF00, False)
want("combo box item 1, column 0 fill", 70, 136, 0x00FF00)
strip = [at(105, y) for y in range(164, 187)]
if not set(strip) <= face or len(set(strip)) < 4:
    problems.append(f"OK button: the face at x=105 is not the BUTTONUP strip: {[hex(c) for c in strip]}")
ink = sum(at(x, y) in glyph for x in range(11, 109) for y in range(163, 189))
if ink < 20:
    problems.append(f"OK button: {ink} pixels of the ICOB011 glyph, want at least 20")
for problem in problems:
    print("check-example:", problem)
sys.exit(1 if problems else 0)
PY
echo "check-example: the example built against the installed package paints its list, combo box and buttons"
