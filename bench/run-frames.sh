#!/usr/bin/env bash
# Swap timing with and without planning for frames, on displays that show frames and on one that
# does not, alternating in one sitting. Per round, one run of each series in turn:
#   DISPLAY-counter  the run timed by the counter alone (bench_programdialog --counter-only), as
#                    the tool did before it planned for frames;
#   DISPLAY-frames   the tool as it is: each swap planned for a frame where the frames are known.
# The displays:
#   headless     Weston's headless backend, with an animated client beside the dialog
#                (weston-simple-shm), so that it repaints every frame on its own timer (about
#                39 Hz); each swap's time on screen is the presentation time ("vblank") of the
#                repaint that took the dialog's commit, from the compositor's timeline;
#   headless57   the same with the shortest repaint rhythm the headless backend keeps steadily
#                (repaint-window=16: about 57.5 Hz; it has no mode to set);
#   x11-busy     Weston's X11 backend nested in Xvfb, busy in the same way (about 51 Hz), its
#                output watched by the panel sampler;
#   xvfb         the dialog straight on Xvfb, which shows drawing at once: no frames, so both
#                series take the same path, and their difference is the noise of the machine.
# Each run is the real dialog over a 20-byte packet (200 swaps). The tool (all its threads, the
# one that reads the compositor's events too), the compositors, Xvfb, the compositor's timeline
# reader and the panel sampler run at the lowest real-time priority where permitted (as a
# desktop's compositor schedules its frames, and as a device watches the screen whatever the
# machine does): on a loaded machine an ordinary priority wakes a frame timer up to a scheduler
# tick late, and Xvfb, which the X11 backend draws into, stalls it for up to hundreds of ms.
#   bench/run-frames.sh [BUILD_DIR] [RUNS] [OUT_DIR] [DISPLAYS...]
# bench/frames_report.py OUT_DIR prints the tables (python3).
set -euo pipefail
build=${1:-build}
runs=${2:-5}
out=${3:-$(mktemp -d /tmp/frames-bench.XXXXXX)}
shift $(($# < 3 ? $# : 3))
displays=("$@")
[ ${#displays[@]} -gt 0 ] || displays=(headless headless57 x11-busy xvfb)
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
xvfb_pid="" busy_pid="" timeline_pid="" compositors=()
cleanup() {
  stop_processes "$timeline_pid" "$busy_pid" "${compositors[@]}" "$xvfb_pid"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

realtime=()
chrt -f 1 true 2>/dev/null && realtime=(chrt -f 1)

start_display
[ ${#realtime[@]} -eq 0 ] || chrt -f -p 1 "$xvfb_pid"
# One compositor per display, each with its own socket: SOCKET INI_EXTRA BACKEND_ARGS...
start_weston() {
  local socket=$1 extra=$2
  shift 2
  printf '[core]\nidle-time=0\n%b\n[shell]\npanel-position=none\nbackground-color=0xff204060\n%s\n' \
    "$extra" 'locking=false
startup-animation=none
close-animation=none' >"$work/$socket.ini"
  "${realtime[@]}" weston --config="$work/$socket.ini" --use-pixman --debug --socket="$socket" \
    --width=1024 --height=768 --idle-time=0 "$@" >"$out/$socket.log" 2>&1 &
  compositors+=($!)
}
start_weston "frames-headless-$$" "" --backend=headless-backend.so
start_weston "frames-headless57-$$" "repaint-window=16" --backend=headless-backend.so
start_weston "frames-x11-$$" "" --backend=x11-backend.so
socket_of() {
  case $1 in
    headless) echo "frames-headless-$$" ;;
    headless57) echo "frames-headless57-$$" ;;
    x11-busy) echo "frames-x11-$$" ;;
  esac
}
output=$(timeout 20 xdotool search --sync --onlyvisible --class '^Weston' | head -n 1) || true
[ -n "$output" ] || fail "Weston's X11 backend did not open its output window"
eval "$(xdotool getwindowgeometry --shell "$output" | grep -E '^(X|Y)=[0-9]+$')"
output_x=$X output_y=$Y
xdotool mousemove $((output_x + 1020)) $((output_y + 760))

# The centres of the two panels in the X11 backend's output window (as in run-wayland.sh).
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

# One run: leaves N-DISPLAY-PLAN.{requests,app,clocks} and, by display, .timeline (Weston) and
# .swaps and .sampler (the panel sampler, on X).
run_once() {
  local display=$1 plan=$2 n=$3 name="$out/$3-$1-$2"
  rm -f "$work/ready" "$work/app.out"
  local socket app_env=(env QT_QPA_PLATFORM=xcb) flags=()
  [ "$plan" = counter ] && flags=(--counter-only)
  socket=$(socket_of "$display")
  if [ -n "$socket" ]; then
    app_env=(env -u DISPLAY QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY="$socket")
    # The timeline's reader too: the compositor waits for it when its stream fills up.
    WAYLAND_DISPLAY="$socket" "${realtime[@]}" weston-debug timeline -o "$name.timeline" \
      2>/dev/null &
    timeline_pid=$!
    WAYLAND_DISPLAY="$socket" weston-simple-shm >/dev/null 2>&1 &
    busy_pid=$!
  fi
  python3 -c 'import time; print(time.clock_gettime_ns(time.CLOCK_MONOTONIC) // 1000 -
                time.clock_gettime_ns(time.CLOCK_MONOTONIC_RAW) // 1000)' >"$name.clocks"
  "${app_env[@]}" "${realtime[@]}" "$build/bench/bench_programdialog" --wait-for "$work/ready" \
    --record "$name.requests" "${flags[@]}" >"$work/app.out" 2>"$work/app.err" &
  local app=$!
  local panels="" status=0
  case $display in
    headless | headless57)
      # Nothing to watch from outside: the compositor's timeline tells what was shown when.
      sleep 1
      touch "$work/ready"
      ;;
    x11-busy)
      panels_shown() { panels=$(find_panels); }
      wait_until 20 panels_shown || fail "$display: no panels on the compositor's output"
      ;;
    xvfb)
      wait_until 20 grep -q '^PANELS' "$work/app.out" || fail "$display: the dialog did not start"
      panels=$(sed -n 's/^PANELS //p' "$work/app.out")
      ;;
  esac
  if [ -n "$panels" ]; then
    read -r lx ly rx ry <<<"$panels"
    "${realtime[@]}" "$build/bench/panel_sampler" "$lx" "$ly" "$rx" "$ry" --ready "$work/ready" \
      --swaps 200 --timeout-ms 60000 --record "$name.swaps" >"$name.sampler" || status=$?
  fi
  wait "$app" || true
  grep -E '^(REQUEST|FRAMES)' "$work/app.out" >"$name.app" || true
  stop_processes "$busy_pid" "$timeline_pid"
  busy_pid="" timeline_pid=""
  echo "run $n $display $plan: $(tr '\n' ' ' <"$name.app") $(cat "$name.sampler" 2>/dev/null)" \
    "(load $(cut -d' ' -f1-3 /proc/loadavg))"
}

for n in $(seq 1 "$runs"); do
  for display in "${displays[@]}"; do
    for plan in counter frames; do
      run_once "$display" "$plan" "$n"
    done
  done
done
echo "files in $out"
python3 "$here/frames_report.py" "$out" "$build/bench/decode_swaps"
