#!/usr/bin/env bash
# Windows checks under wine: the 32-bit Windows build of pyrelume-tool must give
# the same bytes as the native build for the same inputs.
# Usage: run-wine-tests.sh NATIVE_BUILD_DIR WINDOWS_BUILD_DIR
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

failures=0
pass() { echo "PASS $1"; }
fail() { echo "FAIL $1" >&2; failures=$((failures + 1)); }
wtool() { timeout 120 wine "$tool_exe" "$@"; }

for t in "$here"/cases/*.sh; do
  [ -e "$t" ] || continue
  # shellcheck source=/dev/null
  source "$t"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures wine check(s) failed" >&2
  exit 1
fi
echo "wine checks passed"
