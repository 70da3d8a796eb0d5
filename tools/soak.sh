#!/usr/bin/env bash
# Soak run: the fireplace rendering headless at 1024x768 for MINUTES minutes
# through the native pyrelume-tool (the same frame as the saver), sampling its
# resident memory and open file descriptors once a minute.
#   tools/soak.sh MINUTES [BUILD_DIR]
# Prints one line per minute (minute, RSS in KB, open fds, CPU seconds) and the
# RSS growth from minute 5 to the end; exits 1 when that growth is 2 MB or more
# or the renderer died. Not part of the test command (it takes its time).
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:?usage: tools/soak.sh MINUTES [BUILD_DIR]}
build=${2:-build}
tool="$build/tools/pyrelume-tool/pyrelume-tool"
archive="$build/data/data.rfa"
[ -x "$tool" ] && [ -f "$archive" ] || { echo "soak: build $tool and $archive first" >&2; exit 2; }

out=$(mktemp -d /tmp/pyrelume-soak.XXXXXX)
pid=""
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null || true; rm -rf "$out"' EXIT
# More frames than it can draw in the time; it is stopped at the end.
"$tool" render "$archive" --size 1024x768 --frames 100000 --dt 0.04 --out "$out/last.png" \
  --setting "Clock Mode=1" >"$out/log.txt" 2>&1 &
pid=$!
tick=$(getconf CLK_TCK)
sample() {
  local rss fds cpu
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
  fds=$(find "/proc/$pid/fd" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l)
  cpu=$(awk '{print int(($14 + $15) / '"$tick"')}' "/proc/$pid/stat")
  echo "$1 $rss $fds $cpu"
}
echo "minute rss_kb fds cpu_s"
declare -a rss_at
for m in $(seq 0 "$minutes"); do
  [ "$m" -eq 0 ] || sleep 60
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "soak: the renderer ended early: $(head -c 300 "$out/log.txt")" >&2
    exit 1
  fi
  line=$(sample "$m")
  echo "$line"
  rss_at[m]=$(echo "$line" | awk '{print $2}')
done
from=$((minutes < 5 ? 0 : 5))
growth=$((rss_at[minutes] - rss_at[from]))
echo "RSS growth from minute $from to $minutes: $growth KB"
[ "$growth" -lt 2048 ]
