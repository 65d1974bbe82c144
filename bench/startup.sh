#!/usr/bin/env bash
# Start-up against a bare Qt dialog: PAIRS pairs, the tool and the dialog started in turn on one
# Xvfb display (-noreset, no window manager), each timed by startup_timer from the start of its
# process to its first mapped window. Which of the two goes first alternates from pair to pair,
# so that a slow moment of a shared machine lands on both alike.
#   bench/startup.sh [BUILD_DIR] [PAIRS]
# Prints each pair, then the medians, the ratio of the medians and the median of the pairs'
# ratios, the median processor time each spent up to its window (user and system: what a busy
# machine does not stretch) and the median peak resident set of each.
set -euo pipefail
build=${1:-build}
pairs=${2:-15}
timer=$build/bench/startup_timer
tool=$build/universal-programmer
bare=$build/bench/bare_dialog
for program in "$timer" "$tool" "$bare"; do
  [ -x "$program" ] || { echo "missing $program: build first (cmake --build --preset default)" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb=""
trap '[ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 200); do grep -qx '[0-9]\+' "$work/display" 2>/dev/null && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

# One warm-up start of each, not counted: the first start reads fonts and plug-ins from disk.
"$timer" "$tool" >/dev/null
"$timer" "$bare" >/dev/null

for pair in $(seq 1 "$pairs"); do
  if ((pair % 2)); then
    read -r tool_s tool_kib tool_cpu < <("$timer" "$tool")
    read -r bare_s bare_kib bare_cpu < <("$timer" "$bare")
  else
    read -r bare_s bare_kib bare_cpu < <("$timer" "$bare")
    read -r tool_s tool_kib tool_cpu < <("$timer" "$tool")
  fi
  echo "$pair $tool_s $bare_s $tool_kib $bare_kib $tool_cpu $bare_cpu" >>"$work/pairs"
  awk -v p="$pair" -v t="$tool_s" -v b="$bare_s" \
    'BEGIN {printf "pair %2d: tool %.1f ms, bare dialog %.1f ms\n", p, t * 1000, b * 1000}'
done

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
tool_median=$(awk '{print $2}' "$work/pairs" | median)
bare_median=$(awk '{print $3}' "$work/pairs" | median)
pair_ratio=$(awk '{print $2 / $3}' "$work/pairs" | median)
tool_rss=$(awk '{print $4}' "$work/pairs" | median)
bare_rss=$(awk '{print $5}' "$work/pairs" | median)
tool_cpu=$(awk '{print $6}' "$work/pairs" | median)
bare_cpu=$(awk '{print $7}' "$work/pairs" | median)
echo
awk -v t="$tool_median" -v b="$bare_median" -v r="$pair_ratio" -v tr="$tool_rss" -v br="$bare_rss" \
  -v tc="$tool_cpu" -v bc="$bare_cpu" -v n="$pairs" 'BEGIN {
  printf "%d pairs: tool median %.1f ms, bare dialog median %.1f ms, ratio %.2fx (median of the pairs: %.2fx)\n",
    n, t * 1000, b * 1000, t / b, r
  printf "processor time: tool %.1f ms, bare dialog %.1f ms, ratio %.2fx\n", tc * 1000, bc * 1000, tc / bc
  printf "peak RSS: tool %.1f MiB, bare dialog %.1f MiB\n", tr / 1024, br / 1024
}'
