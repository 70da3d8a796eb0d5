#!/usr/bin/env bash
# Builds libpng for 32-bit Windows (static, mingw-w64 i686) from Debian's source
# package, the same version as the native libpng16, against the mingw zlib of
# libz-mingw-w64-dev.
# Usage: build-libpng-mingw.sh PREFIX TOOLCHAIN_FILE
# The result (PREFIX/lib/libpng.a, PREFIX/include/png.h) is built once and reused.
set -euo pipefail
prefix=$1
toolchain=$2
if [ -f "$prefix/lib/libpng.a" ] && [ -f "$prefix/include/png.h" ]; then
  exit 0
fi
zlib_lib=/usr/i686-w64-mingw32/lib/libz.a
zlib_include=/usr/i686-w64-mingw32/include
if [ ! -f "$zlib_lib" ] || [ ! -f "$zlib_include/zlib.h" ]; then
  echo "the mingw zlib is missing ($zlib_lib); install libz-mingw-w64-dev" >&2
  exit 1
fi
work="$prefix.work"
rm -rf "$work"
mkdir -p "$work"
cd "$work"
if ! apt-get source -qq libpng1.6 >/dev/null 2>apt-source.log; then
  echo "apt-get source libpng1.6 failed; is a deb-src entry configured? (see tools/setup-debian.sh)" >&2
  cat apt-source.log >&2
  exit 1
fi
src=$(find . -maxdepth 1 -type d -name 'libpng1.6-*' | head -n 1)
if [ -z "$src" ]; then
  echo "apt-get source libpng1.6 left no source folder" >&2
  exit 1
fi
cmake -S "$src" -B build -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON \
  -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF \
  -DZLIB_LIBRARY="$zlib_lib" -DZLIB_INCLUDE_DIR="$zlib_include" \
  -DCMAKE_POSITION_INDEPENDENT_CODE=OFF >cmake.log 2>&1 || { cat cmake.log >&2; exit 1; }
ninja -C build -j2 png_static >build.log 2>&1 || { tail -50 build.log >&2; exit 1; }
mkdir -p "$prefix/lib" "$prefix/include"
lib=$(find build -maxdepth 1 -name 'libpng*.a' | head -n 1)
if [ -z "$lib" ]; then
  echo "the libpng build left no static library" >&2
  exit 1
fi
cp "$lib" "$prefix/lib/libpng.a"
cp "$src/png.h" "$src/pngconf.h" build/pnglibconf.h "$prefix/include/"
rm -rf "$work"
