#!/usr/bin/env bash
# The tool on Wayland, as a user runs it: the real executable with Qt's wayland platform (and no
# X display to fall back on), in a Weston compositor of the test's own. Checks that the form shows
# at the configured outer size, window decorations included, that the programming dialog has the
# same size as under X11, and that typed values are transmitted: a panel sampler decodes the
# packet from the compositor's output.
#
#   program_on_wayland.sh UNIVERSAL_PROGRAMMER PANEL_SAMPLER QT_PLUGIN_DIR
#
# Input: Weston's X11 backend, fed by xdotool through the test's own Xvfb (tests/lib/weston.sh).
#
# Exits 0 on success, 77 (a skip) when Weston, its screenshooter, Qt's wayland plugin, Xvfb,
# xdotool or ImageMagick is missing, anything else on failure.
set -euo pipefail

usage="usage: program_on_wayland.sh UNIVERSAL_PROGRAMMER PANEL_SAMPLER QT_PLUGIN_DIR"
app_binary=${1:?$usage}
sampler=${2:?$usage}
qt_plugins=${3:?$usage}

source "$(dirname "${BASH_SOURCE[0]}")/../lib/x-display.sh"  # stop_processes, the display
source "$(dirname "${BASH_SOURCE[0]}")/../lib/weston.sh"
require_weston "$qt_plugins"

readonly app_name="Wayland Loader"
readonly app_width=360 app_height=260
# The values typed into the boxes, in row order.
readonly values=(12 200 -1)
# The decorations are drawn by Qt (client side) and their look depends on the decoration plugin;
# the window's outer size must match config.inf within this many pixels each way, for
# anti-aliased rounded corners that may blend into the background on a row or column. Leaving
# the decorations out of the outer size is off by far more (a title bar is about 30 px).
readonly size_tolerance=2
begin_wayland_scratch

start_display  # sets DISPLAY, and XDG_RUNTIME_DIR to a private folder
echo "X display $DISPLAY"

# --- The tool in a folder of its own, with its config.inf beside it.
mkdir "$work/tool" "$work/elsewhere" "$work/shot"
cp "$app_binary" "$work/tool/universal-programmer"
{
  printf 'AppName "%s"\nAppSize "%d" "%d"\nAppInfo "Wayland test device"\n' \
    "$app_name" "$app_width" "$app_height"
  for i in "${!values[@]}"; do
    printf 'ID "setting%d" "BYTE"\nName "Setting %d"\n' "$i" "$i"
  done
} >"$work/tool/config.inf"

# The packet the device must receive: sync, count, each value's low 8 bits, then the checksum.
count=${#values[@]}
expected=$(printf '55%02X' "$count")
checksum=$count
for value in "${values[@]}"; do
  byte=$((value & 0xFF))
  expected+=$(printf '%02X' "$byte")
  checksum=$(((checksum + byte) & 0xFF))
done
expected+=$(printf '%02X' "$checksum")
swaps=$((10 * (count + 3)))

# --- Reference sizes under X11 (no window manager: a window is exactly its outer size).
(cd "$work/elsewhere" && exec "$work/tool/universal-programmer") >"$work/app.log" 2>&1 &
app_pid=$!
x11_window=$(timeout 20 xdotool search --sync --onlyvisible --name "^$app_name\$" | head -n 1) ||
  true
[ -n "$x11_window" ] || fail "under X11, the main window did not appear"
xdotool mousemove --window "$x11_window" 10 10  # the keyboard follows the pointer without a manager
xdotool key Return                              # Program, the default button
x11_dialog=$(timeout 20 xdotool search --sync --onlyvisible --name '^Program$' | head -n 1) || true
[ -n "$x11_dialog" ] ||
  fail "under X11, Enter in the main window did not open the programming dialog"
eval "$(xdotool getwindowgeometry --shell "$x11_dialog" | grep -E '^(WIDTH|HEIGHT)=[0-9]+$')"
x11_dialog_w=$WIDTH x11_dialog_h=$HEIGHT
eval "$(xdotool getwindowgeometry --shell "$x11_window" | grep -E '^(WIDTH|HEIGHT)=[0-9]+$')"
echo "under X11: main window ${WIDTH}x${HEIGHT}, programming dialog ${x11_dialog_w}x${x11_dialog_h}"
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true
app_pid=""

# --- Weston, nested in the X display.
start_weston

# --- The tool on Wayland: no X display to fall back on.
(cd "$work/elsewhere" &&
  exec env -u DISPLAY QT_QPA_PLATFORM=wayland \
    "$work/tool/universal-programmer") >"$work/app.log" 2>&1 &
app_pid=$!

# The main window is whatever changed on the desktop, once two screenshots agree on it.
last_box=""
window_settled() {
  kill -0 "$app_pid" 2>/dev/null || fail "the tool ended on Wayland before showing its window"
  screenshot main || return 1
  local box
  box=$(changed_box desktop main)
  parse_box "$box" && [ "$BOX_W" -gt 0 ] || return 1
  if [ "$box" = "$last_box" ]; then return 0; fi
  last_box=$box
  sleep 0.3
  return 1
}
wait_until 30 window_settled || fail "no window of the tool appeared on Wayland"
parse_box "$last_box"
main_x=$BOX_X main_y=$BOX_Y
echo "on Wayland: main window ${BOX_W}x${BOX_H} at +$BOX_X+$BOX_Y, decorations included"
if ((BOX_W < app_width - size_tolerance || BOX_W > app_width + size_tolerance ||
  BOX_H < app_height - size_tolerance || BOX_H > app_height + size_tolerance)); then
  fail "on Wayland the main window is ${BOX_W}x${BOX_H} with its decorations, config.inf asks" \
    "for ${app_width}x${app_height} (within $size_tolerance px)"
fi

# --- The form: its edit boxes are the window's white areas of about 50 x 20, top to bottom.
mapfile -t boxes < <(edit_boxes main "${BOX_W}x${BOX_H}+${main_x}+${main_y}")
[ "${#boxes[@]}" -eq "$count" ] ||
  fail "found ${#boxes[@]} edit boxes in the main window, config.inf has $count settings"
for row in "${!values[@]}"; do
  parse_box "${boxes[row]}"
  click_at $((main_x + BOX_X + BOX_W / 2)) $((main_y + BOX_Y + BOX_H / 2))
  xdotool key --clearmodifiers ctrl+a BackSpace
  xdotool type --delay 20 -- "${values[row]}"
done

# Opens the programming dialog from the keyboard, watches one transmission and closes the dialog
# again. Sets `result` to the sampler's line; returns the sampler's status.
program_once() {
  xdotool key Return  # in an edit box: the main window's default button, Program
  local panel
  panel=$(find_left_panel) || fail "the programming dialog did not show its panels after Enter"
  parse_box "$panel"
  # The left panel spans the client area from (10, 70) to (W / 2 - 2, H - 10).
  client_x=$((BOX_X - 10)) client_y=$((BOX_Y - 70))
  local width_half=$((BOX_W + 12))
  client_h=$((BOX_H + 80)) client_w=$((2 * width_half))
  echo "on Wayland: programming dialog client $((2 * width_half))x$client_h (or one wider)" \
    "at +$client_x+$client_y"
  if [ "$width_half" -ne $((x11_dialog_w / 2)) ] || [ "$client_h" -ne "$x11_dialog_h" ]; then
    fail "on Wayland the programming dialog's panels give a client area of" \
      "$((2 * width_half))x$client_h, under X11 it is ${x11_dialog_w}x${x11_dialog_h}"
  fi
  local panel_y=$((client_y + (70 + x11_dialog_h - 10) / 2))
  local left_x=$((client_x + (10 + x11_dialog_w / 2 - 2) / 2))
  local right_x=$((client_x + (x11_dialog_w / 2 + 2 + x11_dialog_w - 10) / 2))
  [ "$(pixel_at dialog "$right_x" "$panel_y")" = ffffff ] ||
    fail "the right panel is not white at ($right_x, $panel_y) before Start"

  rm -f "$work/ready"
  "$sampler" $((output_x + left_x)) $((output_y + panel_y)) \
    $((output_x + right_x)) $((output_y + panel_y)) --ready "$work/ready" --swaps "$swaps" \
    --timeout-ms 30000 >"$work/sampler.out" 2>&1 &
  sampler_pid=$!
  wait_until 10 test -e "$work/ready" ||
    fail "the panel sampler did not start sampling: $(cat "$work/sampler.out")"
  xdotool key Return  # Start, the dialog's default button: three seconds, then the packet
  local status=0
  wait "$sampler_pid" || status=$?
  sampler_pid=""
  result=$(cat "$work/sampler.out")

  # Escape is Done once the run is over, and does nothing while it runs (the last swap is followed
  # by 50 ms of it; a run that went wrong may still be swapping). The run is over when Start takes
  # keys again: its label turns from grey to black.
  wait_until 30 start_enabled || fail "Start was not enabled again after the run"
  xdotool key Escape
  wait_until 5 no_left_panel || fail "the programming dialog did not close on Escape"
  return "$status"
}
# Whether the programming dialog's Start button is enabled: the darkest pixel of its label (the
# middle of its dialog-unit box 7, 25, 50 x 14, scaled by the client area) is near black, not the
# grey of a disabled label.
start_enabled() {
  screenshot start || return 1
  local x=$((client_x + client_w * 22 / 230)) y=$((client_y + client_h * 29 / 165))
  local w=$((client_w * 20 / 230)) h=$((client_h * 6 / 165)) darkest
  darkest=$(convert "$work/start.png" -crop "${w}x${h}+${x}+${y}" -colorspace gray \
    -format '%[fx:int(255*minima)]' info: 2>/dev/null)
  ((${darkest:-255} < 96))
}

echo "expected packet=$expected ($swaps swaps)"
expect_decoded_packet program_once "$expected"

# --- Qt's title bar offers maximise on Wayland, and the compositor grants it: the tool must live
# on (Weston ends a client whose maximised window keeps its own size), and Restore must give the
# window its configured size back.
# Clicks the middle title-bar button (maximise, or restore) of the window in box WxH+X+Y of
# screenshot NAME until CHECK holds; false when it never did.
click_middle_title_button() {
  parse_box "$2"
  local x y
  read -r x y <<<"$(title_buttons "$1" "$BOX_W" 30 "$BOX_X" "$BOX_Y" | sed -n 2p)"
  [ -n "${y:-}" ] || fail "found no maximise button in the title bar of the window at $2"
  click_until "$x" "$y" 10 "$3"
}
screenshot normal || fail "no screenshot of the main window"
# Maximised, the window hides the desktop at the middle of each edge of the output.
maximised() {
  kill -0 "$app_pid" 2>/dev/null || fail "the tool ended when its window was maximised"
  screenshot maximised || return 1
  local spot
  for spot in "2 $((output_height / 2))" "$((output_width - 3)) $((output_height / 2))" \
    "$((output_width / 2)) 2" "$((output_width / 2)) $((output_height - 3))"; do
    # shellcheck disable=SC2086 # x and y
    [ "$(pixel_at maximised $spot)" != "$background" ] || return 1
  done
}
click_middle_title_button normal "${app_width}x${app_height}+${main_x}+${main_y}" maximised ||
  fail "the main window did not fill the output when maximised"
restored() {
  kill -0 "$app_pid" 2>/dev/null || fail "the tool ended when its window was restored"
  screenshot restored && parse_box "$(changed_box desktop restored)" &&
    ((BOX_W >= app_width - size_tolerance &&
    BOX_W <= app_width + size_tolerance && BOX_H >= app_height - size_tolerance &&
    BOX_H <= app_height + size_tolerance))
}
click_middle_title_button maximised "${output_width}x${output_height}+0+0" restored ||
  fail "restored, the main window is ${BOX_W}x${BOX_H}, not ${app_width}x${app_height}"
echo "maximised and restored: the tool lives on, the window is ${BOX_W}x${BOX_H} again"
wait_until 5 title_active "${BOX_W}x28+${BOX_X}+${BOX_Y}" ||
  fail "restored, the main window does not show itself active"

# --- Escape in the main window is Exit: the process ends cleanly.
exit_with_escape
echo "PASS: on Wayland the form is ${app_width}x${app_height}, survives maximise, and the device" \
  "received $expected"
