#!/usr/bin/env bash
# Builds the core library and kt9.exe for Windows with the mingw-w64 cross
# compiler, so the Windows serial port and port list keep compiling.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KT9_WIN_BUILD_DIR:-$root/build-windows}
# CLI11 is header-only: give the cross compiler its headers alone, never the
# host's whole include folder.
mkdir -p "$build/cli11"
rm -rf "$build/cli11/CLI"
cp -r /usr/include/CLI "$build/cli11/CLI"
cmake -S "$root" -B "$build" \
  -DCMAKE_SYSTEM_NAME=Windows \
  -DCMAKE_CXX_COMPILER=x86_64-w64-mingw32-g++-posix \
  -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=NEVER \
  -DCLI11_INCLUDE_DIR="$build/cli11" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target kt9
echo "Windows build: $build/bin/kt9.exe"
