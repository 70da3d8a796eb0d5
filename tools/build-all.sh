#!/usr/bin/env bash
# Builds the native tree (build/) and the 32-bit Windows tree (build-win/).
# PYRELUME_JOBS sets the parallel jobs (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${PYRELUME_JOBS:-2}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build -j"$jobs"
cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake" \
  -DPYRELUME_NATIVE_BUILD_DIR="$PWD/build" >/dev/null
ninja -C build-win -j"$jobs"
