#!/usr/bin/env bash
# Builds libjpeg-turbo for 32-bit Windows (static, mingw-w64 i686) from Debian's
# source package, the same version as the native libjpeg62-turbo.
# Usage: build-libjpeg-mingw.sh PREFIX TOOLCHAIN_FILE
# The result (PREFIX/lib/libjpeg.a, PREFIX/include/jpeglib.h) is built once and reused.
set -euo pipefail
prefix=$1
toolchain=$2
if [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ]; then
  exit 0
fi
work="$prefix.work"
rm -rf "$work"
mkdir -p "$work"
cd "$work"
if ! apt-get source -qq libjpeg-turbo >/dev/null 2>apt-source.log; then
  echo "apt-get source libjpeg-turbo failed; is a deb-src entry configured? (see tools/setup-debian.sh)" >&2
  cat apt-source.log >&2
  exit 1
fi
src=$(find . -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
cmake -S "$src" -B build -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
  -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF \
  -DCMAKE_POSITION_INDEPENDENT_CODE=OFF >cmake.log 2>&1 || { cat cmake.log >&2; exit 1; }
ninja -C build -j2 jpeg-static >build.log 2>&1 || { tail -50 build.log >&2; exit 1; }
mkdir -p "$prefix/lib" "$prefix/include"
cp build/libjpeg.a "$prefix/lib/libjpeg.a"
cp "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" build/jconfig.h "$prefix/include/"
rm -rf "$work"
