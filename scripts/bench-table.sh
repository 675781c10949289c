#!/usr/bin/env bash
# Runs the frame-cost benchmarks of BUILD (default build) from BUILD/game, where the real
# pictures and sounds are, and prints each cost as the median CPU time of REPS runs and as a
# ratio to a plain 640 x 480 x 16-bit memory copy measured in the same program.
set -euo pipefail
build="${1:-build}"
reps="${2:-7}"
cd "$build/game"
{
  ../bench/frame_costs_bench --benchmark_repetitions="$reps" \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null | sed 's/^/frame,/'
  ../bench/rules_bench --benchmark_repetitions="$reps" \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null | sed 's/^/rules,/'
  if [ -x ../bench/sdl_present_bench ]; then
    ../bench/sdl_present_bench --benchmark_repetitions="$reps" \
      --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null | sed 's/^/sdl,/'
  fi
} | awk -F, '
  function ns(t, unit) {
    if (unit == "us") return t * 1e3
    if (unit == "ms") return t * 1e6
    if (unit == "s") return t * 1e9
    return t
  }
  $2 ~ /_median"?$/ {
    name = $2; gsub(/"|_median/, "", name)
    if ($10 == "true") { failed[$1, name] = $11; next }
    cost[$1, name] = ns($5, $6)
    order[++n] = $1 SUBSEP name
  }
  END {
    printf "%-20s %12s %10s %14s\n", "benchmark", "median", "copies", "frames/s"
    for (i = 1; i <= n; ++i) {
      split(order[i], key, SUBSEP)
      t = cost[key[1], key[2]]; base = cost[key[1], "BM_ScreenCopy"]
      if (t >= 1e6) shown = sprintf("%.1f ms", t / 1e6); else shown = sprintf("%.1f us", t / 1e3)
      printf "%-20s %12s %10.2f %14.0f\n", key[2], shown, t / base, 1e9 / t
    }
    for (k in failed) { split(k, key, SUBSEP); printf "%-20s failed: %s\n", key[2], failed[k] }
  }'
