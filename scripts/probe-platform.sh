#!/usr/bin/env bash
# Builds scripts/platform_probe.cpp with MinGW-w64 and runs it under Wine: the DrawText format
# flags an item text may add, the largest font height the platform draws, and how long an
# item text list boxes and combo boxes hand back. The kit's bounds come from these results.
#
#   bash scripts/probe-platform.sh [drawtext|fontheight|listtext ...]   (default: all three)
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/probe
mkdir -p "$out"
# The program's own manifest: with it the list boxes are the common controls' ones, as in
# setup.exe and the tests.
printf '1 24 "setup.manifest"\n' >"$out/manifest.rc"
x86_64-w64-mingw32-windres -I res "$out/manifest.rc" -O coff -o "$out/manifest.res"
x86_64-w64-mingw32-g++ -std=c++17 -O2 -Wall -Wextra -static -o "$out/platform_probe.exe" \
    scripts/platform_probe.cpp "$out/manifest.res" -lgdi32 -luser32
source scripts/wine-env.sh "$out/state"
# A process the platform ends would otherwise wait in the debugger until the probe's timeout.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winedbg.exe=d"
[ $# -gt 0 ] || set -- listtext fontheight drawtext
for mode in "$@"; do
    echo "== $mode"
    wine "$out/platform_probe.exe" "$mode"
done
