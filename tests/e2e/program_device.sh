#!/usr/bin/env bash
# End to end, as a user runs the tool: on a display of its own (Xvfb, no window manager), starts
# the built executable beside a config.inf of its own, types values into the form, programs them,
# and checks what a device reading the screen decodes: the panel sampler watches the two panels
# from another process and feeds the swap times to the reference receiver.
#
#   program_device.sh UNIVERSAL_PROGRAMMER PANEL_SAMPLER
#
# Exits 0 when the decoded packet is exactly the one for the typed values, 77 when Xvfb or
# xdotool is missing (a skip), anything else on failure.
set -euo pipefail

app_binary=${1:?usage: program_device.sh UNIVERSAL_PROGRAMMER PANEL_SAMPLER}
sampler=${2:?usage: program_device.sh UNIVERSAL_PROGRAMMER PANEL_SAMPLER}

for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

readonly app_name="E2E Loader"
readonly app_width=360 app_height=260
# The values typed into the boxes, in row order; an empty one is cleared and left empty.
readonly values=(12 300 -1 0 255 "")
# The menu bar sits above the client area; Qt makes it about 19 px high with the default font.
# Every click is aimed at the middle of its control, so a few pixels either way still land.
readonly menu_bar=20
# The programming dialog's template size in dialog units (its buttons are placed in them too).
readonly dialog_units_w=230 dialog_units_h=165

work=$(mktemp -d)
xvfb_pid="" app_pid="" sampler_pid=""
cleanup() {
  local pid
  for pid in "$sampler_pid" "$app_pid" "$xvfb_pid"; do
    if [ -n "$pid" ]; then
      kill "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
    fi
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM  # cleans up when a timeout ends the test too

fail() {
  echo "FAIL: $*" >&2
  if [ -s "$work/app.log" ]; then
    echo "--- the tool's output:" >&2
    cat "$work/app.log" >&2
  fi
  exit 1
}

source "$(dirname "${BASH_SOURCE[0]}")/../lib/x-display.sh"
start_display
echo "display $DISPLAY"

# --- The tool in a folder of its own, with its config.inf beside it.
mkdir "$work/tool" "$work/elsewhere"
cp "$app_binary" "$work/tool/universal-programmer"
cat >"$work/tool/config.inf" <<EOF
AppName "$app_name"
AppSize "$app_width" "$app_height"
AppInfo "End-to-end test device"
EOF
for i in "${!values[@]}"; do
  printf 'ID "setting%d" "BYTE"\nName "Setting %d"\n' "$i" "$i" >>"$work/tool/config.inf"
done

# The packet the device must receive: sync, count, each value's low 8 bits, then the checksum.
count=${#values[@]}
expected=$(printf '55%02X' "$count")
checksum=$count
for value in "${values[@]}"; do
  byte=$(((${value:-0}) & 0xFF))
  expected+=$(printf '%02X' "$byte")
  checksum=$(((checksum + byte) & 0xFF))
done
expected+=$(printf '%02X' "$checksum")
swaps=$((10 * (count + 3)))

# Started from another folder: the tool must find config.inf beside itself.
(cd "$work/elsewhere" && exec "$work/tool/universal-programmer") >"$work/app.log" 2>&1 &
app_pid=$!

# Prints the id of the visible window named exactly NAME, waiting up to 20 s for it.
find_window() {
  timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1
}

# Sets X, Y, WIDTH, HEIGHT to a window's position and outer size (no frame without a manager).
window_geometry() {
  eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=[0-9]+$')"
}

# Clicks at screen coordinates. The server handles the move before the click, so no --sync (which
# can wait for seconds when the pointer is already there).
click_at() {
  xdotool mousemove "$1" "$2" click 1
}

main_window=$(find_window "$app_name") || true
[ -n "$main_window" ] || fail "the main window \"$app_name\" did not appear"
window_geometry "$main_window"
main_x=$X main_y=$Y main_w=$WIDTH main_h=$HEIGHT
if [ "$main_w" -ne "$app_width" ] || [ "$main_h" -ne "$app_height" ]; then
  fail "the main window is ${main_w}x${main_h}, config.inf asks for ${app_width}x${app_height}"
fi

# --- The form: each row's edit box is 50 x 20 at client (width - 60, 5 + 22 x row).
client_top=$((main_y + menu_bar))
for row in "${!values[@]}"; do
  click_at $((main_x + main_w - 60 + 25)) $((client_top + 5 + 22 * row + 10))
  xdotool key --clearmodifiers ctrl+a BackSpace
  if [ -n "${values[row]}" ]; then xdotool type --delay 20 -- "${values[row]}"; fi
done

# Sets point_x, point_y to the screen centre of the rectangle LEFT TOP WIDTH HEIGHT, in dialog
# units, of the programming dialog. The dialog's pixel size is its template size in dialog units,
# so it gives the size of a unit in the font in use.
dialog_point() {
  point_x=$((dialog_x + (2 * $1 + $3) * dialog_w / (2 * dialog_units_w)))
  point_y=$((dialog_y + (2 * $2 + $4) * dialog_h / (2 * dialog_units_h)))
}

dialog_closed() { [ -z "$(xdotool search --onlyvisible --name '^Program$' 2>/dev/null)" ]; }

# Opens the programming dialog, watches one transmission and closes the dialog again. Sets
# `result` to the sampler's line; returns the sampler's status.
program_once() {
  click_at $((main_x + 5 + 37)) $((client_top + main_h - 75 + 12))  # Program
  local dialog
  dialog=$(find_window "Program") || true
  [ -n "$dialog" ] || fail "the programming dialog did not appear after Program"
  window_geometry "$dialog"
  dialog_x=$X dialog_y=$Y dialog_w=$WIDTH dialog_h=$HEIGHT

  # The panels: left 10..W/2-2 and right W/2+2..W-10 across, both 70..H-10 down.
  local panel_y=$((dialog_y + (70 + dialog_h - 10) / 2))
  local left_x=$((dialog_x + (10 + dialog_w / 2 - 2) / 2))
  local right_x=$((dialog_x + (dialog_w / 2 + 2 + dialog_w - 10) / 2))
  rm -f "$work/ready"
  # Not niced: the sampler stands for a device with a processor of its own, and one starved by
  # other load on the machine would blame its own sampling delays on the tool.
  "$sampler" "$left_x" "$panel_y" "$right_x" "$panel_y" --ready "$work/ready" --swaps "$swaps" \
    --timeout-ms 30000 >"$work/sampler.out" 2>&1 &
  sampler_pid=$!
  wait_until 10 test -e "$work/ready" ||
    fail "the panel sampler did not start sampling: $(cat "$work/sampler.out")"

  dialog_point 7 25 50 14  # Start
  click_at "$point_x" "$point_y"  # three seconds of countdown, then the packet
  local status=0
  wait "$sampler_pid" || status=$?
  sampler_pid=""
  result=$(cat "$work/sampler.out")

  # Done ends the dialog once the transmission is over: the last swap is followed by one start
  # duration (50 ms). While it still runs (a failed run), Done cancels it first.
  sleep 0.5
  dialog_point 173 25 50 14  # Done
  local _
  for _ in 1 2 3; do
    click_at "$point_x" "$point_y"
    wait_until 3 dialog_closed && break
  done
  dialog_closed || fail "the programming dialog did not close on Done"
  return "$status"
}

echo "expected packet=$expected ($swaps swaps)"
status=0
program_once || status=$?
if [ "$status" -ne 0 ]; then
  # Only a decode that failed outright is retried, once: a loaded machine can stretch a swap past
  # the receiver's tolerance. A valid packet with the wrong values is a fault, never retried.
  echo "first run decoded no packet, retrying once: $result"
  status=0
  program_once || status=$?
fi
echo "$result"
[ "$status" -eq 0 ] || fail "the receiver decoded no valid packet (sampler status $status)"
[[ $result == *" packet=$expected "* ]] ||
  fail "the receiver decoded another packet than the typed values give: expected $expected"

# --- Exit closes the main dialog and the process ends cleanly.
click_at $((main_x + main_w - 85 + 37)) $((client_top + main_h - 75 + 12))
app_ended() { ! kill -0 "$app_pid" 2>/dev/null; }
wait_until 10 app_ended || fail "the tool did not end after Exit"
app_status=0
wait "$app_pid" || app_status=$?
app_pid=""
[ "$app_status" -eq 0 ] || fail "the tool ended with status $app_status"
echo "PASS: the device received $expected"
