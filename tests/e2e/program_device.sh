#!/usr/bin/env bash
# End to end, as a user runs the tool: on a display of its own (Xvfb, no window manager), starts
# the built executable beside a config.inf of its own, types values into the form, programs them,
# and checks what a device reading the screen decodes: the panel sampler watches the two panels
# from another process and feeds the swap times to the reference receiver.
#
#   program_device.sh UNIVERSAL_PROGRAMMER PANEL_SAMPLER PANEL_PROBE [CAPTURE.swaps]
#
# Exits 0 when the decoded packet is exactly the one for the typed values, 77 when Xvfb,
# xdotool, xprop or xwininfo is missing (a skip), anything else on failure.
# With CAPTURE.swaps, the swap times of the decoded run are kept there, with the values the device
# must store, for the firmware's simulation to replay.
set -euo pipefail

usage="usage: program_device.sh UNIVERSAL_PROGRAMMER PANEL_SAMPLER PANEL_PROBE [CAPTURE.swaps]"
app_binary=${1:?$usage} sampler=${2:?$usage} probe=${3:?$usage}
capture=${4:-}
[ -z "$capture" ] || rm -f "$capture"  # a capture left from an earlier run proves nothing
source "$(dirname "${BASH_SOURCE[0]}")/../lib/tool.sh"
e2e_begin

readonly app_name="E2E Loader"
readonly app_width=360 app_height=260
# The values typed into the boxes, in row order; an empty one is cleared and left empty.
readonly values=(12 300 -1 0 255 "")

write_config "$work/config.inf" "$app_name" "\"$app_width\" \"$app_height\"" "${#values[@]}"

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

# Opens the programming dialog, watches one transmission and closes the dialog again. Sets
# `result` to the sampler's line; returns the sampler's status.
program_once() {
  click_program
  find_program_dialog 20 || fail "the programming dialog did not appear after Program"
  start_sampler --swaps "$swaps" --timeout-ms 30000 --record "$work/run.swaps"
  click_start  # three seconds of countdown, then the packet
  wait_sampler 40
  result=$sampler_out

  # Done ends the dialog once the transmission is over: the last swap is followed by one start
  # duration (50 ms), and then Start is usable again. While it still runs (a failed run), Done
  # cancels it first.
  wait_until 10 start_usable || true
  local _
  for _ in 1 2 3; do
    click_done
    wait_until 3 program_dialog_gone && break
  done
  program_dialog_gone || fail "the programming dialog did not close on Done"
  return "$sampler_status"
}

# Keeps the decoded run's swap times in FILE as a swap-time file: what the receiver reports, the
# setting values as the packet carries them (hex), then the times.
keep_capture() {
  local file=$1 hex=${expected:4:$((2 * count))}
  mkdir -p "$(dirname "$file")"
  {
    echo "# The typed values ${values[*]@Q}, programmed on an Xvfb screen and captured there."
    echo "# events: PACKET"
    echo "# values: $(sed 's/../& /g; s/ $//' <<<"$hex")"
    cat "$work/run.swaps"
  } >"$file.part"
  mv "$file.part" "$file"
  echo "swap times kept in $file"
}

program_device() {
  # Started from another folder: the tool must find config.inf beside itself.
  start_tool "$work/config.inf"
  main_window=$(find_window "$app_name" 20)
  [ -n "$main_window" ] || fail "the main window \"$app_name\" did not appear"
  find_main_window 1
  if [ "$main_w" -ne "$app_width" ] || [ "$main_h" -ne "$app_height" ]; then
    fail "the main window is ${main_w}x${main_h}, config.inf asks for ${app_width}x${app_height}"
  fi

  local row
  for row in "${!values[@]}"; do type_into_box "$row" "${values[row]}"; done

  echo "expected packet=$expected ($swaps swaps)"
  expect_decoded_packet program_once "$expected"
  [ -z "$capture" ] || keep_capture "$capture"

  # --- Exit closes the main dialog and the process ends cleanly.
  click_exit
  wait_tool_exit 10 || fail "the tool did not end after Exit"
  [ "$tool_status" -eq 0 ] || fail "the tool ended with status $tool_status"
  echo "PASS: the device received $expected"
}

run_case "the device receives the typed values" 200 program_device
e2e_end
