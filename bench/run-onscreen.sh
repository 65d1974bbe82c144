#!/usr/bin/env bash
# Swap timing at both levels, over a 20-byte packet (200 swaps):
#  - request: when the transmit loop asked for each swap (the dialog's own timestamps);
#  - screen: the real programming dialog on an Xvfb display, its two panels sampled from another
#    process by the panel sampler, decoded by the reference receiver.
# RUNS runs on the machine as it is, then RUNS more with one core kept busy by another process.
#   bench/run-onscreen.sh [BUILD_DIR] [RUNS]
# Environment: XVFB_OPTIONS, SAMPLER_OPTIONS (e.g. "--rate 0" to sample flat out), and
# REALTIME_DISPLAY=1 to run Xvfb and the sampler at real-time priority (root only), as a desktop
# display server that asks for it runs, and as a device's sensor costs the machine nothing.
set -euo pipefail
build=${1:-build}
runs=${2:-10}
work=$(mktemp -d)
busy=""
cleanup() {
  [ -n "$busy" ] && kill "$busy" 2>/dev/null
  kill $(jobs -p) 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
realtime=()
[ "${REALTIME_DISPLAY:-0}" = 1 ] && realtime=(chrt -f 5)
# -noreset: a server that resets when its last client leaves refuses a client that connects
# meanwhile, as each run's new tool does after the last one ended.
"${realtime[@]}" Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset ${XVFB_OPTIONS:-} \
  >/dev/null 2>&1 &
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"

run_series() {
  local label=$1
  for run in $(seq 1 "$runs"); do
    rm -f "$work/ready"
    "$build/bench/bench_programdialog" --wait-for "$work/ready" >"$work/app.out" 2>/dev/null &
    local app=$!
    for _ in $(seq 1 200); do grep -q '^PANELS' "$work/app.out" 2>/dev/null && break; sleep 0.05; done
    read -r _ lx ly rx ry < <(grep '^PANELS' "$work/app.out")
    local screen
    screen=$("${realtime[@]}" "$build/bench/panel_sampler" "$lx" "$ly" "$rx" "$ry" --ready "$work/ready" \
             ${SAMPLER_OPTIONS:-} --swaps 200 --timeout-ms 60000 || true)
    wait "$app" || true
    echo "$label run $run: SCREEN $screen" | tee -a "$work/results"
    echo "$label run $run: $(grep '^REQUEST' "$work/app.out")" | tee -a "$work/results"
  done
}

run_series idle
( while :; do :; done ) &
busy=$!
run_series busy
kill "$busy"
busy=""

# Per series and level: runs decoded, median of the runs' p50, worst p99 and worst max (us).
echo
awk '{
  series = $1; level = $4
  for (i = 5; i <= NF; ++i) { split($i, kv, "="); v[kv[1]] = kv[2] }
  key = series " " level
  n[key]++
  if (level == "SCREEN" && v["result"] == "PACKET") ok[key]++
  if (level == "REQUEST" && v["swaps"] == 200) ok[key]++
  p50[key, n[key]] = v["err_p50_us"] + 0
  if (v["err_p99_us"] + 0 > p99[key]) p99[key] = v["err_p99_us"] + 0
  if (v["err_max_us"] + 0 > mx[key]) mx[key] = v["err_max_us"] + 0
  if (level == "REQUEST" && (v["span_error_percent"] < 0 ? -v["span_error_percent"] : v["span_error_percent"]) > span[key]) span[key] = (v["span_error_percent"] < 0 ? -v["span_error_percent"] : v["span_error_percent"])
}
END {
  for (key in n) {
    m = n[key]; for (i = 1; i <= m; ++i) a[i] = p50[key, i]
    for (i = 1; i <= m; ++i) for (j = i + 1; j <= m; ++j) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
    line = sprintf("%-14s runs=%d ok=%d p50(median)=%.1f p99(worst)=%.1f max(worst)=%.1f", key, m, ok[key], a[int((m + 1) / 2)], p99[key], mx[key])
    if (key ~ /REQUEST/) line = line sprintf(" span_error(worst)=%.4f%%", span[key])
    print line
  }
}' "$work/results" | sort
