#!/usr/bin/env bash
# Installs what is needed (Debian 12, apt), builds natively and for Windows,
# runs the unit, render and tool tests natively, the fuzz targets briefly, then
# the Windows checks under wine.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup-debian.sh
tools/build-all.sh
ctest --test-dir build --output-on-failure -j2 --timeout 600
# Every fuzz target builds (clang, build-fuzz/) and runs a few seconds on its seeds.
# A finding is printed, kept in build-fuzz/fuzz-findings, and fails the run.
tests/fuzz/run-fuzzers.sh 5
# The Windows checks need 32-bit wine, which needs a kernel that runs 32-bit
# programs; on a 64-bit-only kernel they cannot start, so say so and skip them.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  tests/wine/run-wine-tests.sh build build-win
else
  echo "SKIPPED the Windows checks under wine: this kernel cannot run 32-bit programs" \
       "(/usr/lib/wine/wine does not start). The Windows build above was still made." >&2
fi
echo "All tests passed."
