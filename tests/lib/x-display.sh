# Shared by the tests that run the real tool on X: sourced, not run. The caller defines `work`
# (its scratch folder) and `fail MESSAGE` (report and exit) before it calls start_display.

# Exits 77 (CTest's skip) when one of the named commands is missing.
require_tools() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null; then
      echo "skipped: $tool is not installed (scripts/install-deps.sh installs it)"
      exit 77
    fi
  done
}

# Ends each process given by its id, in the order given, and waits for it; empty ids are passed
# over.
stop_processes() {
  local pid
  for pid in "$@"; do
    [ -n "$pid" ] || continue
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
}

# Polls COMMAND... every 0.1 s for up to SECONDS (whole or with a fraction) of real time; false
# when it never succeeded. The deadline is on the clock, not a count of polls: on a loaded
# machine each poll can take longer than its interval.
wait_until() {
  local deadline
  deadline=$(micros_after "$1")
  shift
  while :; do
    "$@" && return 0
    ((${EPOCHREALTIME/./} < deadline)) || return 1
    sleep 0.1
  done
}

# Prints the clock ($EPOCHREALTIME, in microseconds) SECONDS from now.
micros_after() {
  local whole=${1%.*} fraction=000000
  [[ $1 == *.* ]] && fraction="${1#*.}000000"
  echo $((${EPOCHREALTIME/./} + 10#$whole * 1000000 + 10#${fraction:0:6}))
}

# Runs COMMAND... in the real-time class where that is permitted (as root), else as it is; called
# in the background, $! is the command's own pid. For the stand-ins of hardware and of a system's
# kernel, which the tool's swaps must never queue behind here: a screen's scanout and a device's
# processor do not wait for this machine's processes, but Xvfb and the panel sampler do. Left in
# the normal class, swaps the tool drew on time reached the sampler 20 to 70 ms late under Wine,
# whose helper processes wake in bursts (one run in three of the Windows build, machine idle).
run_real_time() {
  if chrt -f 1 true 2>/dev/null; then exec chrt -f 1 "$@"; fi
  exec "$@"
}

# A display of our own: Xvfb picks a free number and writes it to fd 3 once it accepts clients.
# Sets xvfb_pid and DISPLAY, and points Qt at it with none of a desktop's theme or scaling from
# the caller's environment. -noreset: by default the server resets when its last client leaves
# (between two cases, or two xdotool calls with no tool running), and a client that connects
# during the reset is refused ("could not connect to display": 2 of 90 launches of the tool one
# after another, against 0 of 180 with -noreset).
start_display() {
  run_real_time Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  display_ready() { grep -qx '[0-9]\+' "$work/display" 2>/dev/null || ! kill -0 "$xvfb_pid"; }
  wait_until 20 display_ready || fail "Xvfb did not report a display number in 20 s"
  kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(cat "$work/display")"
  export QT_QPA_PLATFORM=xcb
  unset WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_FONT_DPI \
    QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR
  export XDG_RUNTIME_DIR="$work/runtime"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
}

# For a script that runs the tool once: a scratch folder `work`, removed at exit with the tool
# (`app_pid`) and the display (`xvfb_pid`) ended first, also when a timeout ends the script; and
# `fail MESSAGE`, which reports with the tool's output (`$work/app.log`) and exits 1.
begin_scratch() {
  work=$(mktemp -d)
  xvfb_pid="" app_pid=""
  trap 'stop_processes "$app_pid" "$xvfb_pid"; rm -rf "$work"' EXIT
  trap 'exit 1' HUP INT TERM
  fail() {
    echo "FAIL: $*" >&2
    if [ -s "$work/app.log" ]; then
      echo "--- the tool's output:" >&2
      cat "$work/app.log" >&2
    fi
    exit 1
  }
}

# Runs RUN (a function that programs the device once, sets `result` to the panel sampler's line
# and returns the sampler's status) and fails unless the receiver decoded exactly the packet
# EXPECTED (hex). Only a decode that failed outright is retried, once (decode_attempts runs in
# all): a loaded machine can stretch a swap past the receiver's tolerance. A valid packet with the
# wrong values is a fault, never retried.
decode_attempts=2
expect_decoded_packet() {
  local run=$1 expected=$2 status=0 attempt
  "$run" || status=$?
  for ((attempt = 2; status != 0 && attempt <= decode_attempts; attempt++)); do
    echo "run $((attempt - 1)) decoded no packet, retrying: $result"
    status=0
    "$run" || status=$?
  done
  echo "$result"
  [ "$status" -eq 0 ] || fail "the receiver decoded no valid packet (sampler status $status)"
  [[ $result == *" packet=$expected "* ]] ||
    fail "the receiver decoded another packet than the typed values give: expected $expected"
}
