#!/usr/bin/env bash
# The tool on a Wayland compositor without a seat (no keyboard and no pointer at all), as in a
# kiosk or a remote session that starts without input devices: Weston's headless backend. The tool
# must come up, show its form with the first box focused, and stay up while that box's caret
# blinks (each blink repaints the box, and the toolkit asks the missing seat for the typing
# direction).
#
#   no_seat.sh UNIVERSAL_PROGRAMMER QT_PLUGIN_DIR
#
# Exits 0 on success, 77 (a skip) when Weston, its screenshooter, Qt's wayland plugin or
# ImageMagick is missing, anything else on failure.
set -euo pipefail

usage="usage: no_seat.sh UNIVERSAL_PROGRAMMER QT_PLUGIN_DIR"
app_binary=${1:?$usage}
qt_plugins=${2:?$usage}

source "$(dirname "${BASH_SOURCE[0]}")/../lib/x-display.sh"  # wait_until, stop_processes
source "$(dirname "${BASH_SOURCE[0]}")/../lib/weston.sh"
require_weston "$qt_plugins" headless

readonly settings=3
# How long the form must stay up once shown: several blinks of the caret (about 0.5 s each).
readonly stay_up_seconds=3
begin_wayland_scratch
start_headless_weston

start_tool_on_wayland "No Seat" 300 200 "$settings"

still_running() {
  kill -0 "$app_pid" 2>/dev/null && return 0
  local status=0
  wait "$app_pid" || status=$?
  app_pid=""
  fail "the tool ended on a compositor without a seat (status $status$( ((status > 128)) &&
    echo ", signal $((status - 128))"))"
}
form_shown() {
  still_running
  screenshot main || return 1
  parse_box "$(changed_box desktop main)" && ((BOX_W > 0)) || return 1
  [ "$(count_edit_boxes main "${BOX_W}x${BOX_H}+${BOX_X}+${BOX_Y}")" -eq "$settings" ]
}
wait_until 30 form_shown || fail "the form with its $settings boxes did not appear"
echo "the form shows at ${BOX_W}x${BOX_H}+${BOX_X}+${BOX_Y}"
# Staying up is a matter of time: the caret blinks and repaints its box all the while.
up_until=$(micros_after "$stay_up_seconds")
while ((${EPOCHREALTIME/./} < up_until)); do
  still_running
  sleep 0.2
done
form_shown || fail "the form no longer shows after $stay_up_seconds s"
echo "PASS: without a seat the tool shows its form and stays up"
