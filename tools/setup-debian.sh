#!/usr/bin/env bash
# Installs everything Pyrelume needs on Debian 12 (bookworm): the native and
# mingw-w64 toolchains, the libraries, wine (32-bit) with Mesa for running the
# Windows build, Xvfb and ImageMagick for screenshots, clang with its libFuzzer
# runtime for the fuzz targets, NSIS (makensis) for the Windows setup program,
# xscreensaver and a dummy-driver Xorg for the Linux display hack's checks.
# Safe to run again.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# libjpeg-turbo and libpng for the Windows build are built from Debian's source packages.
if ! grep -rqs '^Types: deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  $SUDO tee /etc/apt/sources.list.d/pyrelume-deb-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_update=1
fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  need_update=1
fi

packages=(
  build-essential cmake ninja-build ccache pkg-config dpkg-dev nasm
  g++-mingw-w64-i686 libz-mingw-w64-dev
  zlib1g-dev libjpeg62-turbo-dev libpng-dev libfreetype-dev libasound2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libegl-dev libgl-dev libegl-mesa0 libgl1-mesa-dri
  fonts-dejavu-core
  wine wine32:i386 libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386
  # wine's own fonts: without its symbol font the window buttons show letters
  fonts-wine
  xvfb x11-utils xdotool imagemagick python3
  clang libclang-rt-14-dev libfuzzer-14-dev
  nsis
  libx11-dev xscreensaver xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils xcvt
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ "${need_update:-0}" = 1 ] || [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi
