#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan, build-fuzz/) and runs each
# one on its seed corpus from tests/fuzz/corpus/<name>/.
#   tests/fuzz/run-fuzzers.sh SECONDS [--cpu] [TARGET...]
# Every target runs SECONDS of wall time, or with --cpu until it has used
# SECONDS of processor time (for long runs on a shared machine; FUZZ_WALL_CAP
# seconds of wall time end it earlier when set). New inputs go
# to build-fuzz/fuzz-corpus/<name>/, crashes to build-fuzz/fuzz-findings/, the
# logs to build-fuzz/fuzz-logs/; the last line of each log with "cov:" is
# printed as the target's summary. Exits non-zero when a target found anything.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:?usage: run-fuzzers.sh SECONDS [--cpu] [TARGET...]}
shift
cpu=0
if [ "${1:-}" = "--cpu" ]; then cpu=1; shift; fi
all=(archive scene model bmp jpeg png wav filelist settings cmdline)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")

dir=build-fuzz
if [ ! -f "$dir/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPYRELUME_FUZZ=ON >/dev/null
fi
ninja -C "$dir" -j"${PYRELUME_JOBS:-2}" $(printf 'fuzz_%s ' "${targets[@]}") >/dev/null

mkdir -p "$dir/fuzz-logs" "$dir/fuzz-findings"
failed=0
for t in "${targets[@]}"; do
  work="$dir/fuzz-corpus/$t"
  mkdir -p "$work"
  log="$dir/fuzz-logs/$t.log"
  cputext=""
  # Single allocations above 200 MB and a process above 1 GB (ASan's own
  # overhead included) count as findings: hostile input must stay bounded.
  args=(-rss_limit_mb=1024 -malloc_limit_mb=200 -timeout=25 -print_final_stats=1
        -artifact_prefix="$dir/fuzz-findings/$t-" "$work" "tests/fuzz/corpus/$t")
  if [ "$cpu" = 1 ]; then
    "$dir/tests/fuzz/fuzz_$t" "${args[@]}" >"$log" 2>&1 &
    pid=$!
    tick=$(getconf CLK_TCK)
    started=$SECONDS
    used=0
    while kill -0 "$pid" 2>/dev/null; do
      used=$(awk '{print int(($14 + $15) / '"$tick"')}' "/proc/$pid/stat" 2>/dev/null || echo "$used")
      if [ "$used" -ge "$seconds" ] || { [ -n "${FUZZ_WALL_CAP:-}" ] && [ $((SECONDS - started)) -ge "$FUZZ_WALL_CAP" ]; }; then
        kill -INT "$pid"
        break
      fi
      sleep 5
    done
    wait "$pid" && rc=0 || rc=$?
    # Stopped by us: libFuzzer exits with its interrupt code (72) after the
    # final statistics; that is the end of the run, not a finding.
    if [ "$rc" = 72 ] && grep -q 'run interrupted' "$log" && ! grep -qE '==ERROR|SUMMARY: ' "$log"; then rc=0; fi
    cputext=", cpu ${used}s in $((SECONDS - started))s"
  else
    "$dir/tests/fuzz/fuzz_$t" -max_total_time="$seconds" "${args[@]}" >"$log" 2>&1 && rc=0 || rc=$?
  fi
  summary=$(grep -E 'cov: ' "$log" | tail -1 || true)
  execs=$(grep -E 'stat::number_of_executed_units' "$log" | tail -1 | awk '{print $2}' || true)
  if [ "$rc" != 0 ]; then
    failed=1
    echo "fuzz_$t: FOUND something (exit $rc), see $log"
    grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -5 || true
  else
    echo "fuzz_$t: ok, execs ${execs:-?}${cputext}: $summary"
  fi
done
exit $failed
