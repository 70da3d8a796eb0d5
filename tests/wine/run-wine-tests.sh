#!/usr/bin/env bash
# Windows checks under wine: the 32-bit Windows build of pyrelume-tool must give
# the same bytes as the native build for the same inputs.
# Usage: run-wine-tests.sh NATIVE_BUILD_DIR WINDOWS_BUILD_DIR
# PYRELUME_WINE_CASES="50 60 66" runs only the cases whose file names start so
# (cases use helpers of earlier ones: 66 needs 50 and 60).
set -euo pipefail
native_dir=$(realpath "$1")
win_dir=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
tool="$native_dir/tools/pyrelume-tool/pyrelume-tool"
tool_exe="$win_dir/tools/pyrelume-tool/pyrelume-tool.exe"

work=$(mktemp -d /tmp/pyrelume-wine.XXXXXX)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32
timeout 300 wineboot -i >/dev/null 2>&1 || { echo "wineboot failed" >&2; exit 1; }
# wine's symbol font (fonts-wine): without it the window buttons show letters.
if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi

failures=0
pass() { echo "PASS $1"; }
fail() { echo "FAIL $1" >&2; failures=$((failures + 1)); }
# Ends the wine session (its processes and wineserver) and waits until it is
# gone: a wine program started right after must not join a dying session
# whose desktop still lives on an earlier X server.
wine_end() {
  timeout 20 wineserver -k >/dev/null 2>&1 || true
  timeout 20 wineserver -w >/dev/null 2>&1 || true
}
# Ends the wine session so that the next one starts on the X server DISPLAY
# names now. Without a window manager, wine would wait for one on every hidden
# window: windows unmanaged.
wine_session_here() {
  wine_end
  timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
}
# Starts Xvfb of size $1 (WxH, default 1024x768) on a free display, points
# DISPLAY at it and lets the next wine session start there.
wine_x_start() {
  wine_x_old_display=${DISPLAY-}
  rm -f "$work/xvfb.display"
  Xvfb -displayfd 5 -screen 0 "${1:-1024x768}x24" -nolisten tcp 5>"$work/xvfb.display" >/dev/null 2>&1 &
  wine_x_pid=$!
  local i
  for i in $(seq 1 100); do
    [ -s "$work/xvfb.display" ] && break
    sleep 0.1
  done
  [ -s "$work/xvfb.display" ] || return 1
  export DISPLAY=":$(head -n1 "$work/xvfb.display")"
  wine_session_here
}

# Ends the wine session and the Xvfb of wine_x_start; DISPLAY is as before.
wine_x_stop() {
  wine_end
  kill "$wine_x_pid" 2>/dev/null || true
  wait "$wine_x_pid" 2>/dev/null || true
  if [ -n "$wine_x_old_display" ]; then export DISPLAY="$wine_x_old_display"; else unset DISPLAY; fi
}

wtool() { timeout 120 wine "$tool_exe" "$@"; }

for t in "$here"/cases/*.sh; do
  [ -e "$t" ] || continue
  if [ -n "${PYRELUME_WINE_CASES:-}" ]; then
    case_name=$(basename "$t") wanted=no
    for c in $PYRELUME_WINE_CASES; do [ "${case_name#"$c"}" != "$case_name" ] && wanted=yes; done
    [ $wanted = yes ] || continue
  fi
  # shellcheck source=/dev/null
  source "$t"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures wine check(s) failed" >&2
  exit 1
fi
echo "wine checks passed"
