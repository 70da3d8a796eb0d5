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
