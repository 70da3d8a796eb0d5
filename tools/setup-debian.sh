#!/usr/bin/env bash
# Installs everything Pyrelume needs on Debian 12 (bookworm): the native and
# mingw-w64 toolchains, the libraries, wine (32-bit) with Mesa for running the
# Windows build, Xvfb and ImageMagick for screenshots, clang with its libFuzzer
# runtime for the fuzz targets, NSIS (makensis) for the Windows setup program,
# xscreensaver and a dummy-driver Xorg for the Linux display hack's checks,
# lintian and the desktop and AppStream validators for its Debian package.
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
  # the Linux program's full-screen window (RandR), checked with and without a
  # window manager, and its pointer (XFixes); its Debian package's checks
  # (lintian, the desktop entry, AppStream, man)
  libxrandr-dev libxfixes-dev openbox lintian desktop-file-utils appstream man-db
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
# apt-get update fails as a whole when one index is unreadable (a mirror caught
# mid-sync says "File has unexpected size ... Mirror sync in progress?"), although
# the other indexes were fetched. Try three times with a pause, then go on with
# the indexes apt has and say which one failed; the install below decides.
failed_indexes=""
apt_update() {
  local attempt log
  log=$(mktemp)
  for attempt in 1 2 3; do
    if $SUDO apt-get update -qq >"$log" 2>&1; then
      rm -f "$log"
      return 0
    fi
    if [ "$attempt" -lt 3 ]; then sleep "${PYRELUME_APT_RETRY_PAUSE:-10}"; fi
  done
  failed_indexes=$(sed -n 's/^[EW]: Failed to fetch \([^ ]*\).*/\1/p' "$log" | sort -u)
  echo "warning: apt-get update failed 3 times; going on with the package indexes it has." >&2
  if [ -n "$failed_indexes" ]; then
    printf 'warning: index that failed: %s\n' $failed_indexes >&2
  else
    sed 's/^/warning: apt-get update: /' "$log" >&2
  fi
  rm -f "$log"
}

apt_install() {
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$@" "${missing[@]}" >/dev/null
}

if [ "${need_update:-0}" = 1 ] || [ ${#missing[@]} -gt 0 ]; then
  apt_update
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if ! apt_install; then
    installed=0
    # With one architecture's index of a suite missing (say bookworm-security for
    # i386), apt wants the other architecture's newer versions from that suite,
    # and a 32-bit library can no longer match its 64-bit twin. Keep what is
    # installed from the suites whose index failed and try once more.
    suites=$(printf '%s\n' $failed_indexes | sed -n 's#.*/dists/\([^/]*\)/.*#\1#p' | sort -u)
    if [ -n "$suites" ]; then
      pin=$(mktemp)
      for suite in $suites; do
        printf 'Package: *\nPin: release n=%s\nPin-Priority: 90\n\n' "$suite" >>"$pin"
      done
      echo "warning: installing without newer versions from: $suites" >&2
      if apt_install -o Dir::Etc::Preferences="$pin"; then installed=1; fi
      rm -f "$pin"
    fi
    if [ "$installed" = 0 ]; then
      # Name the packages apt has no candidate for, so the error says what to fix.
      unavailable=()
      for p in "${missing[@]}"; do
        cand=$(apt-cache policy "$p" 2>/dev/null | sed -n 's/^ *Candidate: //p')
        if [ -z "$cand" ] || [ "$cand" = "(none)" ]; then unavailable+=("$p"); fi
      done
      if [ ${#unavailable[@]} -gt 0 ]; then
        echo "error: these packages cannot be installed from the package indexes: ${unavailable[*]}" >&2
      else
        echo "error: apt-get install failed for: ${missing[*]}" >&2
      fi
      exit 1
    fi
  fi
fi
