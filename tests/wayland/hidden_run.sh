#!/usr/bin/env bash
# A run whose dialog the user hides on Wayland, where the compositor no longer draws it and sends
# it no frame callbacks (Qt then stops painting it). The run must keep its own time and never wait
# for the screen:
#  - switched to another workspace from just after the first swaps until after the packet's
#    nominal end: once shown again the panels hold still in their resting colours, and Escape
#    (ignored while a run is in progress) closes the dialog: the run ended on time unseen;
#  - minimised with its title bar's button for a second mid-run, then brought back with
#    Super+Tab: the panels swap on, and a click on Cancel stops them long before the packet's end.
#
#   hidden_run.sh UNIVERSAL_PROGRAMMER PANEL_SAMPLER QT_PLUGIN_DIR
#
# Exits 0 on success, 77 (a skip) when something it needs is missing (tests/lib/weston.sh).
set -euo pipefail

usage="usage: hidden_run.sh UNIVERSAL_PROGRAMMER PANEL_SAMPLER QT_PLUGIN_DIR"
app_binary=${1:?$usage}
sampler=${2:?$usage}
qt_plugins=${3:?$usage}

source "$(dirname "${BASH_SOURCE[0]}")/../lib/x-display.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../lib/weston.sh"
require_weston "$qt_plugins"

# Sixteen empty settings: the packet is 55 10, sixteen zero bytes and the checksum 10, so a run
# lasts three seconds of countdown and then (700 + 550 + 16 x 500 + 550) ms of swaps: long enough
# that a cancelled run is told from one that ended, on a loaded machine too.
readonly settings=16 countdown_ms=3000 packet_ms=9800

begin_wayland_scratch

start_display
start_weston 'num-workspaces=2'

start_tool_on_wayland "Hidden Run" 300 480 "$settings"
main_shown() { screenshot main && parse_box "$(changed_box desktop main)" && ((BOX_W > 0)); }
wait_until 30 main_shown || fail "the tool's window did not appear on Wayland"
main_box="${BOX_W}x28+${BOX_X}+${BOX_Y}"  # its title bar

# Sets the panel sample points (output coordinates) from the dialog on screen, and `cancel_x` and
# `cancel_y`, the middle of Cancel: its dialog units scaled by the client area, which the panels
# give (the left one spans (10, 70) to (W / 2 - 2, H - 10) of it).
locate_dialog() {
  local panel
  panel=$(find_left_panel) || fail "the programming dialog did not show its panels"
  parse_box "$panel"
  client_x=$((BOX_X - 10)) client_y=$((BOX_Y - 70))
  client_w=$((2 * (BOX_W + 12))) client_h=$((BOX_H + 80))
  panel_y=$((BOX_Y + BOX_H / 2)) left_x=$((BOX_X + BOX_W / 2))
  right_x=$((left_x + BOX_W + 4))
  cancel_x=$((client_x + client_w * (173 + 25) / 230))
  cancel_y=$((client_y + client_h * (25 + 7) / 165))
}

# Sets `minimise_x` and `minimise_y`, the middle of the minimise button of the dialog's title bar,
# which Qt draws in the band above the client area.
locate_minimise_button() {
  screenshot titlebar || fail "no screenshot of the dialog's title bar"
  local buttons
  buttons=$(title_buttons titlebar $((client_w + 20)) 32 $((client_x - 10)) $((client_y - 32)))
  read -r minimise_x minimise_y <<<"$(head -n 1 <<<"$buttons")"
  [ -n "${minimise_y:-}" ] || fail "found no buttons in the dialog's title bar"
}

# Prints how many swaps the panels show within MILLISECONDS, stopping after MAX swaps.
swaps_within() {
  local line
  line=$("$sampler" $((output_x + left_x)) $((output_y + panel_y)) $((output_x + right_x)) \
    $((output_y + panel_y)) --timeout-ms "$1" --swaps "$2" --idle-ms 100000 2>/dev/null) || true
  [[ $line =~ ^swaps=([0-9]+) ]] || fail "the panel sampler failed: $line"
  echo "${BASH_REMATCH[1]}"
}
# While the dialog shows, one of its panels is black, whatever the run is doing; where it does
# not, neither spot is (the desktop, or the main window's form behind the dialog).
panel_black_in() {
  [ "$(pixel_at "$1" "$left_x" "$panel_y")" = 000000 ] ||
    [ "$(pixel_at "$1" "$right_x" "$panel_y")" = 000000 ]
}
dialog_hidden() { screenshot hidden && ! panel_black_in hidden; }
dialog_shown() { screenshot shown && panel_black_in shown; }
show_workspace() {
  xdotool key "super+F$1"
  if [ "$1" = 2 ]; then
    wait_until 5 dialog_hidden || fail "the dialog still shows on the other workspace"
  else
    wait_until 5 dialog_shown || fail "the dialog did not show again on its workspace"
  fi
}
# Starts a run and returns once the panels have swapped three times; sets `started` (ms).
start_run() {
  xdotool key Return  # Start, the dialog's default button
  started=$((${EPOCHREALTIME/./} / 1000))
  local seen
  seen=$(swaps_within $((countdown_ms + 3000)) 3)
  [ "${seen:-0}" -ge 3 ] || fail "the run did not start swapping the panels (${seen:-0} swaps)"
}
ms_since_start() { echo $((${EPOCHREALTIME/./} / 1000 - started)); }

# --- Hidden until after the run's end.
xdotool key Return  # Program, the main window's default button
locate_dialog
start_run
show_workspace 2
hidden_at=$(ms_since_start)
show_after_ms=$((countdown_ms + packet_ms + 1500))
ran_long() { (($(ms_since_start) >= show_after_ms)); }
wait_until 30 ran_long || fail "the clock did not reach $show_after_ms ms"
show_workspace 1
echo "hidden from ${hidden_at} ms after Start to $(ms_since_start) ms; the packet ends at" \
  "$((countdown_ms + packet_ms)) ms"
moving=$(swaps_within 1500 1)
[ "${moving:-0}" -eq 0 ] ||
  fail "the panels still swap $(ms_since_start) ms after Start: the run waited while hidden"
screenshot after
if [ "$(pixel_at after "$left_x" "$panel_y")" != 000000 ] ||
  [ "$(pixel_at after "$right_x" "$panel_y")" != ffffff ]; then
  fail "after the run the panels are not back to black and white"
fi
xdotool key Escape  # Done: Escape is ignored while a run is in progress
dialog_closed() { no_left_panel; }
wait_until 5 dialog_closed || fail "Escape did not close the dialog after the hidden run"

# --- Minimised for a second, then cancelled.
xdotool key Return
locate_dialog
locate_minimise_button
start_run
click_until "$minimise_x" "$minimise_y" 5 dialog_hidden ||
  fail "the dialog still shows after a click on its minimise button"
hidden_for_a_second() { (($(ms_since_start) >= countdown_ms + 1500)); }
wait_until 10 hidden_for_a_second || fail "the clock did not move on"
# Weston's window switcher brings it back: Super held, Tab until the dialog is the one chosen
# (the main window may come first).
restored=""
for tabs in Tab "Tab Tab" "Tab Tab Tab"; do
  # shellcheck disable=SC2086 # one key name per Tab
  xdotool keydown super key $tabs keyup super
  wait_until 2 dialog_shown && { restored=yes; break; }
done
[ -n "$restored" ] || fail "Super+Tab did not bring the minimised dialog back"
moving=$(swaps_within 1500 2)
[ "${moving:-0}" -ge 2 ] || fail "shown again mid-run, the panels did not swap on"
clicked_at=$(ms_since_start)
panels_still() { [ "$(swaps_within 800 1)" = 0 ]; }
click_until "$cancel_x" "$cancel_y" 5 panels_still ||
  fail "Cancel, clicked $clicked_at ms after Start, did not stop the run"
stopped_at=$(ms_since_start)
((stopped_at < countdown_ms + packet_ms)) ||
  fail "the run went on to its end ($stopped_at ms after Start): Cancel did not stop it"
echo "cancelled at $clicked_at ms after Start, the panels still by $stopped_at ms"
xdotool key Escape
wait_until 5 dialog_closed || fail "Escape did not close the dialog after Cancel"

# As a person does, wait for the main window to show itself active again before the keyboard
# goes to it: the compositor gives it the focus only after the dialog is gone.
wait_until 5 title_active "$main_box" ||
  fail "the main window is not active after the dialog closed"
exit_with_escape
echo "PASS: hidden on another workspace or minimised, the run kept its time and Cancel still worked"
