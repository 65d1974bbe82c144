#!/usr/bin/env bash
# The tool on Wayland, as a user runs it: the real executable with Qt's wayland platform (and no
# X display to fall back on), in a Weston compositor of the test's own. Checks that the form shows
# at the configured outer size, window decorations included, that the programming dialog has the
# same size as under X11, and that typed values are transmitted: a panel sampler decodes the
# packet from the compositor's output.
#
#   program_on_wayland.sh UNIVERSAL_PROGRAMMER PANEL_SAMPLER QT_PLUGIN_DIR
#
# Input: the headless backend of Weston has no seat at all (no keyboard, no pointer), and Debian
# offers no tool that injects input into Weston (wtype needs a virtual-keyboard protocol Weston
# does not offer; ydotool needs a kernel input device, which only Weston's DRM backend reads). So
# Weston runs with its X11 backend inside an Xvfb of the test's own: its seat is fed by the X
# server, and keys and clicks sent with xdotool reach the tool as ordinary Wayland input events
# from the compositor. Where to click is found in the compositor's screenshots
# (weston-screenshooter), never assumed from a decoration theme.
#
# Exits 0 on success, 77 (a skip) when Weston, its screenshooter, Qt's wayland plugin, Xvfb,
# xdotool or ImageMagick is missing, anything else on failure.
set -euo pipefail

usage="usage: program_on_wayland.sh UNIVERSAL_PROGRAMMER PANEL_SAMPLER QT_PLUGIN_DIR"
app_binary=${1:?$usage}
sampler=${2:?$usage}
qt_plugins=${3:?$usage}

skip() {
  echo "skipped: $* (scripts/install-deps.sh installs it)"
  exit 77
}
for tool in weston weston-screenshooter Xvfb xdotool convert; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
[ -e "$qt_plugins/platforms/libqwayland-generic.so" ] ||
  skip "Qt's wayland platform plugin is not in $qt_plugins/platforms (Debian: qt6-wayland)"
weston --help 2>&1 | grep -q 'x11-backend' || skip "weston has no X11 backend"

readonly app_name="Wayland Loader"
readonly app_width=360 app_height=260
# The values typed into the boxes, in row order.
readonly values=(12 200 -1)
# The compositor's output, and where the pointer rests between clicks: inside the output, so that
# the compositor has the keyboard, and in its corner, so that it hides no window's edge.
readonly output_width=1024 output_height=768
# The decorations are drawn by Qt (client side) and their look depends on the decoration plugin;
# the window's outer size must match config.inf within this many pixels each way, for
# anti-aliased rounded corners that may blend into the background on a row or column. Leaving
# the decorations out of the outer size is off by far more (a title bar is about 30 px).
readonly size_tolerance=2
# A colour that nothing of the tool's is drawn in: every changed pixel on it is the tool's.
readonly background=204060

source "$(dirname "${BASH_SOURCE[0]}")/../lib/x-display.sh"  # stop_processes, the display
work=$(mktemp -d)
xvfb_pid="" weston_pid="" app_pid="" sampler_pid=""
cleanup() {
  stop_processes "$sampler_pid" "$app_pid" "$weston_pid" "$xvfb_pid"
  # KEEP_SCREENSHOTS=FOLDER keeps the compositor's screenshots, to see what the test saw.
  if [ -n "${KEEP_SCREENSHOTS:-}" ]; then
    mkdir -p "$KEEP_SCREENSHOTS"
    cp "$work"/*.png "$KEEP_SCREENSHOTS"/ 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM  # cleans up when a timeout ends the test too

fail() {
  echo "FAIL: $*" >&2
  local log
  for log in app weston; do
    if [ -s "$work/$log.log" ]; then
      echo "--- $log output:" >&2
      tail -n 40 "$work/$log.log" >&2
    fi
  done
  exit 1
}

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

# --- Weston, nested in the X display, with a plain background and nothing else on its output.
cat >"$work/weston.ini" <<EOF
[core]
idle-time=0

[shell]
panel-position=none
background-color=0xff$background
locking=false
startup-animation=none
close-animation=none

[input-method]
path=
EOF
socket="wayland-test-$$"
weston --config="$work/weston.ini" --backend=x11-backend.so --use-pixman --debug \
  --socket="$socket" --width=$output_width --height=$output_height --idle-time=0 \
  >"$work/weston.log" 2>&1 &
weston_pid=$!
output_window=$(timeout 20 xdotool search --sync --onlyvisible --class '^Weston' | head -n 1) ||
  true
[ -n "$output_window" ] || fail "Weston did not open its output window"
eval "$(xdotool getwindowgeometry --shell "$output_window" | grep -E '^(X|Y)=[0-9]+$')"
output_x=$X output_y=$Y  # where the output is on the X display (the panel sampler reads there)
export WAYLAND_DISPLAY=$socket

park_pointer() {
  xdotool mousemove $((output_x + output_width - 1)) $((output_y + output_height - 1))
}
# Clicks at output coordinates.
click_at() {
  xdotool mousemove $((output_x + $1)) $((output_y + $2)) click 1
  park_pointer
}

# Writes the compositor's screenshot to $work/NAME.png.
screenshot() {
  rm -f "$work/shot"/*.png
  (cd "$work/shot" && timeout 10 weston-screenshooter) >/dev/null 2>&1 || return 1
  mv "$work/shot"/*.png "$work/$1.png" 2>/dev/null
}
# Prints the bounding box WxH+X+Y of the pixels that differ between two screenshots (0x0+... when
# none do).
changed_box() {
  convert "$work/$1.png" "$work/$2.png" -compose difference -composite -threshold 0 \
    -format '%@' info: 2>/dev/null
}
# Sets BOX_W, BOX_H, BOX_X, BOX_Y from a box WxH+X+Y.
parse_box() {
  [[ $1 =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
  BOX_W=${BASH_REMATCH[1]} BOX_H=${BASH_REMATCH[2]}
  BOX_X=${BASH_REMATCH[3]} BOX_Y=${BASH_REMATCH[4]}
}
# Prints the bounding box of the pure black areas at least 25 x 25 (text and lines are thinner) in
# a screenshot: the left flash panel while it is black.
black_panel_box() {
  convert "$work/$1.png" -fill white +opaque black -negate -morphology Open Square:12 \
    -format '%@' info: 2>/dev/null
}
# The colour of one pixel of a screenshot, as rrggbb.
pixel_at() {
  convert "$work/$1.png" -format "%[hex:p{$2,$3}]" info: 2>/dev/null | cut -c1-6 | tr 'A-F' 'a-f'
}

park_pointer
desktop_ready() { screenshot desktop && [ "$(pixel_at desktop 10 10)" = "$background" ]; }
wait_until 20 desktop_ready || fail "the compositor did not show its background"
echo "Wayland display $WAYLAND_DISPLAY, output at +$output_x+$output_y"

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
mapfile -t boxes < <(
  convert "$work/main.png" -crop "${BOX_W}x${BOX_H}+${main_x}+${main_y}" +repage \
    -fill black +opaque white -morphology Open Rectangle:30x12 \
    -define connected-components:verbose=true -define connected-components:area-threshold=100 \
    -connected-components 4 null: 2>/dev/null |
    sed -n 's/^ *[0-9]*: \([0-9]*x[0-9]*+[0-9]*+[0-9]*\) .* srgb(255,255,255)$/\1/p' |
    sort -t+ -k3,3n
)
[ "${#boxes[@]}" -eq "$count" ] ||
  fail "found ${#boxes[@]} edit boxes in the main window, config.inf has $count settings"
for row in "${!values[@]}"; do
  parse_box "${boxes[row]}"
  click_at $((main_x + BOX_X + BOX_W / 2)) $((main_y + BOX_Y + BOX_H / 2))
  xdotool key --clearmodifiers ctrl+a BackSpace
  xdotool type --delay 20 -- "${values[row]}"
done

# Prints the box of the left panel, waiting up to 20 s for it; empty when it never showed.
find_left_panel() {
  local box tries=40
  while ((tries-- > 0)); do
    if screenshot dialog; then
      box=$(black_panel_box dialog)
      if parse_box "$box" && [ "$BOX_W" -gt 0 ]; then
        echo "$box"
        return 0
      fi
    fi
    sleep 0.5
  done
  return 1
}
no_left_panel() {
  screenshot closed && parse_box "$(black_panel_box closed)" && [ "$BOX_W" -eq 0 ]
}

# Opens the programming dialog from the keyboard, watches one transmission and closes the dialog
# again. Sets `result` to the sampler's line; returns the sampler's status.
program_once() {
  xdotool key Return  # in an edit box: the main window's default button, Program
  local panel
  panel=$(find_left_panel) || fail "the programming dialog did not show its panels after Enter"
  parse_box "$panel"
  # The left panel spans the client area from (10, 70) to (W / 2 - 2, H - 10).
  local client_x=$((BOX_X - 10)) client_y=$((BOX_Y - 70))
  local width_half=$((BOX_W + 12)) client_h=$((BOX_H + 80))
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

  # Escape is Done once the transmission is over (the last swap is followed by 50 ms); while a
  # failed run still transmits, it cancels first.
  sleep 0.5
  local _
  for _ in 1 2 3; do
    xdotool key Escape
    wait_until 5 no_left_panel && break
  done
  no_left_panel || fail "the programming dialog did not close on Escape"
  return "$status"
}

echo "expected packet=$expected ($swaps swaps)"
expect_decoded_packet program_once "$expected"

# --- Escape in the main window is Exit: the process ends cleanly.
xdotool key Escape
app_ended() { ! kill -0 "$app_pid" 2>/dev/null; }
wait_until 10 app_ended || fail "the tool did not end after Escape"
app_status=0
wait "$app_pid" || app_status=$?
app_pid=""
[ "$app_status" -eq 0 ] || fail "the tool ended with status $app_status"
echo "PASS: on Wayland the form is ${app_width}x${app_height} and the device received $expected"
