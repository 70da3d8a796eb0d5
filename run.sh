#!/usr/bin/env bash
# Installs what is needed (Debian 12, apt), builds Pyrelume and starts it under wine.
#
#   ./run.sh               the settings dialog with its live preview (Pyrelume.exe);
#                          without a display: the saver (/s) on a virtual display for a
#                          few seconds, then a screenshot whose path is printed
#   ./run.sh --saver       the full-screen saver (Pyrelume.scr /s); any key ends it
#   ./run.sh --tool ARGS   pyrelume-tool ARGS (native), e.g. --tool render build/data/data.rfa ...
#   ./run.sh --linux [OPTIONS]  the native Linux program (pyrelume, the xscreensaver display
#                          hack) in a window of its own, with its OPTIONS (--help lists them);
#                          without a display: on a virtual one for a few seconds, then a
#                          screenshot whose path is printed
set -euo pipefail
cd "$(dirname "$0")"
tools/setup-debian.sh

if [ "${1-}" = "--linux" ]; then
  shift
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  ninja -C build -j"${PYRELUME_JOBS:-2}" pyrelume >/dev/null
  if [ -n "${DISPLAY-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec build/bin/pyrelume -window "$@"
  fi
  shot="$PWD/pyrelume-linux-screenshot.png"
  xdir=$(mktemp -d)
  trap '[ -z "${hack_pid-}" ] || { kill "$hack_pid"; wait "$hack_pid"; } 2>/dev/null; kill "${xvfb_pid-}" 2>/dev/null || true; rm -rf "$xdir"' EXIT
  Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$xdir/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do [ -s "$xdir/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$xdir/display")"
  build/bin/pyrelume -window "$@" &
  hack_pid=$!
  sleep 8
  import -window root "$shot"
  echo "pyrelume ran in a window on a virtual 1024x768 display; screenshot: $shot"
  exit 0
fi

tools/build-all.sh >/dev/null

if [ "${1-}" = "--tool" ]; then
  shift
  if [ $# -eq 0 ]; then set -- --help; fi
  exec build/tools/pyrelume-tool/pyrelume-tool "$@"
fi

bin="$PWD/build-win/bin"
export WINEPREFIX="${PYRELUME_WINEPREFIX:-$HOME/.local/share/pyrelume/wine}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  echo "Preparing the wine prefix $WINEPREFIX (once)..."
  WINEARCH=win32 timeout 300 wineboot -i >/dev/null 2>&1
fi
# wine's symbol font (from fonts-wine) in the prefix: without it the window
# buttons show letters ("r" for the close box).
if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi

if [ -n "${DISPLAY-}" ] && xdpyinfo >/dev/null 2>&1; then
  if [ "${1-}" = "--saver" ]; then
    exec wine "$bin/Pyrelume.scr" /s
  fi
  exec wine "$bin/Pyrelume.exe"
fi

# No display: show the saver on a virtual one and keep a screenshot of it.
shot="$PWD/pyrelume-screenshot.png"
xdir=$(mktemp -d)
trap 'timeout 20 wineserver -k >/dev/null 2>&1 || true; kill "${xvfb_pid-}" 2>/dev/null || true; rm -rf "$xdir"' EXIT
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$xdir/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do [ -s "$xdir/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$xdir/display")"
timeout 20 wineserver -k >/dev/null 2>&1 || true
# Without a window manager wine would wait for one on every hidden window.
timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
(timeout 30 wine "$bin/Pyrelume.scr" /s >/dev/null 2>&1 &)
sleep 8
import -window root "$shot"
echo "Pyrelume ran full screen on a virtual 1024x768 display; screenshot: $shot"
