#!/usr/bin/env bash
# Installs what is missing, builds, assembles the program folder build/kx47 and starts KX47.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/install-deps.sh "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DKX47_BUILD_BENCH=OFF
cmake --build build -j"$(nproc)"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec build/kx47/kx47
fi

shot="$PWD/build/kx47-main-window.png"
echo "No display is available: starting KX47 on a virtual display (xvfb-run)."
rm -f "$shot"
KX47_SCREENSHOT="$shot" xvfb-run -a -s "-screen 0 1024x768x24" build/kx47/kx47
if [ -f "$shot" ]; then
    echo "Screenshot of the main window: $shot"
else
    echo "KX47 ended without a screenshot." >&2
    exit 1
fi
