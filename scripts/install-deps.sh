#!/usr/bin/env bash
# Installs what the build, the demo and the tests need on a Debian machine.
# Safe to run again: it only installs what is missing.
set -euo pipefail

need=()
have() { command -v "$1" >/dev/null 2>&1; }
pkg_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

for p in cmake make g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 xvfb xauth \
         imagemagick fonts-dejavu-core googletest x11-utils python3 fonts-wine \
         clang libclang-rt-dev; do
    pkg_installed "$p" || need+=("$p")
done

if [ "${#need[@]}" -gt 0 ]; then
    echo "install-deps: installing ${need[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
