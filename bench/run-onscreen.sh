#!/usr/bin/env bash
# Swap timing on screen: the real programming dialog under Xvfb, watched from another process by
# the panel sampler, 10 runs on an idle machine and 10 with one core kept busy.
#   bench/run-onscreen.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-10}
display=:77
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb $display -screen 0 1280x1024x24 -nolisten tcp ${XVFB_OPTIONS:-} >/dev/null 2>&1 &
sleep 1
export DISPLAY=$display

run_series() {
  local label=$1
  for run in $(seq 1 "$runs"); do
    rm -f "$work/ready"
    "$build/bench/bench_programdialog" --wait-for "$work/ready" >"$work/app.out" 2>/dev/null &
    local app=$!
    for _ in $(seq 1 200); do grep -q '^PANELS' "$work/app.out" 2>/dev/null && break; sleep 0.05; done
    read -r _ lx ly rx ry < <(grep '^PANELS' "$work/app.out")
    local screen
    screen=$("$build/bench/panel_sampler" "$lx" "$ly" "$rx" "$ry" --ready "$work/ready" ${SAMPLER_OPTIONS:-} \
             --swaps 200 --timeout-ms 60000 || true)
    wait "$app" || true
    echo "$label run $run: SCREEN $screen"
    echo "$label run $run: $(grep '^REQUEST' "$work/app.out")"
  done
}

run_series idle
# One core kept busy by another process for the second series.
( while :; do :; done ) &
busy=$!
run_series busy
kill $busy
