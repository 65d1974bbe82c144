#!/usr/bin/env bash
# Regenerates the README's screenshots from the built tool, never by hand: runs
# BUILD_DIR/universal-programmer beside the example config.inf the build puts there, on an Xvfb
# display of its own (under openbox when it is installed, for a title bar and frame), types values
# into the form, and captures
#   docs/screenshot-main.png         the main window with the typed values
#   docs/screenshot-programming.png  the programming dialog mid-transmission
#
#   scripts/make-screenshots.sh [BUILD_DIR]     (default: build)
#
# Needs Xvfb, xdotool and ImageMagick (import, convert); openbox is optional.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=$(cd "${1:-$root/build}" && pwd)
app_binary="$build_dir/universal-programmer"
config="$build_dir/config.inf"
docs="$root/docs"

# The values typed into the example form's rows, in order.
readonly values=(7 21 80 12 30)
# How long after Start the programming dialog is captured: the three-second countdown is over
# and the bar and the panels are mid-transmission.
readonly capture_after_start=3.5
# As in the end-to-end test: the menu bar's height above the client area, and the programming
# dialog's template in dialog units (its size, Start and Done).
readonly menu_bar=20
source "$(dirname "${BASH_SOURCE[0]}")/../tests/lib/program-dialog.sh"

fail() {
  echo "make-screenshots: $*" >&2
  exit 1
}

for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null ||
    fail "$tool is not installed (Debian: xvfb, xdotool, imagemagick)"
done
[ -x "$app_binary" ] || fail "no built tool at $app_binary: build first (make build)"
[ -f "$config" ] || fail "no config.inf beside $app_binary: the build copies res/config.inf there"

source "$root/tests/lib/x-display.sh"  # stop_processes, the display
work=$(mktemp -d)
xvfb_pid="" wm_pid="" app_pid=""
cleanup() {
  stop_processes "$app_pid" "$wm_pid" "$xvfb_pid"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

start_display
echo "display $DISPLAY"

frame_option=()
if command -v openbox >/dev/null; then
  openbox >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  if command -v xprop >/dev/null; then
    wait_until 10 wm_running || fail "openbox did not start: $(cat "$work/openbox.log")"
  else
    sleep 1
  fi
  frame_option=(-frame)  # capture the window manager's frame with the window
else
  echo "openbox is not installed: windows are captured without a frame"
fi

app_name=$(sed -n 's/^AppName "\(.*\)"[[:space:]]*$/\1/p' "$config" | head -n 1)
[ -n "$app_name" ] || fail "config.inf has no AppName"
# The form is laid out from the configured outer size, whatever frame a window manager adds.
read -r app_width app_height < <(sed -n 's/^AppSize "\([0-9]*\)" "\([0-9]*\)".*$/\1 \2/p' "$config")
[ -n "${app_height:-}" ] || fail "config.inf has no AppSize"

mkdir "$work/elsewhere"
(cd "$work/elsewhere" && exec "$app_binary") >"$work/app.log" 2>&1 &
app_pid=$!

find_window() {
  timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1
}
# Sets WIDTH and HEIGHT to the window's size (its client area's, under a window manager).
window_size() {
  eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(WIDTH|HEIGHT)=[0-9]+$')"
}
# Clicks WINDOW at X Y in its own coordinates: a window manager's frame moves the window on the
# screen, and not every tool reports that move alike.
click_in() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
# Moves the pointer off WINDOW, so that no control is drawn hovered.
pointer_away() { xdotool mousemove --window "$1" -- -50 -50; }
# Writes a PNG of WINDOW (and its frame, under a window manager) to FILE, without the creation
# and modification dates ImageMagick would store: the same picture gives the same file.
capture() {
  import "${frame_option[@]}" -window "$1" "$work/capture.png"
  convert "$work/capture.png" -strip "$2"
  echo "wrote $2 ($(identify -format '%wx%h' "$2"))"
}

main_window=$(find_window "$app_name") || true
[ -n "$main_window" ] || fail "the main window \"$app_name\" did not appear: $(cat "$work/app.log")"
sleep 0.5  # the window manager's placement and the first paint
# The form: each row's edit box is 50 x 20 at client (width - 60, 5 + 22 x row), below the menu.
for row in "${!values[@]}"; do
  click_in "$main_window" $((app_width - 60 + 25)) $((menu_bar + 5 + 22 * row + 10))
  xdotool key --clearmodifiers ctrl+a BackSpace
  xdotool type --delay 30 -- "${values[row]}"
done
pointer_away "$main_window"
sleep 0.5
capture "$main_window" "$docs/screenshot-main.png"

# Program, then Start: captured mid-transmission.
click_in "$main_window" $((5 + 37)) $((menu_bar + app_height - 75 + 12))
dialog=$(find_window "Program") || true
[ -n "$dialog" ] || fail "the programming dialog did not appear after Program"
sleep 0.5
window_size "$dialog"
read -r start_x start_y start_w start_h <<<"${start_button_units[*]}"
click_in "$dialog" $(((2 * start_x + start_w) * WIDTH / (2 * program_units_w))) \
  $(((2 * start_y + start_h) * HEIGHT / (2 * program_units_h)))  # Start
pointer_away "$dialog"
sleep "$capture_after_start"
capture "$dialog" "$docs/screenshot-programming.png"
