#!/usr/bin/env bash
# Swap timing on a Wayland compositor against the same packet drawn straight on X, alternating in
# one sitting. Three series, one run of each in turn, RUNS times:
#   xvfb         the programming dialog on the Xvfb display itself;
#   weston       the dialog on Weston (nested in that Xvfb, pixman renderer), nothing else drawing;
#   weston-busy  the same, with an animated client beside it (weston-simple-shm), so that the
#                compositor repaints every frame instead of once per swap.
# Each run is the real dialog over a 20-byte packet (bench_programdialog, 200 swaps), watched by
# the panel sampler on the X display (for Weston, its output window). For the Weston runs the
# compositor's timeline (`weston --debug`, `weston-debug timeline`) is kept too: every surface
# commit and every repaint with its time, to tell a swap the tool committed late from one the
# compositor showed late.
#   bench/run-wayland.sh [BUILD_DIR] [RUNS] [OUT_DIR]
# OUT_DIR (default: a new folder under /tmp) keeps every run's files; bench/wayland_report.py
# reads them and prints the tables.
set -euo pipefail
build=${1:-build}
runs=${2:-5}
out=${3:-$(mktemp -d /tmp/wayland-bench.XXXXXX)}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

for tool in Xvfb weston weston-debug weston-simple-shm xdotool import convert python3; do
  command -v "$tool" >/dev/null || {
    echo "$tool is not installed (scripts/install-deps.sh installs all but python3)" >&2
    exit 2
  }
done
mkdir -p "$out"
work=$(mktemp -d)
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
source "$here/../tests/lib/x-display.sh"  # start_display, wait_until, stop_processes
xvfb_pid="" weston_pid="" busy_pid="" timeline_pid=""
cleanup() {
  stop_processes "$timeline_pid" "$busy_pid" "$weston_pid" "$xvfb_pid"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

start_display
cat >"$work/weston.ini" <<EOF
[core]
idle-time=0

[shell]
panel-position=none
background-color=0xff204060
locking=false
startup-animation=none
close-animation=none
EOF
socket="wayland-bench-$$"
weston --config="$work/weston.ini" --backend=x11-backend.so --use-pixman --debug \
  --socket="$socket" --width=1024 --height=768 --idle-time=0 >"$out/weston.log" 2>&1 &
weston_pid=$!
output=$(timeout 20 xdotool search --sync --onlyvisible --class '^Weston' | head -n 1) || true
[ -n "$output" ] || fail "Weston did not open its output window"
eval "$(xdotool getwindowgeometry --shell "$output" | grep -E '^(X|Y)=[0-9]+$')"
output_x=$X output_y=$Y
# Keep the pointer off the panels and inside the output, as in the end-to-end test.
xdotool mousemove $((output_x + 1020)) $((output_y + 760))

# Prints "lx ly rx ry": the centres of the two panels on the X display, from a screenshot of the
# compositor's output: the left panel is the only large pure black area there while the dialog
# waits to start, and the right one is the same size, 4 px to its right.
find_panels() {
  import -window "$output" "$work/screen.png" 2>/dev/null || return 1
  local box
  box=$(convert "$work/screen.png" -fill white +opaque black -negate -morphology Open Square:12 \
    -format '%@' info: 2>/dev/null)
  [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
  local w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]}
  ((w >= 25 && h >= 25)) || return 1
  x=$((output_x + x)) y=$((output_y + y))
  echo "$((x + w / 2)) $((y + h / 2)) $((x + w + 4 + w / 2)) $((y + h / 2))"
}

# One run of SERIES, number N: leaves N-SERIES.{requests,swaps,sampler,request}, and for Weston
# N-SERIES.timeline, in the output folder.
run_once() {
  local series=$1 n=$2 name="$out/$2-$1"
  rm -f "$work/ready" "$work/app.out"
  local app_env=(env QT_QPA_PLATFORM=xcb)
  if [ "$series" != xvfb ]; then
    app_env=(env -u DISPLAY QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY="$socket")
    WAYLAND_DISPLAY="$socket" weston-debug timeline -o "$name.timeline" 2>/dev/null &
    timeline_pid=$!
  fi
  if [ "$series" = weston-busy ]; then
    WAYLAND_DISPLAY="$socket" weston-simple-shm >/dev/null 2>&1 &
    busy_pid=$!
  fi
  "${app_env[@]}" "$build/bench/bench_programdialog" --wait-for "$work/ready" \
    --record "$name.requests" >"$work/app.out" 2>"$work/app.err" &
  local app=$!
  local panels=""
  if [ "$series" = xvfb ]; then
    wait_until 20 grep -q '^PANELS' "$work/app.out" || fail "$series: the dialog did not start"
    panels=$(sed -n 's/^PANELS //p' "$work/app.out")
  else
    # On Wayland the dialog's position is the compositor's: find the panels on screen.
    panels_shown() { panels=$(find_panels); }
    wait_until 20 panels_shown || fail "$series: no panels on the compositor's output"
  fi
  read -r lx ly rx ry <<<"$panels"
  local status=0
  "$build/bench/panel_sampler" "$lx" "$ly" "$rx" "$ry" --ready "$work/ready" --swaps 200 \
    --timeout-ms 60000 --record "$name.swaps" >"$name.sampler" || status=$?
  wait "$app" || true
  grep '^REQUEST' "$work/app.out" >"$name.request" || true
  stop_processes "$busy_pid" "$timeline_pid"
  busy_pid="" timeline_pid=""
  echo "run $n $series: $(cat "$name.sampler") (sampler status $status)"
}

for n in $(seq 1 "$runs"); do
  for series in xvfb weston weston-busy; do
    run_once "$series" "$n"
  done
done
echo "files in $out"
python3 "$here/wayland_report.py" "$out"
