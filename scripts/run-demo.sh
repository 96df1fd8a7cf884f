#!/usr/bin/env bash
# Builds Client Setup and runs it under Wine against the bundled demo main installation
# (F:\VORAN, from demo/VORAN).
#
#   bash scripts/run-demo.sh
#
# With a reachable X display ($DISPLAY) the program simply opens there, for you to use.
# Without one it runs on a private Xvfb and the end-to-end driver installs with the
# default paths (F:\VORAN -> C:\VORAN), taking screenshots of the dialog and of the
# success message into build/demo-output/. Either way the resulting client folder, its
# [CONFIG] section and the desktop shortcut are printed afterwards. Exits non-zero
# when the installation did not complete.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"
build="$repo/build"
output="$build/demo-output"

bash scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build "$build" -j2 --target setup demo_driver

# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh "$build/demo-state" --use-display

client_dir="$WINEPREFIX/drive_c/VORAN"
link="$WINE_DESKTOP_DIR/VORAN4.LNK"

show_result() {
    echo
    echo "== Client folder C:\\VORAN ($client_dir)"
    if [ -d "$client_dir" ]; then
        (cd "$client_dir" && find . -maxdepth 1 -type f -printf '%10s  %f\n' | sort -k2)
    else
        echo "   (missing)"
    fi
    echo
    echo "== [CONFIG] of C:\\VORAN\\VORAN.INI"
    if [ -f "$client_dir/VORAN.INI" ]; then
        tr -d '\r' < "$client_dir/VORAN.INI" |
            awk '/^\[/ { inside = (toupper($0) == "[CONFIG]") } inside { print "   " $0 }'
    else
        echo "   (missing)"
    fi
    echo
    echo "== Desktop shortcut"
    if [ -f "$link" ]; then
        echo "   $link ($(stat -c %s "$link") bytes)"
    else
        echo "   $link (missing)"
    fi
}

completed() {
    local name
    for name in VORAN.INI IM31BMP.DIL IM31JPG.DIL IMGMAN31.DLL IMAGE2PDF.DLL VORAN.EXE; do
        [ -f "$client_dir/$name" ] || return 1
    done
    [ -f "$link" ] && tr -d '\r' < "$client_dir/VORAN.INI" | grep -q '^Timer=10$'
}

if [ -z "${WINE_ENV_XVFB_PID:-}" ]; then
    echo "run-demo: opening setup.exe on $DISPLAY"
    status=0
    wine "$build/setup.exe" || status=$?
    show_result
    [ "$status" -eq 0 ] || { echo "run-demo: setup.exe ended with code $status"; exit 1; }
    exit 0
fi

echo "run-demo: no display; installing with the default paths on Xvfb $DISPLAY"
# A fresh demo: no client folder, no shortcut from an earlier run.
rm -rf "$client_dir" "$link"
rm -rf "$output"
mkdir -p "$output/sync"

export DEMO_SYNC_DIR="$output/sync"
wine "$build/demo_driver.exe" \
    >"$output/driver.log" 2>&1 &
driver=$!

# The driver stops at each moment worth a picture and waits for <name>.done.
for shot in dialog success; do
    while [ ! -f "$output/sync/$shot.ready" ] && kill -0 "$driver" 2>/dev/null; do sleep 0.1; done
    [ -f "$output/sync/$shot.ready" ] || break
    if import -display "$DISPLAY" -window root "$output/$shot.png" 2>/dev/null; then
        echo "run-demo: screenshot $output/$shot.png"
    else
        echo "run-demo: could not take the screenshot $shot.png"
    fi
    touch "$output/sync/$shot.done"
done

driver_status=0
wait "$driver" || driver_status=$?
rm -rf "$output/sync"
show_result
echo
if [ "$driver_status" -ne 0 ] || ! completed; then
    echo "run-demo: the installation did not complete; the driver said:"
    sed 's/^/   /' "$output/driver.log"
    exit 1
fi
echo "run-demo: installation completed"
