#!/usr/bin/env bash
# Installs what is needed (Debian 12, apt), builds natively and for Windows,
# runs the unit, render and tool tests natively, then the Windows checks under wine.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup-debian.sh
tools/build-all.sh
ctest --test-dir build --output-on-failure -j2 --timeout 600
tests/wine/run-wine-tests.sh build build-win
echo "All tests passed."
