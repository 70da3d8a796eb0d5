#!/usr/bin/env bash
# Installs what is needed (Debian 12, apt), builds Pyrelume and runs pyrelume-tool
# with the given arguments (its command list when none are given).
set -euo pipefail
cd "$(dirname "$0")"
tools/setup-debian.sh
tools/build-all.sh >/dev/null
if [ $# -eq 0 ]; then set -- --help; fi
exec build/tools/pyrelume-tool/pyrelume-tool "$@"
