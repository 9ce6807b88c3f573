#!/usr/bin/env bash
# Builds KX47 for release in build-package/ and makes the Debian package there with CPack;
# prints the path of the .deb. Install it with: sudo apt install ./build-package/kx47_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-deps.sh "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
build="${KX47_PACKAGE_BUILD:-build-package}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DKX47_BUILD_BENCH=OFF
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/kx47_*.deb
(cd "$build" && cpack -G DEB)
ls "$PWD/$build"/kx47_*.deb
