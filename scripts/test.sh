#!/usr/bin/env bash
# Builds everything and runs every test: the native build with ctest, then the
# Windows cross build of the core and kt9.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/packages.sh"
bash "$root/scripts/ensure-packages.sh" "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
bash "$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${KT9_BUILD_DIR:-$root/build}" --output-on-failure -j 2 --timeout 300
bash "$root/scripts/cross-windows.sh"
